#include "game/moves.h"

#include <cassert>

namespace moves {

bool jumpOpen(const Board& board, int row, int col, Direction d) {
    const int landRow = row + LANDING_STEPS * d.dRow;
    const int landCol = col + LANDING_STEPS * d.dCol;
    // The grid test comes first, so no cell outside the 81 is ever read.
    if (!onGrid(landRow, landCol)) return false;
    const int overRow = row + JUMPED_STEPS * d.dRow;
    const int overCol = col + JUMPED_STEPS * d.dCol;
    return board[cellIndex(overRow, overCol)] == CELL_PIECE && board[cellIndex(landRow, landCol)] == CELL_EMPTY;
}

bool canJump(const Board& board, int row, int col) {
    for (const Direction& d : DIRECTIONS) {
        if (jumpOpen(board, row, col, d)) return true;
    }
    return false;
}

bool noPieceCanMove(const Board& board) {
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            if (board[cellIndex(row, col)] == CELL_PIECE && canJump(board, row, col)) return false;
        }
    }
    return true;
}

std::vector<Jump> legalJumps(const Board& board) {
    std::vector<Jump> jumps;
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            if (board[cellIndex(row, col)] != CELL_PIECE) continue;
            for (const Direction& d : DIRECTIONS) {
                if (jumpOpen(board, row, col, d))
                    jumps.push_back({row, col, row + LANDING_STEPS * d.dRow, col + LANDING_STEPS * d.dCol});
            }
        }
    }
    return jumps;
}

void applyJump(Board& board, const Jump& jump) {
    assert(onGrid(jump.fromRow, jump.fromCol) && onGrid(jump.toRow, jump.toCol));
    const int overRow = (jump.fromRow + jump.toRow) / 2;
    const int overCol = (jump.fromCol + jump.toCol) / 2;
    board[cellIndex(jump.fromRow, jump.fromCol)] = CELL_EMPTY;
    board[cellIndex(overRow, overCol)] = CELL_EMPTY;
    board[cellIndex(jump.toRow, jump.toCol)] = CELL_PIECE;
}

}  // namespace moves
