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
        const bool won = lattice::forEachJump(pieces, holes_ & ~pieces, [&](int from, int k) {
            if (!reducible(lattice::afterJump(pieces, from, k))) return false;
            reversedPath.push_back({from, k});
            return true;
        });
        if (!won) dead_[key / 64] |= uint64_t{1} << (key % 64);
        return won;
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

}  // namespace

Solution solveBoard(const Board& board) {
    const lattice::SplitBoard split = lattice::splitBoard(board);
    const std::array<uint32_t, 4>& holes = split.holes;
    const std::array<uint32_t, 4>& pieces = split.pieces;

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
    for (auto move = search.reversedPath.rbegin(); move != search.reversedPath.rend(); ++move) {
        const lattice::Direction d = lattice::DIRECTIONS[move->direction];
        const int row = lattice::boardRow(k, move->from);
        const int col = lattice::boardCol(k, move->from);
        solution.jumps.push_back({row, col, row + moves::LANDING_STEPS * d.dRow, col + moves::LANDING_STEPS * d.dCol});
    }
    return solution;
}
