#include "display/surface.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

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

// True when a keyed copy of the row would change any pixel of `dst`: a
// pixel that is not the key and differs from what lies there. Read-only, in
// the same vectorisable blocks, so an unchanged row costs no writes at all.
bool keyedRowChanges(const uint16_t* __restrict dst, const uint16_t* __restrict src, int32_t count, uint16_t key) {
    int32_t i = 0;
    for (; i + KEYED_BLOCK <= count; i += KEYED_BLOCK) {
        uint16_t differs = 0;
        for (int32_t j = 0; j < KEYED_BLOCK; ++j)
            differs |= static_cast<uint16_t>((src[i + j] != key) & (src[i + j] != dst[i + j]));
        if (differs != 0) return true;
    }
    for (; i < count; ++i)
        if (src[i] != key && src[i] != dst[i]) return true;
    return false;
}

// Copies one row; on a tracked target only a row that really changes is
// written. True when it changed. The game redraws the same picture thirty
// times a second, so nearly every row of nearly every frame is skipped.
bool copyRow(bool tracked, uint16_t* dst, const uint16_t* src, int32_t width, bool keyed, uint16_t key) {
    const size_t bytes = static_cast<size_t>(width) * sizeof(uint16_t);
    if (keyed) {
        if (tracked && !keyedRowChanges(dst, src, width, key)) return false;
        keyedRow(dst, src, width, key);
    } else {
        if (tracked && std::memcmp(dst, src, bytes) == 0) return false;
        std::memcpy(dst, src, bytes);
    }
    return true;
}

// A copy of a surface onto itself may overlap: such a source is first taken
// aside (the game never does this, but the rows must not alias).
bool copyArea(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect, bool keyed) {
    CopyArea area;
    if (!resolveCopy(target, x, y, source, sourceRect, &area)) return false;
    ++target->writeCount;
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

    // A changed row flags its band of tiles once: the next rows of the same
    // band need no marking of their own.
    const bool tracked = target->changes.tracking();
    int32_t markedBand = -1;
    for (int32_t row = 0; row < area.height; ++row) {
        const bool changed = copyRow(tracked, area.target + row * area.targetPitch,
                                     area.source + row * area.sourcePitch, area.width, useKey, source.colorKey);
        const int32_t band = (y + row) / ChangeMap::TILE;
        if (changed && tracked && band != markedBand) {
            markChanged(&target->changes, x, y + row, x + area.width, y + row + 1);
            markedBand = band;
        }
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

bool adoptPixels(Surface* surface, int32_t width, int32_t height, std::vector<uint16_t>&& pixels) {
    if (surface == nullptr) return false;
    *surface = Surface{};
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > MAX_SURFACE_PIXELS) return false;
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
    surface->pixels = std::move(pixels);
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
    uint16_t* p = target->pixels.data();
    const size_t count = target->pixels.size();
    // -O2 leaves std::fill of 16-bit values scalar: one store per pixel.
    if ((value & 0xFF) == (value >> 8)) {
        std::memset(p, value & 0xFF, count * sizeof(uint16_t));
    } else {
        size_t i = 0;
        for (; i + KEYED_BLOCK <= count; i += KEYED_BLOCK)
            for (int32_t j = 0; j < KEYED_BLOCK; ++j) p[i + static_cast<size_t>(j)] = value;
        for (; i < count; ++i) p[i] = value;
    }
    markAllChanged(&target->changes);
    ++target->writeCount;
}

void fillRect(Surface* target, const Rect& area, uint16_t value) {
    if (target == nullptr || !holdsPixels(*target)) return;
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, target->width);
    const int32_t bottom = std::min(area.bottom, target->height);
    if (left >= right || top >= bottom) return;
    ++target->writeCount;
    for (int32_t y = top; y < bottom; ++y) {
        uint16_t* row = target->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(target->width);
        bool changed = false;
        for (int32_t x = left; x < right; ++x) {
            changed |= row[x] != value;
            row[x] = value;
        }
        if (changed) markChanged(&target->changes, left, y, right, y + 1);
    }
}

bool copyDestination(const Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect,
                     Rect* resolved, Rect* dest) {
    CopyArea area;
    // resolveCopy only reads the target; the cast spares a second bounds test.
    if (!resolveCopy(const_cast<Surface*>(target), x, y, source, sourceRect, &area)) return false;
    if (resolved != nullptr) *resolved = sourceRect != nullptr ? *sourceRect : Rect{0, 0, source.width, source.height};
    if (dest != nullptr) *dest = Rect{x, y, x + area.width, y + area.height};
    return true;
}

bool copyKeyed(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect) {
    return copyArea(target, x, y, source, sourceRect, true);
}

bool copyOpaque(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect) {
    return copyArea(target, x, y, source, sourceRect, false);
}
