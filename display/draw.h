// Drawing images onto the back buffer, as the screens do it.
#pragma once

#include <cstdint>

#include "display/surface.h"

struct GameApp;

// Keyed copy of `image` (whole, or `sourceRect` of it) with its top-left at
// (x, y) on the back buffer. Does nothing while the back buffer or the image
// is absent, or when the copy does not fit (a failed copy is simply missing
// from the frame).
void drawKeyed(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect = nullptr);

// Opaque copy, otherwise as drawKeyed. Only the background is drawn this way.
void drawOpaque(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect = nullptr);
