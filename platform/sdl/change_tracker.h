// Finds what changed between the picture on screen and the next one.
//
// The tracker keeps a shadow copy of the picture on screen. Each update
// compares the new picture with it in one pass, row by row (a whole-row
// compare first, so unchanged rows cost one memcmp), marks the tiles that
// differ, copies the new pixels into the shadow and hands back the dirty
// tiles merged into a few rectangles. When the game says which tiles it may
// have changed, only those are compared. Pure code, no SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sdlbackend {

// A rectangle of picture pixels: left/top inclusive, right/bottom exclusive.
struct PictureRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

class ChangeTracker {
public:
    static constexpr int32_t TILE = 16;      // tile edge in picture pixels
    static constexpr size_t MAX_RECTS = 48;  // more than this: one bounding rectangle

    // Keeps the shadow (800x600) in `shadowStorage` when given (not owned; it
    // must outlive the tracker), else allocates it (may throw std::bad_alloc).
    // The display keeps its last presented picture that way without a second
    // copy per frame. A new tracker knows nothing of the screen: its first
    // update reports the whole picture.
    explicit ChangeTracker(uint16_t* shadowStorage = nullptr);

    // Forget what is on screen: the next update reports the whole picture.
    // Called after the target was rebuilt (new surface, new size).
    void invalidate() { valid_ = false; }

    // Compares `picture` (800x600 RGB565, pitch 800) with the shadow, takes it
    // into the shadow and returns the changed areas: none when nothing
    // changed, the whole picture after invalidate(). The rectangles never
    // overlap and lie inside the picture. The returned list is the tracker's
    // own and stays valid until the next update.
    //
    // `hints` (platform::PRESENT_TILES_X * PRESENT_TILES_Y flags, may be null)
    // limits the compare to the flagged tiles: the caller promises that the
    // picture equals the shadow everywhere else. Null compares everything.
    const std::vector<PictureRect>& update(const uint16_t* picture, const uint8_t* hints = nullptr);

    // The picture as the tracker last saw it.
    const uint16_t* shadow() const { return shadow_; }

private:
    bool compareRow(const uint16_t* src, uint16_t* dst, int32_t y);
    bool compareHintedRow(const uint16_t* src, uint16_t* dst, int32_t y, const uint8_t* hintRow);
    void mergeDirtyTiles();

    std::vector<uint16_t> ownShadow_;  // empty when the storage was given
    uint16_t* shadow_;
    std::vector<uint8_t> dirty_;  // one flag per tile, row-major
    std::vector<PictureRect> rects_;
    bool valid_ = false;
};

}  // namespace sdlbackend
