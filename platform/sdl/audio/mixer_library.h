// SDL2_mixer, loaded at run time when the game first opens its audio device.
//
// SDL2_mixer brings many shared libraries of its own (FluidSynth,
// libsndfile, the codecs...). Linked, the dynamic loader would map and
// relocate all of them before main, ahead of the window; loaded here, they
// come after the window is up. A system without the library plays silently,
// as one without a sound device does.
#pragma once

#include <SDL_mixer.h>

#include <string>

namespace sdlaudio {

// The mixer functions the backend calls, by their SDL2_mixer names.
struct MixerApi {
    int (*OpenAudio)(int frequency, Uint16 format, int channels, int chunkSize);
    void (*CloseAudio)();
    Mix_Music* (*LoadMUS)(const char* file);
    void (*FreeMusic)(Mix_Music* music);
    int (*PlayMusic)(Mix_Music* music, int loops);
    int (*HaltMusic)();
    Mix_Chunk* (*LoadWAV)(const char* file);
    void (*FreeChunk)(Mix_Chunk* chunk);
    int (*PlayChannel)(int channel, Mix_Chunk* chunk, int loops);
    int (*HaltChannel)(int channel);
    int (*AllocateChannels)(int count);
    int (*GroupChannels)(int from, int to, int tag);
    int (*GroupAvailable)(int tag);
    int (*GroupOldest)(int tag);
    int (*HaltGroup)(int tag);
    int (*SetPanning)(int channel, Uint8 left, Uint8 right);
};

// The mixer, loaded at the first call; null when the library or one of its
// functions is missing, with the reason in `error`. Main thread.
const MixerApi* mixer(std::string* error);

// The mixer only when it is already loaded: for teardown calls, which have
// nothing to stop when it never was. Main thread.
const MixerApi* loadedMixer();

}  // namespace sdlaudio
