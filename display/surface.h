// Software surfaces: the back buffer and every loaded image.
//
// A surface is a width x height block of RGB565 pixels with an optional
// source colour key. Copies place a whole image, or a rectangle of it, with
// its top-left corner at a point of the target. Callers place images inside
// the picture, but image files are data a player can replace: a copy whose
// source rectangle leaves its image, or whose destination leaves the target,
// is left out entirely, as a failed device copy would be. Nothing is ever
// read or written out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/change_map.h"
#include "display/frame_record.h"
#include "display/rect.h"

struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;  // row by row, pitch == width
    bool hasColorKey = false;
    uint16_t colorKey = 0;
    uint64_t serial = 0;  // unique per created surface, for telling rebuilt ones apart
    // Only the back buffer tracks its changes (see startTracking); the fills
    // and copies below keep the map up to date, and flag only the rows whose
    // pixels they really changed.
    ChangeMap changes;
    // Fills and copies onto this surface so far; pixels written directly
    // through `pixels` are not counted.
    uint64_t writeCount = 0;
    FrameRecord record;  // only the back buffer's is used (display/compose.h)

    uint16_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Makes a surface of the given size filled with 0, with a new serial, no
// colour key and no change tracking. Returns false (and leaves `surface` empty) when the size is not
// positive, is more than 2^26 pixels, or the memory cannot be had; it never
// throws.
bool createSurface(Surface* surface, int32_t width, int32_t height);

// Makes `surface` a new surface, as createSurface does, holding `pixels`
// (width*height RGB565 values row by row, taken over without a copy). Returns
// false and leaves `surface` empty when the size is not positive, is more than
// 2^26 pixels, or does not match the pixel count. Used for decoded images.
bool adoptPixels(Surface* surface, int32_t width, int32_t height, std::vector<uint16_t>&& pixels);

// Attaches a source colour key: keyed copies then leave pixels equal to `key` out.
void setColorKey(Surface* surface, uint16_t key);

// Fills the whole surface with one pixel value.
void fillSurface(Surface* target, uint16_t value);

// Keyed copy: the pixels of `source` (the whole image, or `sourceRect` when
// given) land with their top-left at (x, y) on `target`; pixels equal to the
// source's colour key are left out (a source without a key copies every
// pixel). Returns false and draws nothing when the copy does not fit.
bool copyKeyed(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect = nullptr);

// Opaque copy: as copyKeyed, but every pixel is copied.
bool copyOpaque(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect = nullptr);

// Fills the part of `area` that lies inside the surface with one value.
void fillRect(Surface* target, const Rect& area, uint16_t value);

// Where a copy would write: true with `dest` (and the resolved source
// rectangle in `resolved`) when the copy fits, false when it would be
// refused. Writes nothing.
bool copyDestination(const Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect,
                     Rect* resolved, Rect* dest);
