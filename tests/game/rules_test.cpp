// The move rules: legal jumps, selecting and jumping by click, the hit
// areas of the cells, and the two end-of-game tests.
#include <gtest/gtest.h>

#include <string>

#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

struct Cell {
    int row;
    int col;
};

// A board whose only holes are in row 4, given as a picture row.
Board middleRowBoard(const std::string& row) {
    const std::string none = ". . . . . . . . .\n";
    return boardFromPicture(none + none + none + none + row + "\n" + none + none + none + none);
}

class Rules : public testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        // As a new game leaves it: nothing selected, no click waiting.
        app.pieceSelected = false;
        app.selectedRow = -1;
        app.selectedCol = -1;
        app.clickPending = false;
    }

    void setBoard(const char* picture) { app.board = boardFromPicture(picture); }

    // A click in the middle of a cell, handled as the play frame does.
    void click(Cell cell) { clickAt(200 + 50 * cell.col, 100 + 50 * cell.row); }
    void clickAt(int32_t x, int32_t y) {
        app.cursor = {x, y};
        app.clickPending = true;
        app.handleBoardClick();
    }

    CellCode at(Cell cell) const { return app.board[cellIndex(cell.row, cell.col)]; }
    std::string shown() const { return boardToPicture(app.board); }

    GameApp app;
};

// Centre piece with pieces two steps away in all eight directions, holes four
// steps away, and odd content one and three steps away that a jump ignores.
constexpr const char* STAR =
    "o . . . o . . . o\n"
    ". 3 . . x . . 3 .\n"
    ". . x . x . x . .\n"
    ". . . -1 . . . . .\n"
    "o x x . x . x x o\n"
    ". . . . . 3 . . .\n"
    ". . x . x . x . .\n"
    ". o . . -1 . . x .\n"
    "o . . . o . . . o\n";

struct DirectionCase {
    const char* name;
    Cell landing;
    Cell jumped;
    Cell oneStep;
    Cell threeSteps;
};

class EveryDirection : public Rules, public testing::WithParamInterface<DirectionCase> {};

TEST_P(EveryDirection, CentrePieceJumpsAndOnlyThreeCellsChange) {
    const DirectionCase& d = GetParam();
    setBoard(STAR);
    const Board before = app.board;

    click({4, 4});
    ASSERT_TRUE(app.pieceSelected) << "the centre piece can jump" << shown();
    click(d.landing);

    EXPECT_EQ(at({4, 4}), CELL_EMPTY) << d.name << ": start cell" << shown();
    EXPECT_EQ(at(d.jumped), CELL_EMPTY) << d.name << ": jumped cell" << shown();
    EXPECT_EQ(at(d.landing), CELL_PIECE) << d.name << ": landing cell" << shown();
    EXPECT_EQ(at(d.oneStep), before[cellIndex(d.oneStep.row, d.oneStep.col)]) << d.name << ": one step away" << shown();
    EXPECT_EQ(at(d.threeSteps), before[cellIndex(d.threeSteps.row, d.threeSteps.col)])
        << d.name << ": three steps away" << shown();
    int changed = 0;
    for (int i = 0; i < BOARD_CELLS; ++i) changed += app.board[i] != before[i];
    EXPECT_EQ(changed, 3) << d.name << shown();

    EXPECT_FALSE(app.pieceSelected) << "a jump ends the selection";
    EXPECT_FALSE(app.clickPending) << "a jump uses up the click";
    EXPECT_EQ(app.selectedRow, 4) << "the selection keeps the cell just left";
    EXPECT_EQ(app.selectedCol, 4);
}

