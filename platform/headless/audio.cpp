// The headless audio device: plays nothing, checks every file it is asked to
// load as a real device would, and records each call as a readable line.
#include <cstdio>

#include "platform/common/sound_file_check.h"
#include "platform/headless/headless_state.h"

namespace headless {

const std::vector<std::string>& audioCalls() {
    return state().audioCalls;
}
void clearAudioCalls() {
    state().audioCalls.clear();
}
void failAudioDevice(bool fail) {
    state().failAudioDevice = fail;
}

void failAudioLoad(const std::string& path) {
    if (path.empty()) {
        state().failingAudioLoads.clear();
    } else {
        state().failingAudioLoads.insert(path);
    }
}

int audioHandlesHeld() {
    const State& s = state();
    return static_cast<int>(s.devices.size() + s.musics.size() + s.samples.size() + s.paths.size());
}

void freeAudioHandles(State& s) {
    for (auto* handle : s.devices) delete handle;
    for (auto* handle : s.musics) delete handle;
    for (auto* handle : s.samples) delete handle;
    for (auto* handle : s.paths) delete handle;
    s.devices.clear();
    s.musics.clear();
    s.samples.clear();
    s.paths.clear();
}

}  // namespace headless

namespace platform {

using headless::state;

namespace {

// Calls with a null or stale handle do nothing and leave no line: the record
// shows what reached the device.
template <typename Handle>
bool held(const std::set<Handle*>& live, Handle* handle) {
    return handle != nullptr && live.count(handle) != 0;
}

bool fileLoads(const char* path) {
    return soundFileLooksPlayable(path, nullptr) && state().failingAudioLoads.count(path) == 0;
}

void record(const std::string& line) {
    state().audioCalls.push_back(line);
}

}  // namespace

AudioDevice* audioOpenDevice() {
    record("openDevice");
    if (state().failAudioDevice) return nullptr;
    auto* device = new AudioDevice;
    state().devices.insert(device);
    return device;
}

void audioCloseDevice(AudioDevice* device) {
    if (!held(state().devices, device)) return;
    record("closeDevice");
    state().devices.erase(device);
    delete device;
}

AudioMusic* audioLoadMusic(AudioDevice* device, const char* path) {
    if (!held(state().devices, device) || path == nullptr) return nullptr;
    record(std::string("loadMusic ") + path);
    if (!fileLoads(path)) return nullptr;
    auto* music = new AudioMusic{path};
    state().musics.insert(music);
    return music;
}

void audioFreeMusic(AudioMusic* music) {
    if (!held(state().musics, music)) return;
    record("freeMusic");
    state().musics.erase(music);
    delete music;
}

void audioPlayMusic(AudioDevice* device, AudioMusic* music) {
    if (!held(state().devices, device) || !held(state().musics, music)) return;
    record("playMusic");
}

void audioStopAll(AudioDevice* device) {
    if (!held(state().devices, device)) return;
    record("stopAll");
}

AudioSample* audioLoadSample(AudioDevice* device, const char* path) {
    if (!held(state().devices, device) || path == nullptr) return nullptr;
    record(std::string("loadSample ") + path);
    if (!fileLoads(path)) return nullptr;
    auto* sample = new AudioSample{path};
    state().samples.insert(sample);
    return sample;
}

void audioFreeSample(AudioSample* sample) {
    if (!held(state().samples, sample)) return;
    record("freeSample");
    state().samples.erase(sample);
    delete sample;
}

AudioPath* audioCreatePath(AudioDevice* device) {
    if (!held(state().devices, device)) return nullptr;
    record("createPath");
    auto* path = new AudioPath;
    state().paths.insert(path);
    return path;
}

void audioFreePath(AudioPath* path) {
    if (!held(state().paths, path)) return;
    record("freePath");
    state().paths.erase(path);
    delete path;
}

void audioPlayOnPath(AudioDevice* device, AudioPath* path, AudioSample* sample, float leftGain, float rightGain) {
    headless::State& s = state();
    if (!held(s.devices, device) || !held(s.paths, path) || !held(s.samples, sample)) return;
    char gains[64];
    std::snprintf(gains, sizeof gains, " %g %g", static_cast<double>(leftGain), static_cast<double>(rightGain));
    record("play " + sample->path + gains);
}

}  // namespace platform
