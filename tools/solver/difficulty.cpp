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

struct LatticeBoard {
    uint32_t holes = 0;
    uint32_t pieces = 0;
    int latticesWithPieces = 0;
};

// The pieces and holes of the lattice that holds the pieces. A board whose
// pieces lie on two lattices can never come down to one piece.
LatticeBoard onLattice(const Board& board) {
    std::array<uint32_t, 4> holes{}, pieces{};
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            const CellCode code = board[cellIndex(r, c)];
            const int k = (r % 2) * 2 + c % 2;
            const uint32_t bit = 1u << ((r / 2) * lattice::SIDE + c / 2);
            if (code == CELL_EMPTY || code == CELL_PIECE) holes[k] |= bit;
            if (code == CELL_PIECE) pieces[k] |= bit;
        }
    }
    LatticeBoard result;
    for (int k = 0; k < 4; ++k) {
        if (pieces[k] == 0) continue;
        ++result.latticesWithPieces;
        result.holes = holes[k];
        result.pieces = pieces[k];
    }
    return result;
}

// One game of uniformly random jumps on one lattice; true when it ends with
// at most one piece.
bool randomPlayout(uint32_t holes, uint32_t pieces, RandomSource& random) {
    std::array<uint8_t, lattice::CELLS * 8> froms{}, directions{};
    for (;;) {
        const uint32_t empty = holes & ~pieces;
        uint32_t count = 0;
        for (std::size_t k = 0; k < lattice::DIRECTIONS.size(); ++k) {
            const int s = lattice::shiftOf(lattice::DIRECTIONS[k]);
            for (uint32_t movers =
                     pieces & lattice::START_CELLS[k] & lattice::pullFrom(pieces, s) & lattice::pullFrom(empty, 2 * s);
                 movers != 0; movers &= movers - 1) {
                froms[count] = static_cast<uint8_t>(std::countr_zero(movers));
                directions[count++] = static_cast<uint8_t>(k);
            }
        }
        if (count == 0) return std::popcount(pieces) <= 1;
        const uint32_t pick = random.below(count);
        const int from = froms[pick];
        const int s = lattice::shiftOf(lattice::DIRECTIONS[directions[pick]]);
        pieces ^= (1u << from) | (1u << (from + s)) | (1u << (from + 2 * s));
    }
}

}  // namespace

Difficulty measureDifficulty(const Board& board) {
    Difficulty result;
    result.pieces = static_cast<int>(std::count(board.begin(), board.end(), CELL_PIECE));
    result.winnable = solveBoard(board).winnable;

    const LatticeBoard lat = onLattice(board);
    if (lat.latticesWithPieces <= 1) {
        RandomSource random(PLAYOUT_SEED);
        for (int i = 0; i < PLAYOUTS; ++i) result.winningPlayouts += randomPlayout(lat.holes, lat.pieces, random);
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
