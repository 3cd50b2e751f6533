// The display's pixel format: 16-bit RGB565, converted once when an image is
// loaded so that drawing never converts.
#pragma once

#include <cstdint>

#include "display/surface.h"
#include "platform/platform.h"

// 0x00RRGGBB to RGB565, keeping the top 5, 6 and 5 bits of red, green and
// blue. The colour key is matched with this same conversion, so every colour
// that converts to the key's value is transparent.
constexpr uint16_t rgbTo565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 8) & 0xF800u) | ((rgb >> 5) & 0x07E0u) | ((rgb >> 3) & 0x001Fu));
}

// Fills `surface` (a new surface of the image's size, no colour key) with the
// converted pixels of `image`. Returns false, leaving `surface` empty, when
// the image is empty, its pixel count does not match its size, or the memory
// cannot be had. Called by the image loader; `image` stays the caller's.
bool imageToSurface(const platform::DecodedImage& image, Surface* surface);
