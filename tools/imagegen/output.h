// Turning pictures into the game's image files.
//
// The game shows everything as RGB565 and treats one colour, pure green
// (0, 255, 0), as transparent in every image but the background. Flattening
// therefore (1) decides per pixel between opaque and the key, (2) mixes the
// partly covered edge pixels with what lies beneath them on screen, never
// with the green, (3) dithers to the 565 levels so gradients do not band,
// and (4) moves any opaque colour that would convert to the key's 16-bit
// value one step away from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rgb565.h"
#include "tools/imagegen/canvas.h"

namespace imagegen {

constexpr uint32_t KEY_GREEN = 0x00FF00;
constexpr uint16_t KEY_565 = rgbTo565(KEY_GREEN);

// Final 8-bit pixels, 0xRRGGBB, row by row.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What lies beneath a keyed image where the game draws it: `image` (usually
// the generated background or board) with the image's pixel (0, 0) over the
// image's pixel (x, y); where that is unknown or off the image, `matte`.
struct Beneath {
    const RgbImage* image = nullptr;
    int x = 0;
    int y = 0;
    uint32_t matte = 0x000000;
};

// Every pixel opaque, dithered; coverage is ignored.
RgbImage flattenOpaque(const Picture& picture);

// Pixels with coverage below `threshold` become the key; the others are the
// picture painted over what lies beneath them, dithered, and kept off the
// key's 16-bit value.
RgbImage flattenKeyed(const Picture& picture, const Beneath& beneath, float threshold);

// Writes a 24-bit uncompressed bottom-up BMP with the game's BMP writer,
// replacing the file an earlier run left at `path`. False, with the reason
// in `error`, when the file cannot be written whole (none is left then).
bool writeBmp24(const std::string& path, const RgbImage& image, std::string* error);

// Copies `source` onto `target` with its (0, 0) at (x, y), leaving out key
// pixels, as the game's keyed copy does. Parts outside `target` are dropped.
void copyKeyedOnto(RgbImage& target, const RgbImage& source, int x, int y);

}  // namespace imagegen
