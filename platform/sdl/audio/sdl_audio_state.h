// State and handles of the SDL2_mixer audio backend, shared by its files.
// Internal to platform/sdl/audio.
//
// SDL_mixer has one global device, so this backend holds at most one open
// device at a time. Handles are checked against the sets of live ones, so a
// stale or foreign pointer given back is ignored, never freed twice.
#pragma once

#include <SDL_mixer.h>

#include <cassert>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/audio/mixer_library.h"

namespace platform {

struct AudioDevice {
    bool silent = false;  // no real device could be opened: play nothing
    int generation = 0;   // which opening of the mixer this is
};

struct AudioMusic {
    Mix_Music* music = nullptr;  // null on the silent device
};

struct AudioSample {
    Mix_Chunk* chunk = nullptr;  // null on the silent device
};

// A group of CHANNELS_PER_PATH mixer channels, tagged slot + 1. Channels
// belong to one opening of the mixer: a path made before a reopen plays
// nothing.
struct AudioPath {
    int generation = 0;
    int slot = -1;  // -1 on the silent device
};

}  // namespace platform

namespace sdlaudio {

// Instances of one effect that may sound at once; a fifth replaces the oldest.
constexpr int CHANNELS_PER_PATH = 4;

struct State {
    platform::AudioDevice* device = nullptr;  // the open device, if any
    int generation = 0;
    bool silenceReported = false;             // the no-device line is printed once per run
    std::vector<platform::AudioPath*> slots;  // slot i owns channels 4i..4i+3
    std::set<platform::AudioMusic*> musics;
    std::set<platform::AudioSample*> samples;
    std::set<platform::AudioPath*> paths;
};

State& state();

// True when `device` is the open device.
bool isOpen(platform::AudioDevice* device);

// True when `device` is the open device and it really plays.
bool isOpenAndAudible(platform::AudioDevice* device);

// The loaded mixer, for calls made only where an audible device, a channel
// group or a loaded sound exists: each needed the mixer loaded first, and a
// loaded mixer stays loaded for the rest of the run.
inline const MixerApi& mixerApi() {
    const MixerApi* loaded = loadedMixer();
    assert(loaded != nullptr);
    return *loaded;
}

// The first mixer channel and the group tag of a path's slot.
inline int firstChannel(int slot) {
    return slot * CHANNELS_PER_PATH;
}
inline int tagOf(int slot) {
    return slot + 1;
}

// Frees the mixer channels of a path of the current opening (halting what
// they play). Called by audioFreePath; a path of an older opening has none.
void releasePathChannels(platform::AudioPath* path);

}  // namespace sdlaudio
