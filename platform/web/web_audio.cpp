// Sound through the page's WebAudio context (web_page.js keeps the nodes).
//
// The game opens the device at start-up and at every focus regain and closes
// it at every focus loss; the page keeps one context for all of them, since
// a new one would need another click to sound. Decoding is the browser's and
// asynchronous: an effect's load waits for it while the page goes on. The
// music, whose decoding takes a second or more, is only checked as the
// silent device checks it, and starts playing once decoded, so the first
// picture does not wait for it. Without WebAudio the game goes on silently;
// only loading still checks each file.
#include <emscripten.h>

#include <cstdio>
#include <set>

#include "platform/common/sound_file_check.h"
#include "platform/platform.h"

EM_JS(bool, audioContextOpen, (), { return QM.audioOpen(); });

EM_JS(int, audioStartDecoding, (const char* path), { return QM.audioLoad(UTF8ToString(path)); });

EM_ASYNC_JS(bool, audioDecoded, (int id), { return await QM.audioDecoded(id); });

EM_JS(void, audioForget, (int id), { QM.audioFree(id); });

EM_JS(void, audioStartMusic, (int id), { QM.audioPlayMusic(id); });

EM_JS(void, audioStopEverything, (), { QM.audioStopAll(); });

EM_JS(int, audioNewPath, (), { return QM.audioCreatePath(); });

EM_JS(void, audioForgetPath, (int id), { QM.audioFreePath(id); });

EM_JS(void, audioStartEffect, (int path, int buffer, double left, double right, int voices),
      { QM.audioPlay(path, buffer, left, right, voices); });

namespace platform {

struct AudioDevice {
    bool silent = false;  // no WebAudio: play nothing
    int generation = 0;   // which opening this is
};

struct AudioMusic {
    int buffer = 0;  // the page's handle; 0 on the silent device
};

struct AudioSample {
    int buffer = 0;  // the page's handle; 0 on the silent device
};

// An effect's own nodes, made for one opening: after a reopen it plays nothing.
struct AudioPath {
    int generation = 0;
    int nodes = 0;  // the page's handle; 0 on the silent device
};

}  // namespace platform

namespace {

// Instances of one effect that may sound at once; a fifth replaces the
// oldest, as on the desktop's channel groups.
constexpr int VOICES_PER_PATH = 4;

// Handles are checked against the sets of live ones, so a stale or foreign
// pointer given back is ignored, never freed twice.
struct State {
    platform::AudioDevice* device = nullptr;
    int generation = 0;
    bool silenceReported = false;
    std::set<platform::AudioMusic*> musics;
    std::set<platform::AudioSample*> samples;
    std::set<platform::AudioPath*> paths;
};

State& state() {
    static State theState;
    return theState;
}

bool isOpen(platform::AudioDevice* device) {
    return device != nullptr && device == state().device;
}

// A gain of 0..1 as the desktop mixer's panning volume gives it: 256 steps,
// anything else (NaN included) clamped.
double panningGain(float gain) {
    if (!(gain > 0.0f)) return 0.0;
    if (gain >= 1.0f) return 1.0;
    return static_cast<int>(gain * 255.0f + 0.5f) / 255.0;
}

// The page's handle of a sound file, or false when it cannot be had. The
// silent device only checks the file, as the desktop's does; so does a
// load that does not wait for the decoding.
bool loadSound(platform::AudioDevice* device, const char* path, bool waitForDecoding, int* buffer) {
    if (device->silent) return platform::soundFileLooksPlayable(path, nullptr);
    if (!waitForDecoding && !platform::soundFileLooksPlayable(path, nullptr)) return false;
    *buffer = audioStartDecoding(path);
    if (*buffer == 0) return false;
    if (!waitForDecoding || audioDecoded(*buffer)) return true;
    audioForget(*buffer);
    return false;
}

// A music or an effect (both a page handle) loaded into the set of live
// ones, or null.
template <typename Sound>
Sound* loadInto(std::set<Sound*>* live, platform::AudioDevice* device, const char* path, bool waitForDecoding) {
    if (!isOpen(device) || path == nullptr) return nullptr;
    int buffer = 0;
    if (!loadSound(device, path, waitForDecoding, &buffer)) return nullptr;
    auto* sound = new Sound{buffer};
    live->insert(sound);
    return sound;
}

template <typename Sound>
void freeFrom(std::set<Sound*>* live, Sound* sound) {
    if (sound == nullptr || live->erase(sound) == 0) return;
    if (sound->buffer != 0) audioForget(sound->buffer);
    delete sound;
}

}  // namespace

namespace platform {

AudioDevice* audioOpenDevice() {
    State& s = state();
    if (s.device != nullptr) return s.device;
    const bool audible = audioContextOpen();
    if (!audible && !s.silenceReported) {
        std::fprintf(stderr, "quillmara: no audio device (the browser has no WebAudio); playing without sound\n");
        std::fflush(stderr);
        s.silenceReported = true;
    }
    s.device = new AudioDevice{!audible, ++s.generation};
    return s.device;
}

void audioCloseDevice(AudioDevice* device) {
    if (!isOpen(device)) return;
    if (!device->silent) audioStopEverything();
    delete device;
    state().device = nullptr;
}

AudioMusic* audioLoadMusic(AudioDevice* device, const char* path) {
    return loadInto(&state().musics, device, path, false);
}

void audioFreeMusic(AudioMusic* music) {
    freeFrom(&state().musics, music);
}

void audioPlayMusic(AudioDevice* device, AudioMusic* music) {
    if (!isOpen(device) || device->silent || music == nullptr || state().musics.count(music) == 0) return;
    if (music->buffer != 0) audioStartMusic(music->buffer);
}

void audioStopAll(AudioDevice* device) {
    if (isOpen(device) && !device->silent) audioStopEverything();
}

AudioSample* audioLoadSample(AudioDevice* device, const char* path) {
    return loadInto(&state().samples, device, path, true);
}

void audioFreeSample(AudioSample* sample) {
    freeFrom(&state().samples, sample);
}

AudioPath* audioCreatePath(AudioDevice* device) {
    if (!isOpen(device)) return nullptr;
    auto* path = new AudioPath{device->generation, device->silent ? 0 : audioNewPath()};
    state().paths.insert(path);
    return path;
}

void audioFreePath(AudioPath* path) {
    if (path == nullptr || state().paths.erase(path) == 0) return;
    if (path->nodes != 0) audioForgetPath(path->nodes);
    delete path;
}

void audioPlayOnPath(AudioDevice* device, AudioPath* path, AudioSample* sample, float leftGain, float rightGain) {
    State& s = state();
    if (!isOpen(device) || device->silent || path == nullptr || sample == nullptr) return;
    if (s.paths.count(path) == 0 || s.samples.count(sample) == 0) return;
    if (path->generation != device->generation || path->nodes == 0 || sample->buffer == 0) return;
    audioStartEffect(path->nodes, sample->buffer, panningGain(leftGain), panningGain(rightGain), VOICES_PER_PATH);
}

}  // namespace platform