INSTANTIATE_TEST_SUITE_P(Rules, EveryDirection,
                         testing::Values(DirectionCase{"left", {4, 0}, {4, 2}, {4, 3}, {4, 1}},
                                         DirectionCase{"right", {4, 8}, {4, 6}, {4, 5}, {4, 7}},
                                         DirectionCase{"up", {0, 4}, {2, 4}, {3, 4}, {1, 4}},
                                         DirectionCase{"down", {8, 4}, {6, 4}, {5, 4}, {7, 4}},
                                         DirectionCase{"up-left", {0, 0}, {2, 2}, {3, 3}, {1, 1}},
                                         DirectionCase{"up-right", {0, 8}, {2, 6}, {3, 5}, {1, 7}},
                                         DirectionCase{"down-left", {8, 0}, {6, 2}, {5, 3}, {7, 1}},
                                         DirectionCase{"down-right", {8, 8}, {6, 6}, {5, 5}, {7, 7}}),
                         [](const testing::TestParamInfo<DirectionCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

TEST_F(Rules, CanJumpNeedsAPieceOverAndAHoleToLandIn) {
    // Left of (4,4): nothing over; right: an empty hole over; up: the landing
    // holds a piece; down: the landing has no hole; the diagonals meet the
    // inert codes 3 and -1 as jumped cell or landing.
    setBoard(
        "-1 . . . x . . . o\n"
        ". . . . . . . . .\n"
        ". . x . x . 3 . .\n"
        ". . . . . . . . .\n"
        "o . . . x . o . o\n"
        ". . . . . . . . .\n"
        ". . -1 . x . x . .\n"
        ". . . . . . . . .\n"
        "o . . . . . . . 3\n");
    EXPECT_FALSE(app.canJump(4, 4)) << shown();
    app.board[cellIndex(4, 6)] = CELL_PIECE;
    EXPECT_TRUE(app.canJump(4, 4)) << "a piece over and a hole beyond" << shown();
}

TEST_F(Rules, CellsOffTheGridAreNeverLandings) {
    // For every cell and every direction that leaves the grid: a board of
    // empty holes with the piece and the cell that a row-major index would
    // wrap onto as the jumped one. A grid test after the index arithmetic
    // (or none) would find an empty landing on a neighbouring row.
    const int steps[8][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            for (const auto& s : steps) {
                const int landRow = r + 4 * s[0];
                const int landCol = c + 4 * s[1];
                if (landRow >= 0 && landRow < 9 && landCol >= 0 && landCol < 9) continue;
                app.board.fill(CELL_EMPTY);
                app.board[cellIndex(r, c)] = CELL_PIECE;
                const int wrapped = cellIndex(r, c) + 2 * (s[0] * BOARD_SIZE + s[1]);
                if (wrapped >= 0 && wrapped < BOARD_CELLS) app.board[wrapped] = CELL_PIECE;
                EXPECT_FALSE(app.canJump(r, c))
                    << "piece at (" << r << "," << c << ") step (" << s[0] << "," << s[1] << ")" << shown();
            }
        }
    }
}

TEST_F(Rules, NoDownwardJumpFromTheLowRows) {
    // The fields stored right after the board hold empty-hole codes: reading
    // past the board's end for a landing below row 8 would find a hole there.
    app.bestTimes.fill(CELL_EMPTY);
    app.finalSeconds = CELL_EMPTY;
    for (int r = 5; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            app.board.fill(CELL_EMPTY);
            app.board[cellIndex(r, c)] = CELL_PIECE;
            if (r + 2 < BOARD_SIZE) app.board[cellIndex(r + 2, c)] = CELL_PIECE;
            EXPECT_FALSE(app.canJump(r, c)) << "downward from (" << r << "," << c << ")" << shown();
        }
    }
}

TEST_F(Rules, SelectionMovesToAnotherMovablePieceAndStaysOnAStuckOne) {
    setBoard(
        "x . . . x . . . .\n"
        ". . . . . . . . .\n"
        "x . . . x . . . x\n"
        ". . . . . . . . .\n"
        "o . . . o . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n");
    click({8, 8});  // no hole: nothing to select
    EXPECT_FALSE(app.pieceSelected);
    click({2, 8});  // a piece that cannot jump, with nothing selected
    EXPECT_FALSE(app.pieceSelected);

    click({0, 0});
    ASSERT_TRUE(app.pieceSelected);
    EXPECT_EQ(app.selectedRow, 0);
    EXPECT_EQ(app.selectedCol, 0);
    EXPECT_FALSE(app.clickPending) << "a selection uses up the click";

    click({0, 4});
    EXPECT_EQ(app.selectedCol, 4) << "a second movable piece takes the selection";
    click({0, 4});
    EXPECT_TRUE(app.pieceSelected) << "clicking the selected piece again keeps it";
    EXPECT_EQ(app.selectedCol, 4);

    click({2, 8});
    EXPECT_TRUE(app.pieceSelected) << "a stuck piece leaves the selection";
    EXPECT_EQ(app.selectedRow, 0);
    EXPECT_EQ(app.selectedCol, 4);
    EXPECT_TRUE(app.clickPending) << "an unused click is left for the frame to drop";

    const Board before = app.board;
    click({4, 0});  // down-left of the selected (0,4), with no piece between
    EXPECT_EQ(app.board, before) << shown();
    EXPECT_TRUE(app.pieceSelected);
}

