#include "display/compose.h"

#include <algorithm>

namespace {

bool sameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool intersect(const Rect& a, const Rect& b, Rect* out) {
    *out = Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return out->left < out->right && out->top < out->bottom;
}

// Draws the part of `op` that falls inside `clip`.
void drawClipped(Surface* target, const DrawOp& op, const Rect& clip) {
    Rect part;
    if (!intersect(op.dest, clip, &part)) return;
    if (op.kind == DrawOp::FILL) {
        if (sameRect(part, Rect{0, 0, target->width, target->height}))
            fillSurface(target, op.value);
        else
            fillRect(target, part, op.value);
        return;
    }
    const Rect source{op.sourceRect.left + (part.left - op.dest.left), op.sourceRect.top + (part.top - op.dest.top),
                      op.sourceRect.left + (part.right - op.dest.left),
                      op.sourceRect.top + (part.bottom - op.dest.top)};
    if (op.kind == DrawOp::KEYED)
        copyKeyed(target, part.left, part.top, *op.source, &source);
    else
        copyOpaque(target, part.left, part.top, *op.source, &source);
}

void drawWhole(Surface* target, const DrawOp& op) {
    drawClipped(target, op, op.dest);
}

// The frame stops repeating the previous one at record `from`: every area
// the previous frame drew from there on gets back the pixels that this
// frame's records before `from` leave there.
void restoreFrom(Surface* target, FrameRecord& record, size_t from) {
    record.diverged = true;
    if (!record.previousValid) return;
    const size_t repeated = std::min(from, record.current.size());
    for (size_t i = from; i < record.previous.size(); ++i) {
        const Rect& area = record.previous[i].dest;
        if (area.left >= area.right || area.top >= area.bottom) continue;
        for (size_t j = 0; j < repeated; ++j) drawClipped(target, record.current[j], area);
        // What no record covers was never drawn: the target's first pixels,
        // which a frame step never relies on, as it starts with a full cover.
    }
}

void record(Surface* target, const DrawOp& op) {
    FrameRecord& r = target->record;
    if (!r.composing) {
        // Drawn outside a frame: the target no longer holds the last frame.
        r.previousValid = false;
        drawWhole(target, op);
        return;
    }
    const size_t at = r.current.size();
    if (!r.diverged) {
        if (r.previousValid && r.repeatable && at < r.previous.size() && r.previous[at] == op) {
            r.current.push_back(op);
            return;
        }
        restoreFrom(target, r, at);
    }
    drawWhole(target, op);
    r.current.push_back(op);
}

}  // namespace

bool DrawOp::operator==(const DrawOp& other) const {
    return kind == other.kind && source == other.source && serial == other.serial && keyed == other.keyed &&
           value == other.value && sameRect(sourceRect, other.sourceRect) && sameRect(dest, other.dest);
}

void beginFrame(Surface* target) {
    if (target == nullptr) return;
    FrameRecord& r = target->record;
    if (r.writesAtEnd != target->writeCount) r.previousValid = false;
    r.composing = true;
    r.diverged = !r.previousValid;
    r.repeatable = true;
    r.current.clear();
}

void endFrame(Surface* target) {
    if (target == nullptr || !target->record.composing) return;
    FrameRecord& r = target->record;
    if (!r.diverged) restoreFrom(target, r, r.current.size());
    r.previous.swap(r.current);
    r.current.clear();
    r.previousValid = r.repeatable;
    r.composing = false;
    r.writesAtEnd = target->writeCount;
}

void composeFill(Surface* target, uint16_t value) {
    if (target == nullptr) return;
    FrameRecord& r = target->record;
    if (!r.composing) {
        r.previousValid = false;
        fillSurface(target, value);
        return;
    }
    DrawOp op;
    op.kind = DrawOp::FILL;
    op.value = value;
    op.dest = Rect{0, 0, target->width, target->height};
    record(target, op);
}

void composeCopy(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect, bool keyed) {
    if (target == nullptr) return;
    DrawOp op;
    op.kind = keyed ? DrawOp::KEYED : DrawOp::OPAQUE;
    op.source = &source;
    op.serial = source.serial;
    op.keyed = keyed && source.hasColorKey;
    op.value = op.keyed ? source.colorKey : 0;
    // A copy of the target onto itself reads what it writes: drawing it again
    // is not a no-op, so such a frame is never repeated by skipping.
    if (&source == target) target->record.repeatable = false;
    if (!copyDestination(target, x, y, source, sourceRect, &op.sourceRect, &op.dest)) {
        // Refused: draws nothing, but stays in the record so that the frames
        // still line up draw for draw.
        op.sourceRect = Rect{x, y, x, y};
        op.dest = Rect{0, 0, 0, 0};
        if (!target->record.composing) return;
    }
    record(target, op);
}
