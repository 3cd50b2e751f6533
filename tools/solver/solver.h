// Deciding whether a board can be won, and how.
//
// A piece only ever moves by four cells and jumps the piece two cells away,
// so it never changes the parity of its row or its column: the board falls
// apart into four lattices (even/odd rows x even/odd columns) that never
// interact. A game ends with at most one piece only if all of its pieces
// share one lattice and that lattice can be reduced to a single piece.
#pragma once

#include <cstdint>
#include <vector>

#include "game/board.h"
#include "game/moves.h"

using moves::Jump;

struct Solution {
    bool winnable = false;
    // When winnable: the jumps, in order, that take the board down to at most
    // one piece (empty when it already holds fewer than two). Else empty.
    std::vector<Jump> jumps;
    // Distinct positions the search expanded (memo hits are not counted).
    uint64_t positionsSearched = 0;
};

// Solves `board` as the game plays it: only CELL_EMPTY and CELL_PIECE count,
// every other code is no hole. Called by the command-line solver and by
// tests; pure and re-entrant. Needs up to 4 MB of scratch memory for the
// memo of dead positions, released before it returns.
Solution solveBoard(const Board& board);
