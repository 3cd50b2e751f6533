// The end of the game when the X server goes away under it (the desktop
// session ended, the server crashed). Xlib's own handler prints several lines
// and calls exit(1), the Exit button's code, with the game's teardown
// running against a dead connection. The game instead ends at once with 255,
// writes nothing, and says why in one line.
#include <dlfcn.h>
#include <unistd.h>

#include "platform/sdl/sdl_backend.h"

namespace {

// Xlib's XIOErrorHandler; the Display stays opaque here.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler handler);

// Called by Xlib, on whichever thread noticed the loss; it must not return.
int endOnLostConnection(void*) {
    static const char line[] = "Tavrin: the connection to the X server was lost; the game ends\n";
    ssize_t ignored = write(STDERR_FILENO, line, sizeof line - 1);
    (void)ignored;
    _exit(255);
}

}  // namespace

namespace sdlbackend {

void watchXServerLoss() {
    // SDL loads Xlib itself at run time; the game does not link it, so a
    // desktop without X needs no Xlib. NOLOAD finds SDL's copy, never a new one.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) return;
    auto set = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (set != nullptr) set(endOnLostConnection);
    dlclose(xlib);  // drops only this reference; SDL keeps the library loaded
}

}  // namespace sdlbackend
