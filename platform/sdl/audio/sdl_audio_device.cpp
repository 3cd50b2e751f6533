// The SDL2_mixer audio device and the background music.
//
// The game opens the device at start-up and at every focus regain and closes
// it at every focus loss, so open and close repeat many times in one run.
// Without a usable device (no sound server: SDL falls back to ALSA, which
// fails) the game goes on silently; only loading still checks each file.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/common/sound_file_check.h"
#include "platform/common/startup_trace.h"
#include "platform/sdl/audio/mixer_library.h"
#include "platform/sdl/audio/sdl_audio_state.h"

namespace sdlaudio {

State& state() {
    static State theState;
    return theState;
}

bool isOpen(platform::AudioDevice* device) {
    return device != nullptr && device == state().device;
}

bool isOpenAndAudible(platform::AudioDevice* device) {
    return isOpen(device) && !device->silent;
}

}  // namespace sdlaudio

namespace platform {

using sdlaudio::state;

namespace {

constexpr int MIX_RATE = 44100;
constexpr int MIX_CHANNELS_STEREO = 2;
constexpr int MIX_BUFFER_SAMPLES = 1024;

AudioDevice* openSilent(const std::string& reason) {
    if (!state().silenceReported) {
        std::fprintf(stderr, "quillmara: no audio device (%s); playing without sound\n", reason.c_str());
        std::fflush(stderr);
        state().silenceReported = true;
    }
    state().device = new AudioDevice{true, ++state().generation};
    startuptrace::stage("audio device", "(silent)");
    return state().device;
}

}  // namespace

AudioDevice* audioOpenDevice() {
    // One mixer: a second open while one is open gets the same device.
    if (state().device != nullptr) return state().device;
    std::string missing;
    const sdlaudio::MixerApi* mix = sdlaudio::mixer(&missing);
    if (mix == nullptr) return openSilent(missing);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return openSilent(std::string("SDL_InitSubSystem(SDL_INIT_AUDIO) failed: ") + SDL_GetError());
    }
    if (mix->OpenAudio(MIX_RATE, AUDIO_S16SYS, MIX_CHANNELS_STEREO, MIX_BUFFER_SAMPLES) != 0) {
        std::string reason = std::string("Mix_OpenAudio failed: ") + Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return openSilent(reason);
    }
    state().slots.clear();  // a fresh opening has its default, ungrouped channels
    state().device = new AudioDevice{false, ++state().generation};
    startuptrace::stage("audio device");
    return state().device;
}

void audioCloseDevice(AudioDevice* device) {
    if (!sdlaudio::isOpen(device)) return;
    const sdlaudio::MixerApi* mix = sdlaudio::loadedMixer();
    if (!device->silent && mix != nullptr) {
        mix->HaltMusic();
        mix->HaltChannel(-1);
        // Always close the mixer, or the next open would only count up;
        // SDL_Quit at window teardown may already have ended the audio.
        mix->CloseAudio();
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    state().slots.clear();
    delete device;
    state().device = nullptr;
}

AudioMusic* audioLoadMusic(AudioDevice* device, const char* path) {
    if (!sdlaudio::isOpen(device) || path == nullptr) return nullptr;
    Mix_Music* music = nullptr;
    if (device->silent) {
        if (!soundFileLooksPlayable(path, nullptr)) return nullptr;
    } else {
        music = sdlaudio::mixerApi().LoadMUS(path);
        if (music == nullptr) return nullptr;
    }
    auto* handle = new AudioMusic{music};
    state().musics.insert(handle);
    startuptrace::stage("music", path);
    return handle;
}

void audioFreeMusic(AudioMusic* music) {
    if (music == nullptr || state().musics.erase(music) == 0) return;
    // Safe after the device closed: the mixer then has nothing to halt.
    if (music->music != nullptr) sdlaudio::mixerApi().FreeMusic(music->music);
    delete music;
}

void audioPlayMusic(AudioDevice* device, AudioMusic* music) {
    if (!sdlaudio::isOpenAndAudible(device) || music == nullptr || state().musics.count(music) == 0) return;
    if (music->music == nullptr) return;
    // Mix_PlayMusic rewinds, so the music always starts from its beginning.
    sdlaudio::mixerApi().PlayMusic(music->music, -1);
}

void audioStopAll(AudioDevice* device) {
    if (!sdlaudio::isOpenAndAudible(device)) return;
    sdlaudio::mixerApi().HaltMusic();
    sdlaudio::mixerApi().HaltChannel(-1);
}

}  // namespace platform
