// Where the game's window goes on the desktop: its place when it leaves
// fullscreen, and which monitor it is on. Pure arithmetic, no SDL.
#pragma once

#include <cstdint>
#include <vector>

namespace sdlbackend {

// A rectangle of the desktop, in SDL's window coordinates (laid out as SDL_Rect).
struct ScreenRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The window the game becomes when it leaves fullscreen on a monitor whose
// usable area (less panels) is `usable`: the picture's own 800x600 when that
// fits, else the largest 4:3 size that does, centred. An empty area gives
// 800x600 at its origin.
ScreenRect windowedPlacement(const ScreenRect& usable);

// `window` moved (never resized, unless larger than `usable`) so that all of
// it lies inside `usable`: a window the player had on a monitor that has
// since gone, or shrunk, comes back within reach.
ScreenRect keptOnScreen(const ScreenRect& window, const ScreenRect& usable);

// The index in `displays` of the monitor holding the centre of `window`, or
// the nearest to it when none does; -1 when there is no display.
int displayHolding(const std::vector<ScreenRect>& displays, const ScreenRect& window);

}  // namespace sdlbackend
