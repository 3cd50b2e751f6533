// Fullscreen on X11 without SDL's wait for the window manager.
//
// SDL asks the window manager for fullscreen once the window is mapped and
// then waits, polling every 10 ms for up to 100 ms, until it sees the window
// move or change size; a window already at the desktop's size never changes,
// so the wait always runs out. The window manager's own protocol (EWMH) lets
// a client name its initial state in the window's _NET_WM_STATE before the
// map: the window is then mapped fullscreen at once. SDL is not told, so on
// X11 the fullscreen state belongs to the window manager from the start.
//
// Xlib comes from the copy SDL's x11 driver loaded; the game does not link it.
#pragma once

#include <SDL2/SDL.h>

namespace sdlbackend {

// Whether the Xlib functions these need are loaded (SDL took x11).
bool x11FullscreenAvailable();

// On a window that has never been mapped: names fullscreen as its initial
// state. False when the window is not an X11 one or Xlib is not loaded.
bool markFullscreenBeforeMap(SDL_Window* window);

// On a mapped window: asks the window manager for fullscreen, without
// waiting for an answer (one that is fullscreen already stays as it is).
bool askFullscreen(SDL_Window* window);

}  // namespace sdlbackend
