// Nearest-neighbour scaling of the RGB565 picture into a window-sized pixel
// buffer of 2, 3 or 4 bytes per pixel, through a 65,536-entry colour table
// and precomputed column and row maps. No SDL calls but the pixel-format
// mapping that builds the colour table.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sdl/change_tracker.h"
#include "platform/sdl/picture_fit.h"

struct SDL_PixelFormat;

namespace sdlbackend {

// A block of target pixels the scaler writes into; not owned.
struct PixelTarget {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;  // bytes from one row to the next
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;  // 2, 3 or 4
};

// A rectangle of window pixels, laid out as SDL_Rect.
struct WindowRect {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
};

// True for the target formats the scaler writes: packed or array RGB of 2, 3
// or 4 bytes per pixel (not palettes, not YUV). `format` is an SDL_PixelFormatEnum.
bool scalerServes(uint32_t format);

// Fills `table` with the target pixel value of every RGB565 value, widening
// each channel so that white stays white: r8 = r5<<3 | r5>>2,
// g8 = g6<<2 | g6>>4. Throws std::bad_alloc when the table cannot be had.
void buildColourTable(const SDL_PixelFormat* format, std::vector<uint32_t>* table);

class Scaler {
public:
    // Builds the maps for a target of the given size. Throws std::bad_alloc.
    Scaler(int32_t targetWidth, int32_t targetHeight);

    int32_t targetWidth() const { return targetWidth_; }
    int32_t targetHeight() const { return targetHeight_; }
    const PictureFit& fit() const { return fit_; }

    // The window pixels that show the picture pixels of `rect`. Empty (w or h
    // 0) when the picture is shrunk and no window pixel samples them.
    WindowRect windowRectOf(const PictureRect& rect) const;

    // Writes the window pixels of windowRectOf(rect) from `picture` (800x600
    // RGB565). `target` must have the size the scaler was built for.
    void scale(const uint16_t* picture, const PictureRect& rect, const uint32_t* colourTable,
               const PixelTarget& target) const;

    // Fills the whole target with `value` (the bars' black).
    static void fill(const PixelTarget& target, uint32_t value);

private:
    int32_t targetWidth_;
    int32_t targetHeight_;
    PictureFit fit_;
    std::vector<int32_t> columns_;      // fit offset -> picture column
    std::vector<int32_t> rows_;         // fit offset -> picture row
    std::vector<int32_t> columnStart_;  // picture column -> first fit offset showing it (801 entries)
    std::vector<int32_t> rowStart_;     // picture row -> first fit offset showing it (601 entries)
};

}  // namespace sdlbackend
