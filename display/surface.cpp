#include "display/surface.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace {

// Serials start at 1, so 0 marks a surface that was never created.
uint64_t lastSerial = 0;

// Far beyond any image the game uses (the largest is 800x600); a size past it
// is refused outright rather than left to the allocator.
constexpr int64_t MAX_SURFACE_PIXELS = int64_t{1} << 26;

// The part of a copy that survives the bounds checks: where to read, where to
// write, and how much.
struct CopyArea {
    const uint16_t* source;
    uint16_t* target;
    size_t sourcePitch;
    size_t targetPitch;
    int32_t width;
    int32_t height;
};

bool holdsPixels(const Surface& s) {
    return s.width > 0 && s.height > 0 &&
           s.pixels.size() >= static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
}

// All bounds in 64 bits: a rectangle or position near the int32 limits must be
// refused, not wrap around into the picture.
bool resolveCopy(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect, CopyArea* area) {
    if (target == nullptr || !holdsPixels(*target) || !holdsPixels(source)) return false;
    Rect r = sourceRect != nullptr ? *sourceRect : Rect{0, 0, source.width, source.height};
    if (r.left < 0 || r.top < 0 || r.right > source.width || r.bottom > source.height) return false;
    if (r.left >= r.right || r.top >= r.bottom) return false;
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    if (x < 0 || y < 0) return false;
    if (static_cast<int64_t>(x) + w > target->width || static_cast<int64_t>(y) + h > target->height) return false;
    area->sourcePitch = static_cast<size_t>(source.width);
    area->targetPitch = static_cast<size_t>(target->width);
    area->source = source.pixels.data() + static_cast<size_t>(r.top) * area->sourcePitch + static_cast<size_t>(r.left);
    area->target = target->pixels.data() + static_cast<size_t>(y) * area->targetPitch + static_cast<size_t>(x);
    area->width = static_cast<int32_t>(w);
    area->height = static_cast<int32_t>(h);
    return true;
}

// Written without early-outs so that the compiler turns it into vector
// compares and blends (a branch per pixel is about five times slower). The
// fixed-size blocks let -O2's cautious cost model vectorise without a
// run-time trip count; the few pixels left over go one by one.
constexpr int32_t KEYED_BLOCK = 16;

void keyedRow(uint16_t* __restrict dst, const uint16_t* __restrict src, int32_t count, uint16_t key) {
    int32_t i = 0;
    for (; i + KEYED_BLOCK <= count; i += KEYED_BLOCK)
        for (int32_t j = 0; j < KEYED_BLOCK; ++j) dst[i + j] = src[i + j] != key ? src[i + j] : dst[i + j];
    for (; i < count; ++i) dst[i] = src[i] != key ? src[i] : dst[i];
}

// A copy of a surface onto itself may overlap: such a source is first taken
// aside (the game never does this, but the rows must not alias).
bool copyArea(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect, bool keyed) {
    CopyArea area;
    if (!resolveCopy(target, x, y, source, sourceRect, &area)) return false;
    const bool useKey = keyed && source.hasColorKey;

    std::vector<uint16_t> aside;
    if (target == &source) {
        try {
            aside.resize(static_cast<size_t>(area.width) * static_cast<size_t>(area.height));
        } catch (const std::exception&) {
            return false;
        }
        for (int32_t row = 0; row < area.height; ++row)
            std::memcpy(aside.data() + static_cast<size_t>(row) * area.width, area.source + row * area.sourcePitch,
                        static_cast<size_t>(area.width) * sizeof(uint16_t));
        area.source = aside.data();
        area.sourcePitch = static_cast<size_t>(area.width);
    }

    for (int32_t row = 0; row < area.height; ++row) {
        const uint16_t* src = area.source + row * area.sourcePitch;
        uint16_t* dst = area.target + row * area.targetPitch;
        if (useKey)
            keyedRow(dst, src, area.width, source.colorKey);
        else
            std::memcpy(dst, src, static_cast<size_t>(area.width) * sizeof(uint16_t));
    }
    return true;
}

}  // namespace

bool createSurface(Surface* surface, int32_t width, int32_t height) {
    if (surface == nullptr) return false;
    *surface = Surface{};
    if (width <= 0 || height <= 0) return false;
    if (static_cast<int64_t>(width) * height > MAX_SURFACE_PIXELS) return false;
    try {
        surface->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    } catch (const std::exception&) {  // bad_alloc, or length_error past the vector's limit
        surface->pixels = {};
        return false;
    }
    surface->width = width;
    surface->height = height;
    surface->serial = ++lastSerial;
    return true;
}

void setColorKey(Surface* surface, uint16_t key) {
    if (surface == nullptr) return;
    surface->hasColorKey = true;
    surface->colorKey = key;
}

void fillSurface(Surface* target, uint16_t value) {
    if (target == nullptr) return;
    std::fill(target->pixels.begin(), target->pixels.end(), value);
}

bool copyKeyed(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect) {
    return copyArea(target, x, y, source, sourceRect, true);
}

bool copyOpaque(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect) {
    return copyArea(target, x, y, source, sourceRect, false);
}
