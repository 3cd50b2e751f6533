#include "platform/sdl/audio/mixer_library.h"

#include <dlfcn.h>

namespace sdlaudio {

namespace {

constexpr const char* MIXER_LIBRARY = "libSDL2_mixer-2.0.so.0";

struct Loaded {
    MixerApi api{};
    bool ok = false;
    std::string error;
};

// The one load's result, kept for the whole run.
struct Loader {
    Loaded result;
    bool done = false;
};
Loader& loader() {
    static Loader theLoader;
    return theLoader;
}

template <typename Function>
bool bind(void* library, const char* name, Function* function, std::string* error) {
    *function = reinterpret_cast<Function>(dlsym(library, name));
    if (*function == nullptr) *error = std::string("SDL2_mixer has no ") + name;
    return *function != nullptr;
}

Loaded load() {
    Loaded loaded;
    void* library = dlopen(MIXER_LIBRARY, RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        loaded.error = std::string("cannot load ") + MIXER_LIBRARY + ": " + (reason != nullptr ? reason : "");
        return loaded;
    }
    MixerApi& m = loaded.api;
    std::string& e = loaded.error;
    loaded.ok =
        bind(library, "Mix_OpenAudio", &m.OpenAudio, &e) && bind(library, "Mix_CloseAudio", &m.CloseAudio, &e) &&
        bind(library, "Mix_LoadMUS", &m.LoadMUS, &e) && bind(library, "Mix_FreeMusic", &m.FreeMusic, &e) &&
        bind(library, "Mix_PlayMusic", &m.PlayMusic, &e) && bind(library, "Mix_HaltMusic", &m.HaltMusic, &e) &&
        bind(library, "Mix_LoadWAV", &m.LoadWAV, &e) && bind(library, "Mix_FreeChunk", &m.FreeChunk, &e) &&
        bind(library, "Mix_PlayChannel", &m.PlayChannel, &e) && bind(library, "Mix_HaltChannel", &m.HaltChannel, &e) &&
        bind(library, "Mix_AllocateChannels", &m.AllocateChannels, &e) &&
        bind(library, "Mix_GroupChannels", &m.GroupChannels, &e) &&
        bind(library, "Mix_GroupAvailable", &m.GroupAvailable, &e) &&
        bind(library, "Mix_GroupOldest", &m.GroupOldest, &e) && bind(library, "Mix_HaltGroup", &m.HaltGroup, &e) &&
        bind(library, "Mix_SetPanning", &m.SetPanning, &e);
    // The library stays loaded for the rest of the run, as a linked one would.
    return loaded;
}

}  // namespace

const MixerApi* mixer(std::string* error) {
    Loader& l = loader();
    if (!l.done) {
        l.result = load();
        l.done = true;
    }
    if (!l.result.ok && error != nullptr) *error = l.result.error;
    return l.result.ok ? &l.result.api : nullptr;
}

const MixerApi* loadedMixer() {
    const Loader& l = loader();
    return l.done && l.result.ok ? &l.result.api : nullptr;
}

}  // namespace sdlaudio
