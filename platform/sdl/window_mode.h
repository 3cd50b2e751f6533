// Fullscreen or a window, as the player chooses: F11, or the window
// manager's own shortcut for leaving fullscreen. The choice is kept in the
// backend state, so a focus cycle does not undo it. A fullscreen window
// covers the monitor it is on; a window is resizable and the picture fits it.
#pragma once

#include <cstdint>

#include "platform/sdl/sdl_backend.h"

namespace sdlbackend {

// The window's drawing area in the monitor's own pixels
// (SDL_GetWindowSizeInPixels): on a desktop scaled by 2 twice its size in
// points. A presenter that draws at device pixels fills this much, and the
// pointer is mapped through the picture's fit in it. 0x0 without a window.
void windowSizeInPixels(SDL_Window* window, int32_t* width, int32_t* height);

// Makes the window what the player chose: fullscreen at its monitor's size
// (a no-op when it is already), or an ordinary resizable window. False, with
// SDL's reason left in SDL_GetError, when SDL refuses fullscreen. Called by
// displaySetFullscreen at start-up and at every focus regain.
bool applyWindowMode(Backend& state);

// F11: from fullscreen to a window and back. Called by the event pump.
void toggleFullscreen(Backend& state);

// Called by the event pump after each drain: adopts a change of fullscreen
// state the window manager made (a window the player took out of fullscreen
// becomes an ordinary window, kept on screen), and puts a fullscreen window
// that was moved onto another monitor over that monitor, at its size.
void followWindowChanges(Backend& state);

}  // namespace sdlbackend
