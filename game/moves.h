// The move rules on a plain board: the eight directions, the grid test,
// which piece can jump, the legal jumps and playing one. Pure functions with
// no application object, sound or platform, shared by the game, the solver
// and the screen pictures.
//
// A jump goes from a piece over the piece two cells away into the empty hole
// four cells away, along a row, a column or a diagonal; the cells one and
// three steps away are passed over whatever they hold.
#pragma once

#include <array>
#include <vector>

#include "game/board.h"

namespace moves {

struct Direction {
    int dRow;
    int dCol;
};

// Tried in this order: left, right, up, down, then the four diagonals. The
// game selects and jumps in this order, so it is part of the rules.
constexpr std::array<Direction, 8> DIRECTIONS{{{0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}}};

// Steps from the start cell to the jumped cell and to the landing cell.
constexpr int JUMPED_STEPS = 2;
constexpr int LANDING_STEPS = 4;

constexpr bool onGrid(int row, int col) {
    return row >= 0 && row < BOARD_SIZE && col >= 0 && col < BOARD_SIZE;
}

// One jump in board coordinates: the piece on (fromRow, fromCol) lands on
// (toRow, toCol) and the piece halfway between is removed.
struct Jump {
    int fromRow = 0;
    int fromCol = 0;
    int toRow = 0;
    int toCol = 0;
    bool operator==(const Jump&) const = default;
};

// True when the jump from (row, col), a cell on the grid, in direction `d`
// is legal on `board`, whatever the start cell holds: the landing is on the grid (tested before
// any cell is read), the jumped cell holds a piece and the landing is an
// empty hole.
bool jumpOpen(const Board& board, int row, int col, Direction d);

// True when some direction is open from (row, col), a cell on the grid; the
// start cell itself is not looked at.
bool canJump(const Board& board, int row, int col);

// True when no piece on `board` can jump.
bool noPieceCanMove(const Board& board);

// Every legal jump of `board`, cells in row-major order, each cell's
// directions in DIRECTIONS order.
std::vector<Jump> legalJumps(const Board& board);

// Plays a legal `jump` on `board`: the start and jumped cells become empty
// holes, the landing a piece.
void applyJump(Board& board, const Jump& jump);

}  // namespace moves
