// The solver's printed answer for the shipped level, clicked through the game
// itself on the headless backend, wins the game.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

struct PrintedJump {
    int fromRow, fromCol, toRow, toCol;
};

// Runs the solver on `level` and reads its jumps back from standard output.
std::vector<PrintedJump> solverAnswer(const std::string& level, int& exitCode) {
    const std::string command = std::string("'") + QM_SOLVER_BINARY + "' '" + level + "' >answer.txt 2>/dev/null";
    const int status = std::system(command.c_str());
    exitCode = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    std::vector<PrintedJump> jumps;
    std::istringstream in(readFile("answer.txt"));
    for (PrintedJump jump{}; in >> jump.fromRow >> jump.fromCol >> jump.toRow >> jump.toCol;) jumps.push_back(jump);
    return jumps;
}

// One click, as the player makes it: the pointer over the middle of the
// cell, the button pressed, one frame.
void clickCell(GameApp& app, int row, int col) {
    headless::setCursor(GRID_LEFT + CELL_PITCH * col + CELL_PITCH / 2, GRID_TOP + CELL_PITCH * row + CELL_PITCH / 2);
    app.clickPending = true;
    app.stepFrame();
}

TEST(SolverReplay, ClickingThePrintedJumpsWinsTheShippedLevel) {
    headless::reset();
    TempDir dir;
    standin::writeAll();
    writeFile("Tex/Level.txt", readFile(QM_SHIPPED_LEVEL));

    int exitCode = -1;
    const std::vector<PrintedJump> jumps = solverAnswer("Tex/Level.txt", exitCode);
    ASSERT_EQ(exitCode, 0);
    ASSERT_GE(jumps.size(), 15u);

    GameApp app;
    theGameApp = &app;
    std::string error;
    app.window = platform::windowCreate("Tavrin", &error);
    ASSERT_NE(app.window, nullptr) << error;
    ASSERT_EQ(app.loadAssets(), 0);
    app.state = STATE_NEW_GAME;
    app.stepFrame();  // reads the level
    app.stepFrame();  // the first playing frame runs the end-of-game tests
    ASSERT_EQ(app.state, STATE_PLAYING) << boardToPicture(app.board);

    for (size_t n = 0; n < jumps.size(); ++n) {
        const PrintedJump& jump = jumps[n];
        const std::string which = "jump " + std::to_string(n) + " from " + std::to_string(jump.fromRow) + " " +
                                  std::to_string(jump.fromCol) + " to " + std::to_string(jump.toRow) + " " +
                                  std::to_string(jump.toCol);
        ASSERT_EQ(app.state, STATE_PLAYING) << which << boardToPicture(app.board);
        clickCell(app, jump.fromRow, jump.fromCol);
        ASSERT_TRUE(app.pieceSelected) << which << ": the start piece was not selected" << boardToPicture(app.board);
        clickCell(app, jump.toRow, jump.toCol);
        ASSERT_FALSE(app.pieceSelected) << which << ": no jump was made" << boardToPicture(app.board);
        ASSERT_EQ(app.board[cellIndex(jump.toRow, jump.toCol)], CELL_PIECE) << which << boardToPicture(app.board);
    }
    EXPECT_EQ(app.state, STATE_WON) << boardToPicture(app.board);
    app.releaseAll();
    platform::windowDestroy(app.window);
    theGameApp = nullptr;
}

}  // namespace
