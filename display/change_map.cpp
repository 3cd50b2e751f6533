#include "display/change_map.h"

#include <algorithm>
#include <exception>

bool startTracking(ChangeMap* map, int32_t width, int32_t height) {
    if (map == nullptr) return false;
    *map = ChangeMap{};
    if (width <= 0 || height <= 0) return false;
    const int32_t tilesX = (width + ChangeMap::TILE - 1) / ChangeMap::TILE;
    const int32_t tilesY = (height + ChangeMap::TILE - 1) / ChangeMap::TILE;
    try {
        map->flags.assign(static_cast<size_t>(tilesX) * static_cast<size_t>(tilesY), 1);
    } catch (const std::exception&) {
        map->flags = {};
        return false;
    }
    map->tilesX = tilesX;
    map->tilesY = tilesY;
    return true;
}

void markChanged(ChangeMap* map, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (map == nullptr || !map->tracking()) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (left >= right || top >= bottom) return;
    const int32_t tx0 = left / ChangeMap::TILE;
    const int32_t ty0 = top / ChangeMap::TILE;
    const int32_t tx1 = std::min((right - 1) / ChangeMap::TILE + 1, map->tilesX);
    const int32_t ty1 = std::min((bottom - 1) / ChangeMap::TILE + 1, map->tilesY);
    for (int32_t ty = ty0; ty < ty1; ++ty) {
        uint8_t* row = map->flags.data() + static_cast<size_t>(ty) * static_cast<size_t>(map->tilesX);
        std::fill(row + tx0, row + std::max(tx0, tx1), uint8_t{1});
    }
}

void markAllChanged(ChangeMap* map) {
    if (map == nullptr) return;
    std::fill(map->flags.begin(), map->flags.end(), uint8_t{1});
}

void clearChanges(ChangeMap* map) {
    if (map == nullptr) return;
    std::fill(map->flags.begin(), map->flags.end(), uint8_t{0});
}
