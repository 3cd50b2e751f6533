#include "platform/sdl/x11_fullscreen.h"

#include <X11/Xatom.h>

#include "platform/sdl/x11_calls.h"

namespace sdlbackend {

namespace {

struct X11Window {
    Display* display = nullptr;
    ::Window id = 0;
    Atom state = 0;       // _NET_WM_STATE
    Atom fullscreen = 0;  // _NET_WM_STATE_FULLSCREEN
};

bool x11Window(SDL_Window* window, X11Window* out) {
    if (!x11WindowOf(window, &out->display, &out->id)) return false;
    out->state = x11Calls().internAtom(out->display, "_NET_WM_STATE", False);
    out->fullscreen = x11Calls().internAtom(out->display, "_NET_WM_STATE_FULLSCREEN", False);
    return out->state != None && out->fullscreen != None;
}

}  // namespace

bool x11FullscreenAvailable() {
    return x11Calls().complete;
}

bool markFullscreenBeforeMap(SDL_Window* window) {
    X11Window w;
    if (!x11Window(window, &w)) return false;
    // Appended: whatever state SDL gave the new window stays.
    x11Calls().changeProperty(w.display, w.id, w.state, XA_ATOM, 32, PropModeAppend,
                              reinterpret_cast<const unsigned char*>(&w.fullscreen), 1);
    x11Calls().flush(w.display);
    return true;
}

bool askFullscreen(SDL_Window* window) {
    X11Window w;
    if (!x11Window(window, &w)) return false;
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = w.id;
    request.xclient.message_type = w.state;
    request.xclient.format = 32;
    request.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
    request.xclient.data.l[1] = static_cast<long>(w.fullscreen);
    request.xclient.data.l[3] = 1;  // from a normal application
    x11Calls().sendEvent(w.display, DefaultRootWindow(w.display), False,
                         SubstructureRedirectMask | SubstructureNotifyMask, &request);
    x11Calls().flush(w.display);
    return true;
}

}  // namespace sdlbackend
