// Control surface of the headless backend, for tests.
//
// The headless backend is a complete platform without a screen: a manual
// clock, a scripted pointer, event queue and keyboard, and a record of what
// the game presented, showed in message boxes and asked of the audio device.
// Tests script the inputs, run the game, and read the records back. Its
// process exit really exits, so fatal paths are checked with death tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

// Puts every piece of backend state back to how a fresh process has it:
// clock at 0, cursor at (0, 0), no events, no keys, no failures scripted,
// records empty, nothing presented, the frame record bound at its default.
void reset();

// ----------------------------------------------------------------- clock
void setTicks(uint32_t now);
void advanceTicks(uint32_t milliseconds);
// How many times waitUntil was called, and the deadline of the last call.
uint32_t waitCount();
uint32_t lastWaitDeadline();
// How many times the game waited for an event (it does while suspended).
uint32_t eventWaitCount();

// ---------------------------------------------------------------- cursor
// Sets the pointer; values outside the picture are clamped as the real
// backend clamps them.
void setCursor(int32_t x, int32_t y);

// ---------------------------------------------------------------- events
// EVENT_NONE and unknown kinds are ignored.
void pushEvent(platform::EventKind kind);
size_t pendingEvents();

// -------------------------------------------------------------- keyboard
// A key goes down and stays down until released. A press is latched until
// the next successful read, so press-then-release between two reads is seen
// by exactly one read. When the game polls an EVENT_FOCUS_LOST, the latched
// presses and every held key are dropped, as a real window does. Codes
// outside 0..255 are ignored. keyboardOpen needs the window from
// windowCreate (null or another pointer fails, as on the real backend).
void keyDown(int code);
void keyUp(int code);
// The next `count` reads fail (the source lost the keyboard).
void failKeyboardReads(int count);
// Makes keyboardOpen fail (returns null).
void failKeyboardOpen(bool fail);
int keyboardAcquireCount();
bool keyboardIsOpen();

// ---------------------------------------------------------------- window
// windowCreate fails with `reason` in its error; null: succeed again. A
// second window while one exists also fails.
void failWindowCreate(const char* reason);
bool windowExists();

// ---------------------------------------------------------------- display
enum DisplayStep {
    DISPLAY_OK = 0,
    DISPLAY_FAIL_FULLSCREEN,
    DISPLAY_FAIL_MODE,
    DISPLAY_FAIL_PRIMARY,
    DISPLAY_FAIL_BACK_BUFFER,
};
// Makes that step of the display set-up fail, every time until changed.
// Steps 1-3 also fail for a window that windowCreate did not return, and
// step 4 for a primary that is not held; releasing a stale handle is ignored.
void failDisplayStep(DisplayStep step);
// How many primary surfaces / back buffers are held right now.
int primarySurfacesHeld();
int backBuffersHeld();

// A presented frame: a copy of the 800x600 RGB565 picture.
struct Frame {
    std::vector<uint16_t> pixels;
    uint16_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * platform::PICTURE_WIDTH + x]; }
};
// The most recent presented frames, oldest first, at most the bound (default
// 8; 0 keeps none, though displayLastPresented still works).
const std::deque<Frame>& presentedFrames();
void setFrameRecordLimit(size_t limit);
// Every frame ever presented since reset, including those dropped by the bound.
uint64_t presentCount();
// Pixels that differed from the previous picture outside the tiles a
// displayPresentChanged call flagged, summed since reset: a real backend
// would have left them stale on screen, so any test may expect 0 here.
uint64_t changesMissedByHints();

// --------------------------------------------------------------- messages
struct MessageBox {
    std::string caption;
    std::string text;
};
const std::vector<MessageBox>& messageBoxes();

// ------------------------------------------------------------------ audio
// Every audio call, in order, as a readable line: "openDevice", "closeDevice",
// "loadMusic Sound/BkGnd.mus", "freeMusic", "playMusic", "stopAll",
// "loadSample Sound/Button.aud", "freeSample", "createPath", "freePath",
// "play Sound/Button.aud 0.707107 0.707107" (gains with %g). Calls given a
// null or released handle do nothing and leave no line; loads leave their
// line whether they succeed or not. A load succeeds when the file starts with
// a WAV or Ogg header (soundFileLooksPlayable) and is not made to fail.
const std::vector<std::string>& audioCalls();
void clearAudioCalls();
// Makes audioOpenDevice return null.
void failAudioDevice(bool fail);
// Makes loading of this path fail even if the file exists. Empty clears all.
void failAudioLoad(const std::string& path);
// How many device / music / sample / path handles are held right now.
int audioHandlesHeld();

// --------------------------------------------------------------- process
// The code of the last exitProcessNow / exitProcessNormally call (the
// process ends right after it, so this is only seen by code that runs in
// between, such as atexit handlers); -1000 when none.
int lastExitCode();

}  // namespace headless
