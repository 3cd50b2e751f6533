// Time, message boxes and the end of the process.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/common/sound_file_check.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

uint32_t ticks() {
    return SDL_GetTicks();
}

void waitUntil(uint32_t deadline) {
    // SDL_Delay may wake early (a signal); sleep again for what is left.
    for (;;) {
        auto remaining = static_cast<int32_t>(deadline - SDL_GetTicks());
        if (remaining <= 0) return;
        SDL_Delay(static_cast<Uint32>(remaining));
    }
}

void showMessageBox(const char* caption, const char* text) {
    // Standard error first: under the dummy driver, or with no display at
    // all, the box fails and this is the only trace of the message.
    writeMessageToStderr(caption, text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption != nullptr ? caption : "", text != nullptr ? text : "",
                             sdlbackend::backend().window.sdl);
}

void exitProcessNow(int code) {
    std::fflush(nullptr);
    _exit(code & 0xFF);
}

void exitProcessNormally(int code) {
    windowDestroy(&sdlbackend::backend().window);
    std::exit(code);
}

}  // namespace platform
