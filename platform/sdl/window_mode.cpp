#include "platform/sdl/window_mode.h"

#include <cstdio>
#include <vector>

#include "platform/sdl/window_placement.h"
#include "platform/sdl/x_window_state.h"

namespace sdlbackend {
namespace {

// A window manager answers a change the game (or SDL on its behalf) asked
// for within this time; until then the state it shows may still be the old
// one and is not taken as the player's doing.
constexpr uint32_t WM_ANSWER_MS = 1000;

// No smaller than this: a window dragged down to nothing has no Exit button.
constexpr int MIN_WINDOW_W = 200;
constexpr int MIN_WINDOW_H = 150;

// How long a window manager may take to frame a window that left fullscreen.
constexpr uint32_t FRAME_WAIT_MS = 500;

ScreenRect toRect(const SDL_Rect& r) {
    return {r.x, r.y, r.w, r.h};
}

ScreenRect windowRect(SDL_Window* window) {
    ScreenRect r;
    SDL_GetWindowPosition(window, &r.x, &r.y);
    SDL_GetWindowSize(window, &r.w, &r.h);
    return r;
}

std::vector<ScreenRect> displayBounds() {
    std::vector<ScreenRect> displays;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect r{0, 0, 0, 0};
        if (SDL_GetDisplayBounds(i, &r) != 0) r = SDL_Rect{0, 0, 0, 0};
        displays.push_back(toRect(r));
    }
    return displays;
}

// The monitor under the window's centre. Not SDL_GetWindowDisplayIndex: on
// x11 it goes on naming the monitor a window was made fullscreen on after
// the window manager has moved it to another.
int displayOf(SDL_Window* window) {
    int display = displayHolding(displayBounds(), windowRect(window));
    return display >= 0 ? display : 0;
}

ScreenRect usableBounds(int display) {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(display, &r) != 0 || r.w <= 0 || r.h <= 0) SDL_GetDisplayBounds(display, &r);
    return toRect(r);
}

bool settled(const Backend& state) {
    return SDL_TICKS_PASSED(SDL_GetTicks(), state.ownChangeAt + WM_ANSWER_MS);
}

void becomeWindow(Backend& state) {
    SDL_Window* window = state.window.sdl;
    ScreenRect usable = usableBounds(displayOf(window));
    ScreenRect target = state.playerWindow.w > 0 ? keptOnScreen(state.playerWindow, usable) : windowedPlacement(usable);
    state.ownChangeAt = SDL_GetTicks();
    // On x11 SDL may still believe the window fullscreen after the window
    // manager took it out; this also brings SDL's own flags in line.
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowMinimumSize(window, MIN_WINDOW_W, MIN_WINDOW_H);
    SDL_SetWindowSize(window, target.w, target.h);
    SDL_SetWindowPosition(window, target.x, target.y);
    // SDL places the window's inside by the frame it knows of. Out of
    // fullscreen it may know of none yet while the window manager is adding
    // one: the place is then asked for again once it does (placeFramed).
    int top = 0, left = 0;
    SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
    state.placeAt = top == 0 && left == 0 ? target : ScreenRect{};
    state.placeBy = SDL_GetTicks() + FRAME_WAIT_MS;
    state.surfaceLost = true;
}

// Puts the window's inside where becomeWindow wanted it once SDL knows the
// frame the window manager added. No frame by the deadline: it was right.
void placeFramed(Backend& state) {
    SDL_Window* window = state.window.sdl;
    int top = 0, left = 0;
    SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
    if (top != 0 || left != 0) {
        SDL_SetWindowPosition(window, state.placeAt.x, state.placeAt.y);
    } else if (!SDL_TICKS_PASSED(SDL_GetTicks(), state.placeBy)) {
        return;
    }
    state.placeAt = ScreenRect{};
}

bool becomeFullscreen(Backend& state) {
    state.ownChangeAt = SDL_GetTicks();
    state.placeAt = ScreenRect{};
    if (SDL_SetWindowFullscreen(state.window.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    // SDL names the monitor it made the window fullscreen on.
    state.fullscreenDisplay = SDL_GetWindowDisplayIndex(state.window.sdl);
    state.surfaceLost = true;
    return true;
}

// Whether the desktop holds the window fullscreen now: the window manager's
// word on x11, SDL's elsewhere (its Wayland driver follows the compositor).
bool heldFullscreen(SDL_Window* window, WmFullscreen wm) {
    if (wm != WmFullscreen::UNKNOWN) return wm == WmFullscreen::YES;
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

}  // namespace

void windowSizeInPixels(SDL_Window* window, int32_t* width, int32_t* height) {
    int w = 0, h = 0;
    if (window != nullptr) SDL_GetWindowSizeInPixels(window, &w, &h);
    *width = w;
    *height = h;
}

bool applyWindowMode(Backend& state) {
    SDL_Window* window = state.window.sdl;
    if (window == nullptr) return false;
    if (!state.windowed) return becomeFullscreen(state);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) becomeWindow(state);
    return true;
}

void toggleFullscreen(Backend& state) {
    if (state.window.sdl == nullptr) return;
    if (state.windowed) {
        SDL_Window* window = state.window.sdl;
        state.playerWindow = windowRect(window);  // where F11 brings it back to
        state.windowed = false;
        // With no window manager to act on the request, a fullscreen window
        // stays where it is: it is put over its monitor first.
        SDL_Rect bounds;
        if (xWithoutWindowManager(window) && SDL_GetDisplayBounds(displayOf(window), &bounds) == 0) {
            SDL_SetWindowPosition(window, bounds.x, bounds.y);
            SDL_SetWindowSize(window, bounds.w, bounds.h);
        }
        if (becomeFullscreen(state)) return;
        std::fprintf(stderr, "quillmara: SDL_SetWindowFullscreen failed, the game stays in its window: %s\n",
                     SDL_GetError());
        state.windowed = true;
        return;
    }
    state.windowed = true;
    becomeWindow(state);
}

void followWindowChanges(Backend& state) {
    SDL_Window* window = state.window.sdl;
    if (window == nullptr) return;
    if (state.placeAt.w > 0) placeFramed(state);
    if (!(state.wmStateChanged || state.placementChanged)) return;
    // A minimised window is taken out of fullscreen by SDL itself until it
    // comes back; what the desktop shows meanwhile is no choice of the player.
    if ((SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) || !settled(state)) return;
    state.wmStateChanged = false;
    state.placementChanged = false;

    const WmFullscreen wm = wmFullscreenState(window);
    const bool fullscreen = heldFullscreen(window, wm);
    if (fullscreen == state.windowed) {
        // The window manager changed the mode: the player's doing.
        state.windowed = !fullscreen;
        if (state.windowed) {
            state.playerWindow = ScreenRect{};
            becomeWindow(state);
        } else if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)) {
            becomeFullscreen(state);
        }
        return;
    }
    // Only x11 with a window manager has window positions to go by and
    // someone to size a fullscreen window; a Wayland compositor sizes it to
    // its output itself.
    if (!fullscreen || wm == WmFullscreen::UNKNOWN) return;
    // Once per monitor: should the window manager still not size it, asking
    // again would change nothing.
    const int display = displayOf(window);
    SDL_Rect bounds;
    if (display == state.fullscreenDisplay || SDL_GetDisplayBounds(display, &bounds) != 0 ||
        windowRect(window) == toRect(bounds))
        return;
    // Moved onto another monitor by a window manager that left its size: a
    // fullscreen window is made anew where it is now.
    state.fullscreenDisplay = display;
    state.ownChangeAt = SDL_GetTicks();
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    becomeFullscreen(state);
}

}  // namespace sdlbackend
