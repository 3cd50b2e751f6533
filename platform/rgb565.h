// RGB565, the pixel format of the picture the game hands the platform, and
// its conversions to and from 0x00RRGGBB. The game, its tools, its
// screenshots and the SDL presenter all convert here, so an image painted by
// the generator shows exactly as the loader makes it, and the screen shows
// the colours a screenshot writes.
#pragma once

#include <cstdint>

// 0x00RRGGBB to RGB565, keeping the top 5, 6 and 5 bits of red, green and
// blue; the top byte is ignored. The colour key is matched with this same
// conversion, so every colour that converts to the key's value is transparent.
constexpr uint16_t rgbTo565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 8) & 0xF800u) | ((rgb >> 5) & 0x07E0u) | ((rgb >> 3) & 0x001Fu));
}

// RGB565 to 0x00RRGGBB, widening each channel by repeating its top bits, so
// that 0 stays 0 and a channel's maximum becomes 255 (white stays white).
constexpr uint32_t rgbFrom565(uint16_t pixel) {
    const uint32_t r = pixel >> 11, g = (pixel >> 5) & 0x3Fu, b = pixel & 0x1Fu;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}
