// What the X window manager holds about the game's window. SDL 2.26 keeps
// its own fullscreen flag when the window manager takes a window out of
// fullscreen (a player's shortcut), so the backend reads the window's EWMH
// _NET_WM_STATE itself, through SDL's own Xlib.
#pragma once

#include <SDL.h>  // declares SDL_SysWMmsg; SDL_syswm.h, with Xlib's macros, stays in the .cpp

namespace sdlbackend {

enum class WmFullscreen { UNKNOWN, NO, YES };

// Whether the window manager lists _NET_WM_STATE_FULLSCREEN on `window`.
// UNKNOWN off the x11 driver, with no window manager running (nobody keeps
// the property then), or when it cannot be read.
WmFullscreen wmFullscreenState(SDL_Window* window);

// True on the x11 driver when no window manager runs: nobody then sizes a
// window that asks for fullscreen.
bool xWithoutWindowManager(SDL_Window* window);

// True when `message` (an SDL_SYSWMEVENT's) says the _NET_WM_STATE of
// `window` changed.
bool isWmStateChange(const SDL_SysWMmsg* message, SDL_Window* window);

}  // namespace sdlbackend
