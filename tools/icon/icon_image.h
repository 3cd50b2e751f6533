// The desktop icon, made from the game's own piece and hole images.
//
// The images are keyed: pure green marks what the game leaves undrawn. The
// icon turns that into transparency, sets the piece in its hole as the game
// draws it, and scales the result to the square sizes a desktop asks for.
// Pure computation on RGBA pixels; the file handling is in icon_tool.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace icon {

// Pixels as bytes R, G, B, A, row by row, alpha not premultiplied.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    RgbaImage() = default;
    // A fully transparent image; negative sizes give an empty one.
    RgbaImage(int w, int h);

    bool empty() const { return width <= 0 || height <= 0; }
    // Byte offset of pixel (x, y); the caller keeps x, y inside the image.
    std::size_t at(int x, int y) const { return (static_cast<std::size_t>(y) * width + x) * 4; }
};

// The game's colour key, 0xRRGGBB.
constexpr uint32_t KEY_COLOUR = 0x00FF00;

// Makes every pixel of exactly the key colour fully transparent; the others
// keep their alpha. Called once on each image right after loading.
void clearKeyColour(RgbaImage& image);

// `top` painted over `bottom` with its top-left corner at (x, y) of
// `bottom`'s coordinates ("over" compositing). The result covers both
// images, so parts of `top` outside `bottom` are kept; its origin is the
// top-left corner of that union.
RgbaImage paintOver(const RgbaImage& bottom, const RgbaImage& top, int x, int y);

// The smallest rectangle holding every pixel with non-zero alpha; all zero
// (w == 0) when the image has none.
struct Bounds {
    int x = 0, y = 0, w = 0, h = 0;
};
Bounds visibleBounds(const RgbaImage& image);

// A size x size icon: the visible part of `art` centred with a transparent
// margin of about a sixteenth of the side, scaled evenly with a filter that
// mixes colours weighted by alpha (so no key green bleeds into the edges).
// Empty when `art` has no visible pixel or size is not positive.
RgbaImage squareIcon(const RgbaImage& art, int size);

}  // namespace icon
