#include "platform/sdl/change_tracker.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace sdlbackend {
namespace {

constexpr int32_t W = platform::PICTURE_WIDTH;
constexpr int32_t H = platform::PICTURE_HEIGHT;
constexpr int32_t T = ChangeTracker::TILE;
constexpr int32_t TILES_X = (W + T - 1) / T;
constexpr int32_t TILES_Y = (H + T - 1) / T;

}  // namespace

ChangeTracker::ChangeTracker(uint16_t* shadowStorage)
    : ownShadow_(shadowStorage != nullptr ? 0 : static_cast<size_t>(platform::PICTURE_PIXELS)),
      shadow_(shadowStorage != nullptr ? shadowStorage : ownShadow_.data()),
      dirty_(static_cast<size_t>(TILES_X * TILES_Y)) {
    rects_.reserve(MAX_RECTS + 1);
}

static_assert(ChangeTracker::TILE == platform::PRESENT_TILE && TILES_X == platform::PRESENT_TILES_X &&
                  TILES_Y == platform::PRESENT_TILES_Y,
              "the game's change hints use the tracker's tiles");

// One picture row against the shadow: a whole-row compare first, then tile
// by tile, copying the tiles that differ. True when any did.
bool ChangeTracker::compareRow(const uint16_t* src, uint16_t* dst, int32_t y) {
    if (std::memcmp(src, dst, W * sizeof(uint16_t)) == 0) return false;
    uint8_t* dirtyRow = dirty_.data() + static_cast<size_t>(y / T) * TILES_X;
    for (int32_t tx = 0; tx < TILES_X; ++tx) {
        int32_t x0 = tx * T;
        size_t bytes = static_cast<size_t>(std::min(T, W - x0)) * sizeof(uint16_t);
        if (std::memcmp(src + x0, dst + x0, bytes) != 0) {
            dirtyRow[tx] = 1;
            std::memcpy(dst + x0, src + x0, bytes);
        }
    }
    return true;
}

// As compareRow, but only over runs of hinted tiles.
bool ChangeTracker::compareHintedRow(const uint16_t* src, uint16_t* dst, int32_t y, const uint8_t* hintRow) {
    uint8_t* dirtyRow = dirty_.data() + static_cast<size_t>(y / T) * TILES_X;
    bool any = false;
    for (int32_t tx = 0; tx < TILES_X;) {
        if (hintRow[tx] == 0) {
            ++tx;
            continue;
        }
        int32_t runEnd = tx;
        while (runEnd < TILES_X && hintRow[runEnd] != 0) ++runEnd;
        const int32_t x0 = tx * T;
        const int32_t x1 = std::min(runEnd * T, W);
        if (std::memcmp(src + x0, dst + x0, static_cast<size_t>(x1 - x0) * sizeof(uint16_t)) != 0) {
            for (int32_t t = tx; t < runEnd; ++t) {
                const int32_t left = t * T;
                const size_t bytes = static_cast<size_t>(std::min(T, W - left)) * sizeof(uint16_t);
                if (std::memcmp(src + left, dst + left, bytes) != 0) {
                    dirtyRow[t] = 1;
                    std::memcpy(dst + left, src + left, bytes);
                }
            }
            any = true;
        }
        tx = runEnd;
    }
    return any;
}

const std::vector<PictureRect>& ChangeTracker::update(const uint16_t* picture, const uint8_t* hints) {
    rects_.clear();
    if (!valid_) {
        if (picture != shadow_)
            std::memcpy(shadow_, picture, static_cast<size_t>(platform::PICTURE_PIXELS) * sizeof(uint16_t));
        valid_ = true;
        rects_.push_back({0, 0, W, H});
        return rects_;
    }
    std::fill(dirty_.begin(), dirty_.end(), 0);
    bool any = false;
    for (int32_t ty = 0; ty < TILES_Y; ++ty) {
        const uint8_t* hintRow = hints != nullptr ? hints + static_cast<size_t>(ty) * TILES_X : nullptr;
        if (hintRow != nullptr && std::all_of(hintRow, hintRow + TILES_X, [](uint8_t f) { return f == 0; })) continue;
        const bool wholeRows =
            hintRow == nullptr || std::all_of(hintRow, hintRow + TILES_X, [](uint8_t f) { return f != 0; });
        for (int32_t y = ty * T; y < std::min((ty + 1) * T, H); ++y) {
            const uint16_t* src = picture + static_cast<size_t>(y) * W;
            uint16_t* dst = shadow_ + static_cast<size_t>(y) * W;
            any |= wholeRows ? compareRow(src, dst, y) : compareHintedRow(src, dst, y, hintRow);
        }
    }
    if (any) mergeDirtyTiles();
    return rects_;
}

// Runs of dirty tiles along each tile row become rectangles; a run that spans
// exactly the columns of a rectangle ending just above it extends that one
// downwards instead. Too many pieces become one bounding rectangle, which is
// cheaper to push than dozens of scattered small ones.
void ChangeTracker::mergeDirtyTiles() {
    size_t openFrom = 0;  // rectangles of the previous tile row start here
    for (int32_t ty = 0; ty < TILES_Y; ++ty) {
        const uint8_t* dirtyRow = dirty_.data() + static_cast<size_t>(ty) * TILES_X;
        int32_t top = ty * T;
        int32_t bottom = std::min(top + T, H);
        size_t rowStart = rects_.size();
        for (int32_t tx = 0; tx < TILES_X;) {
            if (!dirtyRow[tx]) {
                ++tx;
                continue;
            }
            int32_t runEnd = tx;
            while (runEnd < TILES_X && dirtyRow[runEnd]) ++runEnd;
            int32_t left = tx * T;
            int32_t right = std::min(runEnd * T, W);
            bool extended = false;
            for (size_t i = openFrom; i < rowStart; ++i) {
                PictureRect& r = rects_[i];
                if (r.left == left && r.right == right && r.bottom == top) {
                    r.bottom = bottom;
                    // Keep it open for the next tile row by moving it into this row's range.
                    std::swap(r, rects_[rowStart - 1]);
                    --rowStart;
                    extended = true;
                    break;
                }
            }
            if (!extended) rects_.push_back({left, top, right, bottom});
            tx = runEnd;
        }
        openFrom = rowStart;
    }
    if (rects_.size() > MAX_RECTS) {
        PictureRect box{W, H, 0, 0};
        for (const PictureRect& r : rects_) {
            box.left = std::min(box.left, r.left);
            box.top = std::min(box.top, r.top);
            box.right = std::max(box.right, r.right);
            box.bottom = std::max(box.bottom, r.bottom);
        }
        rects_.assign(1, box);
    }
}

}  // namespace sdlbackend
