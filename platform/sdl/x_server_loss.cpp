// The end of the game when the X server goes away under it (the desktop
// session ended, the server crashed). Xlib's own handler prints several lines
// and calls exit(1), the Exit button's code, with the game's teardown
// running against a dead connection. The game instead ends at once with 255,
// writes nothing, and says why in one line.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include "platform/sdl/sdl_backend.h"

namespace {

// Called by Xlib, on whichever thread noticed the loss; it must not return.
int endOnLostConnection(Display*) {
    static const char line[] = "quillmara: the connection to the X server was lost; the game ends\n";
    ssize_t ignored = write(STDERR_FILENO, line, sizeof line - 1);
    (void)ignored;
    _exit(255);
}

}  // namespace

namespace sdlbackend {

void watchXServerLoss() {
    // Xlib is SDL's copy, loaded by its x11 driver: the game does not link it,
    // so a desktop without X needs no Xlib. NOLOAD finds that copy, never a
    // new one; dropping this reference leaves it loaded.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) return;
    auto setHandler = reinterpret_cast<decltype(&XSetIOErrorHandler)>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr) setHandler(endOnLostConnection);
    dlclose(xlib);
}

}  // namespace sdlbackend
