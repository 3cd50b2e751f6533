#include "tools/solver/lattice.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <numeric>
#include <utility>

namespace lattice {

namespace {

constexpr uint32_t startCells(Direction d) {
    uint32_t mask = 0;
    for (int i = 0; i < SIDE; ++i) {
        for (int j = 0; j < SIDE; ++j) {
            const int landRow = i + 2 * d.dRow;
            const int landCol = j + 2 * d.dCol;
            if (landRow >= 0 && landRow < SIDE && landCol >= 0 && landCol < SIDE) mask |= 1u << (i * SIDE + j);
        }
    }
    return mask;
}

int findRoot(std::array<int, CELLS>& parent, int cell) {
    while (parent[cell] != cell) cell = parent[cell] = parent[parent[cell]];
    return cell;
}

}  // namespace

const std::array<uint32_t, 8> START_CELLS = [] {
    std::array<uint32_t, 8> masks{};
    for (std::size_t k = 0; k < DIRECTIONS.size(); ++k) masks[k] = startCells(DIRECTIONS[k]);
    return masks;
}();

SplitBoard splitBoard(const Board& board) {
    SplitBoard split;
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            const CellCode code = board[cellIndex(r, c)];
            const int k = (r % 2) * 2 + c % 2;
            const uint32_t bit = 1u << ((r / 2) * SIDE + c / 2);
            if (code == CELL_EMPTY || code == CELL_PIECE) split.holes[k] |= bit;
            if (code == CELL_PIECE) split.pieces[k] |= bit;
        }
    }
    return split;
}

std::vector<uint32_t> splitIntoGroups(uint32_t holes) {
    std::array<int, CELLS> parent{};
    std::iota(parent.begin(), parent.end(), 0);
    for (std::size_t k = 0; k < DIRECTIONS.size(); ++k) {
        const int s = shiftOf(DIRECTIONS[k]);
        uint32_t starts = holes & START_CELLS[k] & pullFrom(holes, s) & pullFrom(holes, 2 * s);
        for (; starts != 0; starts &= starts - 1) {
            const int from = std::countr_zero(starts);
            const int root = findRoot(parent, from);
            parent[findRoot(parent, from + s)] = root;
            parent[findRoot(parent, from + 2 * s)] = root;
        }
    }
    std::array<uint32_t, CELLS> groupOf{};
    for (uint32_t rest = holes; rest != 0; rest &= rest - 1) {
        const int cell = std::countr_zero(rest);
        groupOf[findRoot(parent, cell)] |= 1u << cell;
    }
    std::vector<uint32_t> groups;
    for (uint32_t group : groupOf) {
        if (group != 0) groups.push_back(group);
    }
    return groups;
}

BitMap::BitMap(const std::array<int, CELLS>& target) {
    auto fill = [&](auto& table, int firstBit, int width) {
        for (uint32_t value = 0; value < (1u << width); ++value) {
            uint32_t out = 0;
            for (int t = 0; t < width; ++t) {
                const int to = target[firstBit + t];
                if ((value >> t & 1) && to >= 0) out |= 1u << to;
            }
            table[value] = out;
        }
    };
    fill(low_, 0, 9);
    fill(middle_, 9, 8);
    fill(high_, 17, 8);
}

BitMap packing(uint32_t holes) {
    std::array<int, CELLS> target{};
    int next = 0;
    for (int cell = 0; cell < CELLS; ++cell) target[cell] = (holes >> cell & 1) ? next++ : -1;
    return BitMap(target);
}

std::vector<BitMap> symmetriesOf(uint32_t holes) {
    std::vector<BitMap> maps;
    if (holes == 0) return maps;
    // The turns and reflections of the bounding box of the holes; a hole set
    // can only be symmetric about its own box.
    int top = SIDE, bottom = -1, left = SIDE, right = -1;
    for (uint32_t rest = holes; rest != 0; rest &= rest - 1) {
        const int cell = std::countr_zero(rest);
        top = std::min(top, cell / SIDE);
        bottom = std::max(bottom, cell / SIDE);
        left = std::min(left, cell % SIDE);
        right = std::max(right, cell % SIDE);
    }
    const int height = bottom - top;
    const int width = right - left;
    for (int transform = 1; transform < 8; ++transform) {
        const bool transpose = transform & 4;
        if (transpose && height != width) continue;
        std::array<int, CELLS> target{};
        target.fill(-1);
        uint32_t image = 0;
        for (uint32_t rest = holes; rest != 0; rest &= rest - 1) {
            const int cell = std::countr_zero(rest);
            int a = cell / SIDE - top;
            int b = cell % SIDE - left;
            if (transform & 1) a = height - a;
            if (transform & 2) b = width - b;
            if (transpose) std::swap(a, b);
            target[cell] = (a + top) * SIDE + (b + left);
            image |= 1u << target[cell];
        }
        if (image == holes) maps.emplace_back(target);
    }
    return maps;
}

}  // namespace lattice
