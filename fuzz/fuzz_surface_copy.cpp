// Keyed and opaque copies at any position, with any source rectangle, between
// surfaces of any size (including hand-made ones whose pixel buffer does not
// match their size), against a plain per-pixel copy with 64-bit bounds: a
// copy lands whole or not at all, never touches a pixel outside its area,
// and leaves the key colour's pixels out only when keyed. Rectangle fills
// are clipped to the target, and a target that tracks its changes flags
// every tile in which a pixel changed.
#include <algorithm>
#include <cstring>
#include <vector>

#include "display/surface.h"
#include "fuzz/fuzz_support.h"

namespace {

// Positions and rectangle edges: mostly near the surfaces, sometimes at the
// ends of the 32-bit range.
int32_t coordinate(fuzz::ByteReader& in) {
    const uint8_t kind = in.byte();
    switch (kind % 10) {
        case 0:
            return static_cast<int32_t>(in.u32());
        case 1:
            return INT32_MAX - in.byte();
        case 2:
            return INT32_MIN + in.byte();
        default:
            return static_cast<int32_t>(in.byte()) - 64;
    }
}

// 1 to 40 past `edge`, wrapping at the end of the 32-bit range.
int32_t beyond(int32_t edge, fuzz::ByteReader& in) {
    return static_cast<int32_t>(static_cast<uint32_t>(edge) + 1u + in.byte() % 40u);
}

// A surface of up to 40x40 from a small palette of values, the key among them.
Surface makeSurface(fuzz::ByteReader& in, uint16_t key) {
    Surface s;
    s.width = 1 + in.byte() % 40;
    s.height = 1 + in.byte() % 40;
    const uint16_t palette[4] = {key, static_cast<uint16_t>(in.u16()), static_cast<uint16_t>(in.u16()), 0};
    s.pixels.resize(static_cast<size_t>(s.width) * s.height);
    for (uint16_t& p : s.pixels) p = palette[in.byte() % 4];
    const uint8_t damage = in.byte();
    if (damage % 16 == 0) s.pixels.resize(s.pixels.size() - 1 - damage / 16 % s.pixels.size());  // too few
    if (damage % 16 == 1) s.pixels.resize(s.pixels.size() + damage / 16);                        // more than needed
    if (damage % 16 == 2) s.width = -s.width;
    if (damage % 16 == 3) s.height = 0;
    return s;
}

bool holdsPixels(const Surface& s) {
    return s.width > 0 && s.height > 0 && s.pixels.size() >= static_cast<size_t>(s.width) * s.height;
}

// The expected target after a copy, or false when the copy must not happen.
bool referenceCopy(std::vector<uint16_t>& target, const Surface& targetShape, int32_t x, int32_t y,
                   const Surface& source, const Rect* rect, bool keyed) {
    if (!holdsPixels(targetShape) || !holdsPixels(source)) return false;
    const Rect r = rect != nullptr ? *rect : Rect{0, 0, source.width, source.height};
    if (r.left < 0 || r.top < 0 || r.right > source.width || r.bottom > source.height) return false;
    if (r.left >= r.right || r.top >= r.bottom) return false;
    const int64_t w = int64_t{r.right} - r.left;
    const int64_t h = int64_t{r.bottom} - r.top;
    if (x < 0 || y < 0 || x + w > targetShape.width || y + h > targetShape.height) return false;
    const std::vector<uint16_t> from = source.pixels;  // the source as it was, in case it is the target
    for (int64_t row = 0; row < h; ++row) {
        for (int64_t col = 0; col < w; ++col) {
            const uint16_t p = from[static_cast<size_t>((r.top + row) * source.width + r.left + col)];
            if (keyed && source.hasColorKey && p == source.colorKey) continue;
            target[static_cast<size_t>((y + row) * targetShape.width + x + col)] = p;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);
    const uint16_t key = in.u16();
    const uint8_t flags = in.byte();
    Surface target = makeSurface(in, key);
    Surface other = makeSurface(in, key);
    const bool ontoItself = flags & 1;
    Surface& source = ontoItself ? target : other;
    if (flags & 2) setColorKey(&source, key);
    const bool keyed = flags & 4;
    const int32_t x = coordinate(in);
    const int32_t y = coordinate(in);
    Rect rect{};
    const bool withRect = flags & 8;
    if (withRect) {
        rect.left = coordinate(in);
        rect.top = coordinate(in);
        // Usually a rectangle inside the source, so that copies do happen.
        rect.right = (flags & 16) ? coordinate(in) : beyond(rect.left, in);
        rect.bottom = (flags & 16) ? coordinate(in) : beyond(rect.top, in);
    }

    // A tracked target (the back buffer) must flag every tile it changes.
    const bool tracked = (flags & 32) && holdsPixels(target);
    if (tracked) {
        fuzz::check(startTracking(&target.changes, target.width, target.height), "cannot track a valid surface");
        clearChanges(&target.changes);
    }
    const std::vector<uint16_t> before = target.pixels;
    std::vector<uint16_t> expected = target.pixels;
    if (flags & 64) {
        // A rectangle fill instead, clipped to the target.
        const uint16_t value = in.u16();
        if (holdsPixels(target)) {
            for (int64_t py = std::max<int64_t>(rect.top, 0); py < std::min<int64_t>(rect.bottom, target.height); ++py)
                for (int64_t px = std::max<int64_t>(rect.left, 0); px < std::min<int64_t>(rect.right, target.width);
                     ++px)
                    expected[static_cast<size_t>(py * target.width + px)] = value;
        }
        fillRect(&target, rect, value);
        fuzz::check(target.pixels == expected, "a rectangle fill changed other pixels than its clipped area");
    } else {
        const bool shouldCopy = referenceCopy(expected, target, x, y, source, withRect ? &rect : nullptr, keyed);
        const bool copied = keyed ? copyKeyed(&target, x, y, source, withRect ? &rect : nullptr)
                                  : copyOpaque(&target, x, y, source, withRect ? &rect : nullptr);
        fuzz::check(copied == shouldCopy, "the copy was made where it must be refused, or refused where it fits");
        fuzz::check(target.pixels == expected, "the copy changed other pixels than the plain copy does");
    }
    if (tracked) {
        for (size_t i = 0; i < before.size() && i < target.pixels.size(); ++i) {
            if (before[i] == target.pixels[i]) continue;
            const size_t tile =
                (i / target.width / ChangeMap::TILE) * target.changes.tilesX + (i % target.width) / ChangeMap::TILE;
            fuzz::check(target.changes.flags[tile] != 0, "a changed pixel lies in a tile not flagged as changed");
        }
    }

    fillSurface(&target, 0x1234);
    for (uint16_t p : target.pixels) fuzz::check(p == 0x1234, "a fill missed a pixel");
    return 0;
}
