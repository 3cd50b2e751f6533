// The move rules: which piece may jump, selecting and jumping by click, and
// the two end-of-game tests.
#include "app/game_app.h"

namespace {

struct Direction {
    int dRow;
    int dCol;
};

// Tried in this order: left, right, up, down, then the four diagonals.
constexpr Direction DIRECTIONS[8] = {
    {0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1},
};

// A jump passes over the cell two steps away and lands four steps away; the
// cells one and three steps away are passed over whatever they hold.
constexpr int JUMPED_STEPS = 2;
constexpr int LANDING_STEPS = 4;

bool onGrid(int row, int col) {
    return row >= 0 && row < BOARD_SIZE && col >= 0 && col < BOARD_SIZE;
}

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
    for (const Direction& d : DIRECTIONS) {
        const int landRow = row + LANDING_STEPS * d.dRow;
        const int landCol = col + LANDING_STEPS * d.dCol;
        // The grid test comes first, so no cell outside the 81 is ever read.
        if (!onGrid(landRow, landCol)) continue;
        const int overRow = row + JUMPED_STEPS * d.dRow;
        const int overCol = col + JUMPED_STEPS * d.dCol;
        if (board[cellIndex(overRow, overCol)] == CELL_PIECE && board[cellIndex(landRow, landCol)] == CELL_EMPTY) {
            return true;
        }
    }
    return false;
}

bool GameApp::noPieceCanMove() {
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            if (board[cellIndex(row, col)] == CELL_PIECE && canJump(row, col)) return false;
        }
    }
    return true;
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

    for (const Direction& d : DIRECTIONS) {
        if (selectedRow + LANDING_STEPS * d.dRow != row || selectedCol + LANDING_STEPS * d.dCol != col) continue;
        CellCode& jumped = board[cellIndex(selectedRow + JUMPED_STEPS * d.dRow, selectedCol + JUMPED_STEPS * d.dCol)];
        if (jumped != CELL_PIECE) continue;

        board[cellIndex(selectedRow, selectedCol)] = CELL_EMPTY;
        jumped = CELL_EMPTY;
        board[cellIndex(row, col)] = CELL_PIECE;
        // The selection fields keep the start cell, now empty, so the drawing
        // raises nothing.
        pieceSelected = false;
        clickPending = false;
        if (soundOn) playSoundEffect(sfxExplode);
        return;
    }
}
