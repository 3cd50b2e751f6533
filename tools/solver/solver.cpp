#include "tools/solver/solver.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "tools/solver/lattice.h"

namespace {

struct LatticeMove {
    int from;  // lattice bit of the start cell
    int direction;
};

// Depth-first search for a sequence of jumps that leaves one piece in a group
// of holes. Every position it gives up on is remembered as dead, so no
// position (nor any turned or mirrored image of it) is expanded twice. The
// memo is a bitset indexed by the packed piece mask: a perfect hash for at
// most 2^25 positions (4 MB), far cheaper than a node-based set holding
// millions of entries.
class LatticeSearch {
public:
    explicit LatticeSearch(uint32_t holes)
        : holes_(holes),
          pack_(lattice::packing(holes)),
          symmetries_(lattice::symmetriesOf(holes)),
          dead_((std::size_t{1} << std::popcount(holes)) / 64 + 1, 0) {}

    // True when `pieces` (a subset of the holes) can be reduced to at most
    // one piece; the moves are then in `reversedPath`, last move first.
    bool reducible(uint32_t pieces) {
        if (std::popcount(pieces) <= 1) return true;
        const uint32_t key = memoKey(pieces);
        if (dead_[key / 64] >> (key % 64) & 1) return false;
        ++positions;
        const uint32_t empty = holes_ & ~pieces;
        for (std::size_t k = 0; k < lattice::DIRECTIONS.size(); ++k) {
            const int s = lattice::shiftOf(lattice::DIRECTIONS[k]);
            uint32_t movers =
                pieces & lattice::START_CELLS[k] & lattice::pullFrom(pieces, s) & lattice::pullFrom(empty, 2 * s);
            for (; movers != 0; movers &= movers - 1) {
                const int from = std::countr_zero(movers);
                const uint32_t next = pieces ^ (1u << from) ^ (1u << (from + s)) ^ (1u << (from + 2 * s));
                if (reducible(next)) {
                    reversedPath.push_back({from, static_cast<int>(k)});
                    return true;
                }
            }
        }
        dead_[key / 64] |= uint64_t{1} << (key % 64);
        return false;
    }

    std::vector<LatticeMove> reversedPath;
    uint64_t positions = 0;

private:
    // The same key for a position and all its symmetric images: the packed
    // form of the smallest image.
    uint32_t memoKey(uint32_t pieces) const {
        uint32_t smallest = pieces;
        for (const lattice::BitMap& image : symmetries_) smallest = std::min(smallest, image(pieces));
        return pack_(smallest);
    }

    uint32_t holes_;
    lattice::BitMap pack_;
    std::vector<lattice::BitMap> symmetries_;
    std::vector<uint64_t> dead_;
};

bool isHole(CellCode code) {
    return code == CELL_EMPTY || code == CELL_PIECE;
}

}  // namespace

Solution solveBoard(const Board& board) {
    // Lattice k holds the cells with row parity k / 2 and column parity k % 2.
    std::array<uint32_t, 4> holes{};
    std::array<uint32_t, 4> pieces{};
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            const CellCode code = board[cellIndex(r, c)];
            const int k = (r % 2) * 2 + c % 2;
            const uint32_t bit = 1u << ((r / 2) * lattice::SIDE + c / 2);
            if (isHole(code)) holes[k] |= bit;
            if (code == CELL_PIECE) pieces[k] |= bit;
        }
    }

    Solution solution;
    int total = 0;
    int occupied = 0;
    int k = 0;
    for (int each = 0; each < 4; ++each) {
        total += std::popcount(pieces[each]);
        if (pieces[each] != 0) {
            ++occupied;
            k = each;
        }
    }
    if (total <= 1) {
        solution.winnable = true;
        return solution;
    }
    // Every lattice that holds a piece keeps one for ever; so does every
    // group of holes within a lattice.
    if (occupied > 1) return solution;
    uint32_t group = 0;
    for (uint32_t each : lattice::splitIntoGroups(holes[k])) {
        if ((each & pieces[k]) == 0) continue;
        if ((pieces[k] & ~each) != 0) return solution;
        group = each;
    }

    LatticeSearch search(group);
    solution.winnable = search.reducible(pieces[k]);
    solution.positionsSearched = search.positions;
    const int rowParity = k / 2;
    const int colParity = k % 2;
    for (auto move = search.reversedPath.rbegin(); move != search.reversedPath.rend(); ++move) {
        const lattice::Direction d = lattice::DIRECTIONS[move->direction];
        const int row = 2 * (move->from / lattice::SIDE) + rowParity;
        const int col = 2 * (move->from % lattice::SIDE) + colParity;
        solution.jumps.push_back({row, col, row + 4 * d.dRow, col + 4 * d.dCol});
    }
    return solution;
}
