// Where a surface may have changed since someone last looked: one flag per
// 16x16 tile. The back buffer keeps one so that presenting a frame compares
// only the tiles that drawing touched with a different result, instead of
// the whole 800x600 picture. Flags may over-report (a tile written twice
// and back to its old pixels stays flagged) but never under-report.
#pragma once

#include <cstdint>
#include <vector>

struct ChangeMap {
    static constexpr int32_t TILE = 16;  // tile edge in pixels; the presenter's tiles are the same

    int32_t tilesX = 0;
    int32_t tilesY = 0;
    std::vector<uint8_t> flags;  // tilesX * tilesY, row-major; 1 = may have changed

    bool tracking() const { return !flags.empty(); }
};

// Sizes `map` for a width x height surface with every tile flagged (a new
// surface's pixels are news to whoever looks first). False, with the map
// left empty (not tracking), when the memory cannot be had or the size is
// not positive. Called by initDisplay for the back buffer.
bool startTracking(ChangeMap* map, int32_t width, int32_t height);

// Flags every tile that meets the pixel rectangle [left, right) x [top,
// bottom); the rectangle is clipped to the map. Does nothing when the map is
// not tracking. Called by the surface fills and copies.
void markChanged(ChangeMap* map, int32_t left, int32_t top, int32_t right, int32_t bottom);

// Flags every tile (after a fill, or when the previous look was lost).
void markAllChanged(ChangeMap* map);

// Clears every flag: called once the presenter has been handed the flags.
void clearChanges(ChangeMap* map);
