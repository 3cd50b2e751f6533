// The end of the game when the X server goes away under it (the desktop
// session ended, the server crashed). Xlib's own handler prints several lines
// and calls exit(1), the Exit button's code, with the game's teardown
// running against a dead connection. The game instead ends at once with 255,
// writes nothing, and says why in one line.
#include <unistd.h>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/x11_calls.h"

namespace {

// Called by Xlib, on whichever thread noticed the loss; it must not return.
int endOnLostConnection(Display*) {
    static const char line[] = "Tavrin: the connection to the X server was lost; the game ends\n";
    ssize_t ignored = write(STDERR_FILENO, line, sizeof line - 1);
    (void)ignored;
    _exit(255);
}

}  // namespace

namespace sdlbackend {

void watchXServerLoss() {
    const X11Calls& x = x11Calls();
    if (x.setIOErrorHandler != nullptr) x.setIOErrorHandler(endOnLostConnection);
}

}  // namespace sdlbackend
