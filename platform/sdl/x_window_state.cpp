#include "platform/sdl/x_window_state.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <dlfcn.h>

#include <vector>

namespace sdlbackend {
namespace {

// Xlib is SDL's copy, loaded by its x11 driver (as in x_server_loss.cpp):
// the game does not link it, so a desktop without X needs no Xlib.
struct Xlib {
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XDefaultRootWindow) defaultRootWindow = nullptr;
    Display* display = nullptr;  // the atoms below belong to it
    Atom wmState = None;
    Atom fullscreen = None;
    Atom wmCheck = None;
};

template <typename Function>
void find(void* library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(library, name));
}

Xlib* xlibFor(Display* display) {
    static Xlib xlib;
    static bool looked = false;
    if (!looked) {
        looked = true;
        if (void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
            find(library, "XInternAtom", &xlib.internAtom);
            find(library, "XGetWindowProperty", &xlib.getWindowProperty);
            find(library, "XFree", &xlib.free);
            find(library, "XDefaultRootWindow", &xlib.defaultRootWindow);
            dlclose(library);  // stays loaded: SDL holds it
        }
    }
    if (xlib.internAtom == nullptr || xlib.getWindowProperty == nullptr || xlib.free == nullptr ||
        xlib.defaultRootWindow == nullptr)
        return nullptr;
    if (xlib.display != display) {
        xlib.display = display;
        xlib.wmState = xlib.internAtom(display, "_NET_WM_STATE", False);
        xlib.fullscreen = xlib.internAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        xlib.wmCheck = xlib.internAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    }
    return &xlib;
}

bool x11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window != nullptr && SDL_GetWindowWMInfo(window, info) == SDL_TRUE && info->subsystem == SDL_SYSWM_X11;
}

// The 32-bit items of `property` of `window`, of `type`; false when it cannot
// be read (an absent property reads as no items).
bool readProperty(const Xlib& xlib, Display* display, ::Window window, Atom property, Atom type,
                  std::vector<long>* items) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (xlib.getWindowProperty(display, window, property, 0, 64, False, type, &actual, &format, &count, &after,
                               &data) != Success)
        return false;
    items->clear();
    if (actual == type && format == 32 && data != nullptr) {
        const auto* values = reinterpret_cast<const long*>(data);  // format 32 comes as longs
        items->assign(values, values + count);
    }
    if (data != nullptr) xlib.free(data);
    return true;
}

bool hasWindowManager(const Xlib& xlib, Display* display) {
    std::vector<long> items;
    return readProperty(xlib, display, xlib.defaultRootWindow(display), xlib.wmCheck, XA_WINDOW, &items) &&
           !items.empty();
}

}  // namespace

bool xWithoutWindowManager(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, &info)) return false;
    Xlib* xlib = xlibFor(info.info.x11.display);
    return xlib != nullptr && !hasWindowManager(*xlib, info.info.x11.display);
}

WmFullscreen wmFullscreenState(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, &info)) return WmFullscreen::UNKNOWN;
    Display* display = info.info.x11.display;
    Xlib* xlib = xlibFor(display);
    if (xlib == nullptr) return WmFullscreen::UNKNOWN;
    // Without a window manager nobody keeps _NET_WM_STATE: SDL wrote it
    // before mapping the window and it stays so whatever happens after.
    if (!hasWindowManager(*xlib, display)) return WmFullscreen::UNKNOWN;
    std::vector<long> items;
    if (!readProperty(*xlib, display, info.info.x11.window, xlib->wmState, XA_ATOM, &items))
        return WmFullscreen::UNKNOWN;
    for (long atom : items)
        if (static_cast<Atom>(atom) == xlib->fullscreen) return WmFullscreen::YES;
    return WmFullscreen::NO;
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