TEST_F(Rules, LandingWithoutAPieceBetweenDoesNothing) {
    // (4,4) can jump up-left only; right and down have an empty hole or no
    // hole in between.
    setBoard(
        "o . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . x . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . x . o . o\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . o . . . .\n");
    click({4, 4});
    ASSERT_TRUE(app.pieceSelected);
    const Board before = app.board;
    click({4, 8});
    click({8, 4});
    EXPECT_EQ(app.board, before) << shown();
    EXPECT_TRUE(app.pieceSelected) << "the selection stays";

    click({0, 0});
    EXPECT_EQ(at({0, 0}), CELL_PIECE) << shown();
    click({4, 4});  // now empty, with nothing selected: nothing happens
    click({0, 4});
    EXPECT_FALSE(app.pieceSelected) << shown();
}

TEST_F(Rules, InertCodesAreNeitherSelectedNorLandedOn) {
    setBoard(
        "x . . . x . . . .\n"
        ". . . . . . . . .\n"
        "x . . . x . . . .\n"
        ". . . . . . . . .\n"
        "3 . . . -1 . . . .\n"
        ". . . . . . . . .\n"
        "3 . . . . . . . .\n"
        ". . . . . . . . .\n"
        "x . . . . . . . .\n");
    EXPECT_FALSE(app.canJump(0, 0)) << "a landing of code 3 is no hole";
    EXPECT_FALSE(app.canJump(8, 0)) << "a jumped cell of code 3 is no piece";
    EXPECT_TRUE(app.noPieceCanMove()) << shown();
    EXPECT_FALSE(app.fewerThanTwoPieces()) << "codes 3 and -1 are not counted; five pieces are";
    click({4, 0});
    click({4, 4});
    EXPECT_FALSE(app.pieceSelected) << shown();
}

TEST_F(Rules, GridLinesAndTheGridEdgeHitNoCell) {
    // Rows 0, 1 and 8 are all movable pieces, so any hit selects.
    setBoard(
        "x x x x x x x x x\n"
        "x x x x x x x x x\n"
        "x x x x x x x x x\n"
        "x x x x x x x x x\n"
        "o o o o o o o o o\n"
        "o o o o o o o o o\n"
        "x x x x x x x x x\n"
        "x x x x x x x x x\n"
        "x x x x x x x x x\n");
    struct Hit {
        int32_t x, y;
        int row, col;  // -1: no cell
    };
    const Hit hits[] = {
        {175, 100, -1, -1},
        {176, 100, 0, 0},
        {224, 100, 0, 0},
        {225, 100, -1, -1},
        {226, 100, 0, 1},
        {624, 100, 0, 8},
        {625, 100, -1, -1},
        {200, 75, -1, -1},
        {200, 76, 0, 0},
        {200, 124, 0, 0},
        {200, 125, -1, -1},
        {200, 126, 1, 0},
        {200, 524, 8, 0},
        {200, 525, -1, -1},
        {175, 75, -1, -1},
        {0, 0, -1, -1},
        {799, 599, -1, -1},
        {-50, 100, -1, -1},
        {INT32_MIN, INT32_MIN, -1, -1},
        {INT32_MAX, INT32_MAX, -1, -1},
        {200, INT32_MAX, -1, -1},
    };
    for (const Hit& h : hits) {
        app.pieceSelected = false;
        app.selectedRow = app.selectedCol = -1;
        clickAt(h.x, h.y);
        if (h.row < 0) {
            EXPECT_FALSE(app.pieceSelected) << "(" << h.x << "," << h.y << ") must hit no cell";
            EXPECT_TRUE(app.clickPending) << "(" << h.x << "," << h.y << ")";
        } else {
            EXPECT_TRUE(app.pieceSelected) << "(" << h.x << "," << h.y << ") must hit a cell";
            EXPECT_EQ(app.selectedRow, h.row) << "(" << h.x << "," << h.y << ")";
            EXPECT_EQ(app.selectedCol, h.col) << "(" << h.x << "," << h.y << ")";
        }
    }
}

