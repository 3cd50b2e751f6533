// Geometry of one lattice: the cells of the board that share a row parity
// and a column parity, in which a jump goes over the neighbouring cell into
// the cell two steps away, in eight directions.
//
// A lattice is laid out 5 x 5 whatever its size (5 or 4 rows, 5 or 4
// columns): lattice cell (i, j) is bit i * 5 + j of a mask. Cells of the
// square that fall off the board are simply never holes. Used by the solver
// only.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/moves.h"

namespace lattice {

constexpr int SIDE = 5;
constexpr int CELLS = SIDE * SIDE;
constexpr uint32_t ALL_CELLS = (1u << CELLS) - 1;

// The game's directions, in the game's order; one lattice step is two board
// cells, so a jump goes over one lattice cell into the next.
using moves::Direction;
using moves::DIRECTIONS;

// How far a bit moves in the mask for one step in direction d.
constexpr int shiftOf(Direction d) {
    return d.dRow * SIDE + d.dCol;
}

// Bit b of the result is bit b + s of x, for s of either sign.
constexpr uint32_t pullFrom(uint32_t x, int s) {
    return s >= 0 ? x >> s : x << -s;
}

// For each direction, the start cells whose jumped and landing cells stay
// inside the square; masking with it keeps a shifted mask from wrapping
// round from one row into the next.
extern const std::array<uint32_t, 8> START_CELLS;

// Splits `holes` into groups that can never exchange a piece: two holes are
// in one group when some jump (start, jumped, landing all holes) touches
// both. A piece stays in its group for ever, so pieces in two groups can
// never come down to one. Returns the non-empty groups.
std::vector<uint32_t> splitIntoGroups(uint32_t holes);

// Moves the bits of a mask to other places, through three table look-ups
// instead of a loop over 25 bits: bit b of the input becomes bit target[b]
// of the output, or is dropped when target[b] is negative.
class BitMap {
public:
    explicit BitMap(const std::array<int, CELLS>& target);
    uint32_t operator()(uint32_t mask) const {
        return low_[mask & 0x1FF] | middle_[(mask >> 9) & 0xFF] | high_[(mask >> 17) & 0xFF];
    }

private:
    std::array<uint32_t, 512> low_{};     // bits 0..8
    std::array<uint32_t, 256> middle_{};  // bits 9..16
    std::array<uint32_t, 256> high_{};    // bits 17..24
};

// Packs the holes of `holes` into the low bits, in order: a mask of pieces
// on those holes becomes a number below 2^popcount(holes).
BitMap packing(uint32_t holes);

// The turns and reflections of the square that map `holes` onto itself,
// identity excluded, as maps of piece masks. Rotations and reflections keep
// every jump a jump, so two positions that are images of each other are
// both winnable or both not.
std::vector<BitMap> symmetriesOf(uint32_t holes);

}  // namespace lattice
