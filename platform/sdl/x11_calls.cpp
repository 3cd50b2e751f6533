#include "platform/sdl/x11_calls.h"

#include <SDL2/SDL_syswm.h>
#include <dlfcn.h>

namespace sdlbackend {

namespace {

template <typename Function>
bool bind(void* library, const char* name, Function* out) {
    *out = library != nullptr ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
    return *out != nullptr;
}

}  // namespace

const X11Calls& x11Calls() {
    static const X11Calls found = [] {
        X11Calls c;
        // NOLOAD finds SDL's copies, never new ones.
        void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        void* xext = dlopen("libXext.so.6", RTLD_LAZY | RTLD_NOLOAD);
        c.complete = bind(xlib, "XSetIOErrorHandler", &c.setIOErrorHandler) &&
                     bind(xlib, "XSetErrorHandler", &c.setErrorHandler) && bind(xlib, "XInternAtom", &c.internAtom) &&
                     bind(xlib, "XChangeProperty", &c.changeProperty) && bind(xlib, "XSendEvent", &c.sendEvent) &&
                     bind(xlib, "XGetWindowAttributes", &c.getWindowAttributes) &&
                     bind(xlib, "XCreateGC", &c.createGC) && bind(xlib, "XFreeGC", &c.freeGC) &&
                     bind(xlib, "XFlush", &c.flush) && bind(xlib, "XSync", &c.sync) &&
                     bind(xext, "XShmQueryExtension", &c.shmQueryExtension) && bind(xext, "XShmAttach", &c.shmAttach) &&
                     bind(xext, "XShmDetach", &c.shmDetach) && bind(xext, "XShmCreateImage", &c.shmCreateImage) &&
                     bind(xext, "XShmPutImage", &c.shmPutImage);
        // Only these references go; SDL keeps both libraries loaded.
        if (xlib != nullptr) dlclose(xlib);
        if (xext != nullptr) dlclose(xext);
        return c;
    }();
    return found;
}

bool x11WindowOf(SDL_Window* window, Display** display, ::Window* id) {
    if (window == nullptr || !x11Calls().complete) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
    *display = info.info.x11.display;
    *id = info.info.x11.window;
    return true;
}

}  // namespace sdlbackend
