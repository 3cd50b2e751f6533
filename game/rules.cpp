// The move rules: which piece may jump, selecting and jumping by click, and
// the two end-of-game tests.
#include "app/game_app.h"
#include "game/moves.h"

namespace {

using moves::onGrid;

// The cell under a point, by the strict hit rectangle of each cell: the grid
// lines x = 175 + 50k and y = 75 + 50k belong to no cell. False when the point
// is on a line or off the grid.
bool cellUnderPoint(platform::Point point, int* row, int* col) {
    // 64 bits: a point far off the picture must not overflow.
    const int64_t dx = int64_t{point.x} - GRID_LEFT;
    const int64_t dy = int64_t{point.y} - GRID_TOP;
    if (dx <= 0 || dy <= 0) return false;
    if (dx % CELL_PITCH == 0 || dy % CELL_PITCH == 0) return false;
    const int64_t c = dx / CELL_PITCH;
    const int64_t r = dy / CELL_PITCH;
    if (c >= BOARD_SIZE || r >= BOARD_SIZE) return false;
    *row = static_cast<int>(r);
    *col = static_cast<int>(c);
    return true;
}

}  // namespace

bool GameApp::canJump(int32_t row, int32_t col) {
    return moves::canJump(board, row, col);
}

bool GameApp::noPieceCanMove() {
    return moves::noPieceCanMove(board);
}

bool GameApp::fewerThanTwoPieces() {
    int pieces = 0;
    for (CellCode code : board) {
        if (code == CELL_PIECE) ++pieces;
    }
    return pieces < 2;
}

void GameApp::handleBoardClick() {
    if (!clickPending) return;

    // The click acts on the pointer position sampled by this frame, not on
    // where the button went down.
    int row = 0;
    int col = 0;
    if (!cellUnderPoint(cursor, &row, &col)) return;
    const CellCode code = board[cellIndex(row, col)];

    if (code == CELL_PIECE) {
        // Only a piece that can jump is selectable; clicking one that cannot
        // keeps the current selection.
        if (!canJump(row, col)) return;
        pieceSelected = true;
        selectedRow = row;
        selectedCol = col;
        clickPending = false;
        return;
    }

    if (code != CELL_EMPTY || !pieceSelected) return;
    // While a piece is selected it sits on the board, since the selection is
    // set only on a piece and a jump ends it.
    if (!onGrid(selectedRow, selectedCol)) return;

    for (const moves::Direction& d : moves::DIRECTIONS) {
        if (selectedRow + moves::LANDING_STEPS * d.dRow != row || selectedCol + moves::LANDING_STEPS * d.dCol != col)
            continue;
        if (!moves::jumpOpen(board, selectedRow, selectedCol, d)) continue;

        moves::applyJump(board, {selectedRow, selectedCol, row, col});
        // The selection fields keep the start cell, now empty, so the drawing
        // raises nothing.
        pieceSelected = false;
        clickPending = false;
        if (soundOn) playSoundEffect(sfxExplode);
        return;
    }
}
