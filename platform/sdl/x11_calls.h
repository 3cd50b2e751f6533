// The Xlib and MIT-SHM functions the backend calls itself, found in the
// copies SDL's x11 driver loaded. The game links neither library, so a
// desktop without X needs neither.
#pragma once

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace sdlbackend {

struct X11Calls {
    decltype(&XSetIOErrorHandler) setIOErrorHandler = nullptr;
    decltype(&XSetErrorHandler) setErrorHandler = nullptr;
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XChangeProperty) changeProperty = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XGetWindowAttributes) getWindowAttributes = nullptr;
    decltype(&XCreateGC) createGC = nullptr;
    decltype(&XFreeGC) freeGC = nullptr;
    decltype(&XFlush) flush = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XShmQueryExtension) shmQueryExtension = nullptr;
    decltype(&XShmAttach) shmAttach = nullptr;
    decltype(&XShmDetach) shmDetach = nullptr;
    decltype(&XShmCreateImage) shmCreateImage = nullptr;
    decltype(&XShmPutImage) shmPutImage = nullptr;
    bool complete = false;  // every one found
};

// Looked up once, at the first call: windowCreate makes it right after SDL
// takes x11 and before the start-up helper loads any library, since a
// lookup would wait for the helper's hold on the dynamic loader.
const X11Calls& x11Calls();

// The X display and window behind `window`. False when it is not an X11
// window or the calls above are not all loaded.
bool x11WindowOf(SDL_Window* window, Display** display, ::Window* id);

}  // namespace sdlbackend
