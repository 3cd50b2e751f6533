// The display's pixel format: 16-bit RGB565, converted once when an image is
// loaded so that drawing never converts.
#pragma once

#include <cstdint>

#include "platform/rgb565.h"
#include "display/surface.h"
#include "platform/platform.h"

// Fills `surface` (a new surface of the image's size, no colour key) with the
// converted pixels of `image`. Returns false, leaving `surface` empty, when
// the image is empty, its pixel count does not match its size, or the memory
// cannot be had. Called by the image loader; `image` stays the caller's.
bool imageToSurface(const platform::DecodedImage& image, Surface* surface);
