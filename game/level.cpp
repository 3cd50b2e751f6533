// Reading the level at each new game, and drawing the holes and pieces.
#include "app/fatal_exit.h"
#include "app/game_app.h"
#include "display/draw.h"
#include "game/level_reader.h"

void GameApp::loadLevel() {
    if (readLevelFile(LEVEL_FILE, board)) return;

    // Without a level there is no game to play: the one fatal path.
    endWithMessage(*this, "Quillmara", "Level file can't be opened!");
}

void GameApp::drawBoard() {
    // Row by row, left to right: a piece reaches up and left into earlier
    // cells, and every later cell is drawn over them.
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            const CellCode code = board[cellIndex(row, col)];
            if (code != CELL_EMPTY && code != CELL_PIECE) continue;  // any other code is no hole

            const int32_t x = GRID_LEFT + CELL_PITCH * col;
            const int32_t y = GRID_TOP + CELL_PITCH * row;
            drawKeyed(*this, texButton1.get(), x, y);
            if (code == CELL_PIECE) {
                // Raised by the selection fields alone: after a jump they name
                // the cell just left, which is empty, so nothing is raised.
                const bool raised = row == selectedRow && col == selectedCol;
                drawKeyed(*this, texLamp.get(), x + PIECE_OFFSET_X,
                          y + (raised ? SELECTED_PIECE_OFFSET_Y : PIECE_OFFSET_Y));
            }
        }
    }
}
