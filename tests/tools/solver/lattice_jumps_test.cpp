// The solver's fast lattice search finds exactly the jumps the game's move
// rules allow, on random boards of every kind of cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/moves.h"
#include "tests/support/test_files.h"
#include "tools/solver/lattice.h"

namespace {

bool byCells(const moves::Jump& a, const moves::Jump& b) {
    return std::tie(a.fromRow, a.fromCol, a.toRow, a.toCol) < std::tie(b.fromRow, b.fromCol, b.toRow, b.toCol);
}

TEST(LatticeJumps, AgreeWithTheMoveRulesOnRandomBoards) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (int round = 0; round < 2000; ++round) {
        // From sparse to full boards, with codes that are no holes.
        Board board{};
        const int holesIn8 = static_cast<int>(random() % 9);
        for (CellCode& code : board) {
            const unsigned roll = random() % 8;
            code = roll < static_cast<unsigned>(holesIn8) ? (random() % 2 ? CELL_PIECE : CELL_EMPTY)
                                                          : (roll == 7 ? 3 : CELL_NONE);
        }
        const lattice::SplitBoard split = lattice::splitBoard(board);
        std::vector<moves::Jump> found;
        for (int k = 0; k < 4; ++k) {
            lattice::forEachJump(split.pieces[k], split.holes[k] & ~split.pieces[k], [&](int from, int d) {
                const int row = lattice::boardRow(k, from), col = lattice::boardCol(k, from);
                found.push_back({row, col, row + 4 * moves::DIRECTIONS[d].dRow, col + 4 * moves::DIRECTIONS[d].dCol});
                return false;
            });
        }
        std::vector<moves::Jump> expected = moves::legalJumps(board);
        std::sort(found.begin(), found.end(), byCells);
        std::sort(expected.begin(), expected.end(), byCells);
        ASSERT_EQ(found, expected) << "round " << round << boardToPicture(board);
    }
}

}  // namespace
