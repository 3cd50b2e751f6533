// The drawing acts of the frame being composed and of the one before it,
// kept by the back buffer so that a frame which repeats its predecessor
// costs a comparison of a dozen records instead of a million pixel writes
// (see display/compose.h).
#pragma once

#include <cstdint>
#include <vector>

#include "display/rect.h"

struct Surface;

// One fill or copy onto the back buffer, with everything that decides the
// pixels it leaves. The source is identified by address and serial: images
// never change their pixels once loaded (a reload makes new surfaces with
// new serials), so equal records draw equal pixels.
struct DrawOp {
    enum Kind : uint8_t { FILL, OPAQUE, KEYED };
    Kind kind = FILL;
    const Surface* source = nullptr;  // not owned; null for a fill
    uint64_t serial = 0;
    bool keyed = false;  // KEYED with a source that has a key
    uint16_t value = 0;  // the fill value, or the source's key
    Rect sourceRect{};   // resolved (the whole image when none was given)
    Rect dest{};         // pixels written on the target; empty when the copy was refused

    bool operator==(const DrawOp& other) const;
};

struct FrameRecord {
    std::vector<DrawOp> previous;  // the last finished frame; the target holds its result
    std::vector<DrawOp> current;   // the frame being composed
    bool previousValid = false;    // false: the target's pixels are not known to match `previous`
    bool composing = false;        // between beginFrame and endFrame
    bool diverged = false;         // this frame stopped repeating the previous one
    bool repeatable = true;        // false after a copy of the target onto itself
    uint64_t writesAtEnd = 0;      // the target's write count when `previous` was finished
};
