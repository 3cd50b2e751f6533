// The headless backend's whole state, one struct shared by its source files.
// Internal to platform/headless: tests use headless.h.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

// The opaque handles of the seam, as this backend makes them. Each live
// handle is listed in the state, so a stale or foreign pointer given back is
// recognised and ignored instead of being freed twice.
namespace platform {
struct Window {};
struct Keyboard {};
struct PrimarySurface {
    bool hasBackBuffer = false;
};
struct AudioDevice {};
struct AudioMusic {
    std::string path;
};
struct AudioSample {
    std::string path;
};
struct AudioPath {};
}  // namespace platform

namespace headless {

constexpr size_t DEFAULT_FRAME_RECORD_LIMIT = 8;
constexpr int NO_EXIT_CODE = -1000;

struct State {
    // clock
    uint32_t now = 0;
    uint32_t waitCount = 0;
    uint32_t lastWaitDeadline = 0;
    uint32_t eventWaitCount = 0;

    platform::Point cursor{0, 0};
    std::deque<platform::EventKind> events;

    // keyboard: held keys, and presses not yet seen by a successful read
    std::array<bool, platform::KEY_COUNT> held{};
    std::array<bool, platform::KEY_COUNT> latched{};
    int failingReads = 0;
    bool failKeyboardOpen = false;
    int keyboardAcquires = 0;
    platform::Keyboard* keyboard = nullptr;

    platform::Window* window = nullptr;
    std::string windowFailure;
    bool windowFails = false;

    DisplayStep failingStep = DISPLAY_OK;
    std::set<platform::PrimarySurface*> primaries;
    int backBuffers = 0;
    std::deque<Frame> frames;
    size_t frameLimit = DEFAULT_FRAME_RECORD_LIMIT;
    uint64_t presentCount = 0;
    std::vector<uint16_t> lastPresented;  // empty until the first present
    uint64_t changesMissedByHints = 0;

    std::vector<MessageBox> messageBoxes;

    std::vector<std::string> audioCalls;
    bool failAudioDevice = false;
    std::set<std::string> failingAudioLoads;
    std::set<platform::AudioDevice*> devices;
    std::set<platform::AudioMusic*> musics;
    std::set<platform::AudioSample*> samples;
    std::set<platform::AudioPath*> paths;

    int lastExitCode = NO_EXIT_CODE;
};

// The one state of the process.
State& state();

// Gives back every handle the state still lists (the display's and the
// audio's), then empties the lists. Used by reset().
void freeDisplayHandles(State& s);
void freeAudioHandles(State& s);
void freeInputHandles(State& s);

}  // namespace headless
