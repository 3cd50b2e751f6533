// Shapes of levels, for the tests of the level set and the generator: the
// turns and reflections of the board, and whether the holes are one piece.
#pragma once

#include <array>

#include "game/board.h"

namespace shapes {

// The board turned or reflected by transform 0..7 (0 is the identity) about
// its centre cell.
Board transformed(const Board& board, int transform);

// The smallest of the eight images: two boards are the same up to symmetry
// exactly when their canonical forms are equal.
Board canonical(const Board& board);

// The holes (codes 1 and 2) alone, as 1s.
Board holesOf(const Board& board);

// True when the holes form one shape whose cells touch along a side or at a
// corner.
bool holesConnected(const Board& board);

int pieceCount(const Board& board);

}  // namespace shapes