TEST_F(Rules, OneClickActsOnceAndOnlyWhilePending) {
    setBoard(
        "x . . . . . . . .\n"
        ". . . . . . . . .\n"
        "x . . . . . . . .\n"
        ". . . . . . . . .\n"
        "o . . . . . . . .\n"
        ". . . . . . . . .\n"
        "x . . . . . . . .\n"
        ". . . . . . . . .\n"
        "o . . . . . . . .\n");
    app.cursor = {200, 100};
    app.handleBoardClick();  // no click pending
    EXPECT_FALSE(app.pieceSelected);

    click({0, 0});
    // Several presses in one frame are one pending click: once the jump has
    // used it, a further call in the same frame finds nothing to do.
    app.clickPending = true;
    app.cursor = {200, 300};
    app.handleBoardClick();
    EXPECT_EQ(at({4, 0}), CELL_PIECE) << shown();
    EXPECT_FALSE(app.clickPending);
    app.handleBoardClick();
    EXPECT_FALSE(app.pieceSelected) << "the used click must not select (4,0)" << shown();
}

// Counts the recorded plays of one effect file.
int playsOf(const std::string& file) {
    int plays = 0;
    for (const std::string& call : headless::audioCalls()) plays += call.rfind("play " + file + " ", 0) == 0;
    return plays;
}

TEST_F(Rules, JumpSoundsOnlyWithSoundOn) {
    TempDir dir;
    writeFile("Sound/BkGnd.mus", makeSilentWav());
    writeFile(SOUND_EXPLODE_FILE, makeSilentWav());
    app.initMusic();
    ASSERT_TRUE(app.loadSoundEffect(SOUND_EXPLODE_FILE, app.sfxExplode));

    for (bool sound : {true, false}) {
        app.board = middleRowBoard("x o x o o . . . .");
        app.soundOn = sound;
        headless::clearAudioCalls();
        click({4, 0});
        EXPECT_EQ(playsOf(SOUND_EXPLODE_FILE), 0) << "a selection makes no sound";
        click({4, 4});
        EXPECT_EQ(at({4, 4}), CELL_PIECE) << "the jump happens either way" << shown();
        EXPECT_EQ(playsOf(SOUND_EXPLODE_FILE), sound ? 1 : 0) << "sound " << (sound ? "on" : "off");
    }
    app.releaseAudio();
}

TEST_F(Rules, EndTests) {
    struct EndCase {
        const char* name;
        const char* middleRow;
        bool stuck;
        bool fewerThanTwo;
    };
    const EndCase cases[] = {
        {"no pieces", "o o o o o o o o o", true, true},
        {"one piece", "o o o o x o o o o", true, true},
        {"one piece among inert codes", "3 -1 1000 o x o 3 -1 3", true, true},
        {"two stuck", "x x o o o o o o o", true, false},
        {"two, one can jump", "x o x o o o o o o", false, false},
    };
    for (const EndCase& e : cases) {
        app.board = middleRowBoard(e.middleRow);
        EXPECT_EQ(app.noPieceCanMove(), e.stuck) << e.name << shown();
        EXPECT_EQ(app.fewerThanTwoPieces(), e.fewerThanTwo) << e.name << shown();
    }

    // The only movable piece is the very last cell: the whole board is searched.
    app.board.fill(CELL_NONE);
    for (Cell piece : {Cell{0, 0}, Cell{0, 1}, Cell{6, 6}, Cell{8, 8}}) app.board[cellIndex(piece.row, piece.col)] = 2;
    app.board[cellIndex(4, 4)] = CELL_EMPTY;
    EXPECT_FALSE(app.noPieceCanMove()) << shown();
}

}  // namespace
