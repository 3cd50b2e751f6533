// Where the 800x600 picture lands in a window of any size, and the way back
// from a window pixel to a picture pixel. Pure arithmetic, no SDL.
//
// The picture keeps its aspect: it is scaled to the largest size that fits,
// centred, with black bars on the two sides that are left over. Pixels are
// nearest-neighbour: each window pixel shows the picture pixel under its
// centre, so presenting and the pointer agree exactly.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace sdlbackend {

// The picture's place in the window, in window pixels. An empty window (0 or
// negative size) gives an empty fit.
struct PictureFit {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Called when the presenter (re)builds its maps and by cursorPosition.
PictureFit fitPicture(int32_t windowWidth, int32_t windowHeight);

// The picture column shown at window column `windowX` (and likewise for
// rows). Positions in the bars or beyond the window give values outside the
// picture (negative, or 800 / 600 and more); they are not clamped here.
int32_t pictureColumnAt(const PictureFit& fit, int32_t windowX);
int32_t pictureRowAt(const PictureFit& fit, int32_t windowY);

// The pointer position for the game: the picture pixel under the window
// pixel, clamped to 0..799 and 0..599 (so the bars map to the nearest edge).
// An empty fit gives (0, 0).
platform::Point windowToPicture(const PictureFit& fit, int32_t windowX, int32_t windowY);

// The window pixel under the centre of window point `point`, along an axis
// of `points` points drawn with `pixels` device pixels (a desktop scaled by 2
// has two pixels to a point). SDL reports the pointer in points; the fit is
// made in the pixels a presenter fills. Equal sizes give `point` back.
int32_t pointToPixel(int32_t point, int32_t points, int32_t pixels);

// For every column offset 0..fit.width-1 inside the fit, the picture column
// it shows (and likewise for rows). Used by the scaler.
std::vector<int32_t> columnMap(const PictureFit& fit);
std::vector<int32_t> rowMap(const PictureFit& fit);

}  // namespace sdlbackend
