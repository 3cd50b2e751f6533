#include "tools/solver/difficulty.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>

#include "game/moves.h"
#include "tools/solver/lattice.h"
#include "tools/solver/random_source.h"
#include "tools/solver/solver.h"

namespace {

// One game of uniformly random jumps on one lattice; true when it ends with
// at most one piece.
bool randomPlayout(uint32_t holes, uint32_t pieces, RandomSource& random) {
    struct Move {
        int from, k;
    };
    std::array<Move, lattice::CELLS * 8> found{};
    for (;;) {
        uint32_t count = 0;
        lattice::forEachJump(pieces, holes & ~pieces, [&](int from, int k) {
            found[count++] = {from, k};
            return false;
        });
        if (count == 0) return std::popcount(pieces) <= 1;
        const Move& pick = found[random.below(count)];
        pieces = lattice::afterJump(pieces, pick.from, pick.k);
    }
}

}  // namespace

Difficulty measureDifficulty(const Board& board) {
    Difficulty result;
    result.pieces = static_cast<int>(std::count(board.begin(), board.end(), CELL_PIECE));
    result.winnable = solveBoard(board).winnable;

    // Pieces on two lattices never come down to one: every playout loses.
    const lattice::SplitBoard split = lattice::splitBoard(board);
    int occupied = 0, k = 0;
    for (int each = 0; each < 4; ++each) {
        if (split.pieces[each] == 0) continue;
        ++occupied;
        k = each;
    }
    if (occupied <= 1) {
        RandomSource random(PLAYOUT_SEED);
        for (int i = 0; i < PLAYOUTS; ++i)
            result.winningPlayouts += randomPlayout(split.holes[k], split.pieces[k], random);
    }

    for (const moves::Jump& jump : moves::legalJumps(board)) {
        Board next = board;
        moves::applyJump(next, jump);
        ++result.firstJumps;
        if (solveBoard(next).winnable) ++result.winningFirstJumps;
    }
    return result;
}

void sortEasyFirst(std::vector<RankedLevel>& levels) {
    std::sort(levels.begin(), levels.end(), [](const RankedLevel& a, const RankedLevel& b) {
        if (a.difficulty.winningPlayouts != b.difficulty.winningPlayouts)
            return a.difficulty.winningPlayouts > b.difficulty.winningPlayouts;
        if (a.difficulty.winningFirstJumps != b.difficulty.winningFirstJumps)
            return a.difficulty.winningFirstJumps < b.difficulty.winningFirstJumps;
        return a.name < b.name;
    });
}

std::string shareText(const Difficulty& difficulty) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", difficulty.share());
    return text;
}
