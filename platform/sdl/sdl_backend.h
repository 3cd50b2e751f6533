// State shared by the pieces of the SDL backend (window, events, keyboard,
// display). Internal to platform/sdl; the game sees only platform.h.
#pragma once

#include <SDL.h>

#include <deque>

#include "platform/platform.h"
#include "platform/sdl/key_map.h"
#include "platform/sdl/window_placement.h"

namespace platform {

// The game's one window. `sdl` is null while no window exists.
struct Window {
    SDL_Window* sdl = nullptr;
};

}  // namespace platform

namespace sdlbackend {

struct Backend {
    platform::Window window;
    std::deque<platform::EventKind> events;  // the game's own queue, oldest first
    KeyLatch keys;
    // Set by the event pump, taken by the presenter at its next present.
    bool surfaceLost = false;  // the window changed size: its surface is new
    bool exposed = false;      // the screen lost the window's pixels
    // Fullscreen or a window (window_mode.h): the player's choice, kept
    // across focus cycles, and what the pump saw change since.
    bool windowed = false;
    ScreenRect playerWindow;        // the window F11 left for fullscreen; empty: none yet
    int fullscreenDisplay = -1;     // the monitor the window was last made fullscreen on
    ScreenRect placeAt;             // where the window's inside goes once framed; empty: placed
    uint32_t placeBy = 0;           // ticks after which it goes there, framed or not
    uint32_t ownChangeAt = 0;       // ticks of the last change of mode the game or SDL asked for
    bool wmStateChanged = false;    // the X window manager rewrote the window's _NET_WM_STATE
    bool placementChanged = false;  // moved, resized, or onto another monitor
};

// The one backend state of the process.
Backend& backend();

// Ends the game at once with 255 and one line on standard error when the
// connection to the X server is lost. Called by windowCreate once SDL has
// taken its x11 driver.
void watchXServerLoss();

// Drains SDL's queue: the four game events go into backend().events, key
// presses into the latch (F11 also switches between fullscreen and a
// window), expose and size changes into the flags. Called by pollEvent once
// per pass. Does nothing while no window exists.
void pumpEvents();

}  // namespace sdlbackend
