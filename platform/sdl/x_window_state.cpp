#include "platform/sdl/x_window_state.h"

#include <X11/Xatom.h>
#include <dlfcn.h>

namespace sdlbackend {
namespace {

// Xlib is SDL's copy, loaded by its x11 driver (as in x_server_loss.cpp):
// the game does not link it, so a desktop without X needs no Xlib.
struct Xlib {
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XFree) free = nullptr;
    Display* display = nullptr;  // the atoms below belong to it
    Atom wmState = None;
    Atom fullscreen = None;
};

Xlib* xlibFor(Display* display) {
    static Xlib xlib;
    static bool looked = false;
    if (!looked) {
        looked = true;
        if (void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
            xlib.internAtom = reinterpret_cast<decltype(&XInternAtom)>(dlsym(library, "XInternAtom"));
            xlib.getWindowProperty =
                reinterpret_cast<decltype(&XGetWindowProperty)>(dlsym(library, "XGetWindowProperty"));
            xlib.free = reinterpret_cast<decltype(&XFree)>(dlsym(library, "XFree"));
            dlclose(library);  // stays loaded: SDL holds it
        }
    }
    if (xlib.internAtom == nullptr || xlib.getWindowProperty == nullptr || xlib.free == nullptr) return nullptr;
    if (xlib.display != display) {
        xlib.display = display;
        xlib.wmState = xlib.internAtom(display, "_NET_WM_STATE", False);
        xlib.fullscreen = xlib.internAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    }
    return &xlib;
}

bool x11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window != nullptr && SDL_GetWindowWMInfo(window, info) == SDL_TRUE && info->subsystem == SDL_SYSWM_X11;
}

}  // namespace

WmFullscreen wmFullscreenState(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, &info)) return WmFullscreen::UNKNOWN;
    Xlib* xlib = xlibFor(info.info.x11.display);
    if (xlib == nullptr) return WmFullscreen::UNKNOWN;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (xlib->getWindowProperty(info.info.x11.display, info.info.x11.window, xlib->wmState, 0, 64, False, XA_ATOM,
                                &type, &format, &count, &after, &data) != Success)
        return WmFullscreen::UNKNOWN;
    WmFullscreen state = WmFullscreen::NO;
    if (type == XA_ATOM && format == 32 && data != nullptr) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);  // format 32 comes as longs
        for (unsigned long i = 0; i < count; ++i)
            if (atoms[i] == xlib->fullscreen) state = WmFullscreen::YES;
    }
    if (data != nullptr) xlib->free(data);
    return state;
}

bool isWmStateChange(const SDL_SysWMmsg* message, SDL_Window* window) {
    if (message == nullptr || message->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& event = message->msg.x11.event;
    if (event.type != PropertyNotify) return false;
    SDL_SysWMinfo info;
    if (!x11Info(window, &info) || event.xproperty.window != info.info.x11.window) return false;
    Xlib* xlib = xlibFor(info.info.x11.display);
    return xlib != nullptr && event.xproperty.atom == xlib->wmState;
}

}  // namespace sdlbackend
