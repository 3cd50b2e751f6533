// Sound effects on their own groups of mixer channels.
//
// Each effect plays on its own path: a group of channels whose panning the
// game sets at every play. The panning goes on every channel of the group,
// so a new position also moves the instances of that effect still sounding,
// and never touches another effect's channels.
#include <string>

#include "platform/common/sound_file_check.h"
#include "platform/common/startup_trace.h"
#include "platform/sdl/audio/mixer_library.h"
#include "platform/sdl/audio/sdl_audio_state.h"

namespace sdlaudio {

namespace {

// A gain of 0..1 as a mixer panning volume; anything else (NaN included)
// is clamped.
Uint8 panningVolume(float gain) {
    if (!(gain > 0.0f)) return 0;
    if (gain >= 1.0f) return 255;
    return static_cast<Uint8>(gain * 255.0f + 0.5f);
}

}  // namespace

void releasePathChannels(platform::AudioPath* path) {
    State& s = state();
    if (path->slot < 0 || s.device == nullptr || path->generation != s.device->generation) return;
    mixerApi().HaltGroup(tagOf(path->slot));
    mixerApi().GroupChannels(firstChannel(path->slot), firstChannel(path->slot) + CHANNELS_PER_PATH - 1, -1);
    s.slots[static_cast<size_t>(path->slot)] = nullptr;
}

}  // namespace sdlaudio

namespace platform {

using sdlaudio::state;

AudioSample* audioLoadSample(AudioDevice* device, const char* path) {
    if (!sdlaudio::isOpen(device) || path == nullptr) return nullptr;
    Mix_Chunk* chunk = nullptr;
    if (device->silent) {
        if (!soundFileLooksPlayable(path, nullptr)) return nullptr;
    } else {
        chunk = sdlaudio::mixerApi().LoadWAV(path);
        if (chunk == nullptr) return nullptr;
    }
    auto* handle = new AudioSample{chunk};
    state().samples.insert(handle);
    startuptrace::stage("effect", path);
    return handle;
}

void audioFreeSample(AudioSample* sample) {
    if (sample == nullptr || state().samples.erase(sample) == 0) return;
    // Mix_FreeChunk stops any channel still playing it; safe after close.
    if (sample->chunk != nullptr) sdlaudio::mixerApi().FreeChunk(sample->chunk);
    delete sample;
}

AudioPath* audioCreatePath(AudioDevice* device) {
    if (!sdlaudio::isOpen(device)) return nullptr;
    sdlaudio::State& s = state();
    auto* path = new AudioPath{device->generation, -1};
    if (!device->silent) {
        size_t slot = 0;
        while (slot < s.slots.size() && s.slots[slot] != nullptr) ++slot;
        const int needed = static_cast<int>(slot + 1) * sdlaudio::CHANNELS_PER_PATH;
        if (sdlaudio::mixerApi().AllocateChannels(-1) < needed &&
            sdlaudio::mixerApi().AllocateChannels(needed) < needed) {
            delete path;
            return nullptr;
        }
        const int first = sdlaudio::firstChannel(static_cast<int>(slot));
        const int tag = sdlaudio::tagOf(static_cast<int>(slot));
        if (sdlaudio::mixerApi().GroupChannels(first, first + sdlaudio::CHANNELS_PER_PATH - 1, tag) !=
            sdlaudio::CHANNELS_PER_PATH) {
            delete path;
            return nullptr;
        }
        if (slot == s.slots.size()) s.slots.push_back(nullptr);
        s.slots[slot] = path;
        path->slot = static_cast<int>(slot);
    }
    s.paths.insert(path);
    return path;
}

void audioFreePath(AudioPath* path) {
    if (path == nullptr || state().paths.erase(path) == 0) return;
    sdlaudio::releasePathChannels(path);
    delete path;
}

void audioPlayOnPath(AudioDevice* device, AudioPath* path, AudioSample* sample, float leftGain, float rightGain) {
    sdlaudio::State& s = state();
    if (!sdlaudio::isOpenAndAudible(device) || path == nullptr || sample == nullptr) return;
    if (s.paths.count(path) == 0 || s.samples.count(sample) == 0) return;
    if (path->slot < 0 || path->generation != device->generation || sample->chunk == nullptr) return;

    const int tag = sdlaudio::tagOf(path->slot);
    int channel = sdlaudio::mixerApi().GroupAvailable(tag);
    if (channel < 0) {
        // All busy: the oldest instance makes way. Halting it first matters,
        // as the mixer drops a channel's panning when its sound ends.
        channel = sdlaudio::mixerApi().GroupOldest(tag);
        if (channel < 0) channel = sdlaudio::firstChannel(path->slot);
        sdlaudio::mixerApi().HaltChannel(channel);
    }
    const Uint8 left = sdlaudio::panningVolume(leftGain);
    const Uint8 right = sdlaudio::panningVolume(rightGain);
    for (int c = 0; c < sdlaudio::CHANNELS_PER_PATH; ++c) {
        sdlaudio::mixerApi().SetPanning(sdlaudio::firstChannel(path->slot) + c, left, right);
    }
    sdlaudio::mixerApi().PlayChannel(channel, sample->chunk, 0);
}

}  // namespace platform
