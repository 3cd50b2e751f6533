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
#include <bit>
#include <cstddef>
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

// Calls visit(from, k) for every jump of `pieces` into `empty` (masks of
// one lattice): the piece on bit `from` jumps in DIRECTIONS[k]. Directions
// in order, start cells from bit 0 up within each; stops and returns true
// as soon as visit returns true.
template <class Visit>
bool forEachJump(uint32_t pieces, uint32_t empty, Visit&& visit) {
    for (std::size_t k = 0; k < DIRECTIONS.size(); ++k) {
        const int s = shiftOf(DIRECTIONS[k]);
        for (uint32_t movers = pieces & START_CELLS[k] & pullFrom(pieces, s) & pullFrom(empty, 2 * s); movers != 0;
             movers &= movers - 1) {
            if (visit(std::countr_zero(movers), static_cast<int>(k))) return true;
        }
    }
    return false;
}

// The pieces after the jump from bit `from` in DIRECTIONS[k].
inline uint32_t afterJump(uint32_t pieces, int from, int k) {
    const int s = shiftOf(DIRECTIONS[k]);
    return pieces ^ (1u << from) ^ (1u << (from + s)) ^ (1u << (from + 2 * s));
}

// A board split into its four lattices: lattice k holds the cells with row
// parity k / 2 and column parity k % 2, board cell (r, c) being bit
// (r / 2) * SIDE + c / 2 of lattice (r % 2) * 2 + c % 2. Only CELL_EMPTY and
// CELL_PIECE are holes.
struct SplitBoard {
    std::array<uint32_t, 4> holes{};
    std::array<uint32_t, 4> pieces{};
};
SplitBoard splitBoard(const Board& board);

// The board cell of bit `bit` of lattice k.
inline int boardRow(int k, int bit) {
    return 2 * (bit / SIDE) + k / 2;
}
inline int boardCol(int k, int bit) {
    return 2 * (bit % SIDE) + k % 2;
}

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
