// SDL2_mixer, loaded at run time on a helper thread.
//
// SDL2_mixer brings about twenty shared libraries of its own (FluidSynth,
// libsndfile, the codecs...). Linked, the dynamic loader mapped and relocated
// all of them before main, a fifth of the time before the window showed.
// Loaded here instead, they load on the start-up helper (startup_helper.h)
// while the window manager sizes the window and the main thread decodes the
// images, and the first mixer call takes the finished result.
//
// The helper only loads the library: it calls nothing of SDL or of the
// mixer, so every audio call stays on the main thread, and the game never
// sees anything of it (audioOpenDevice waits for it).
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

// Starts loading the library on the helper (or loads it right away when
// there is none); later calls do nothing. Called by windowCreate once the
// window is mapped. Main thread.
void startLoadingMixer();

// The loaded mixer, after waiting for the helper (or loading it here when it
// was never started); null when the library or one of its functions is
// missing, with the reason in `error`. Main thread.
const MixerApi* mixer(std::string* error);

// The mixer only when it is already loaded: for teardown calls, which have
// nothing to stop when it never was. Main thread.
const MixerApi* loadedMixer();

}  // namespace sdlaudio
