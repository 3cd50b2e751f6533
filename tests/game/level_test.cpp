// Loading the level at a new game, and drawing holes and pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/game_app.h"
#include "game/level_reader.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

const Board& CROSS = CROSS_LEVEL;

// Everything a game needs loaded, on a headless window.
void loadEverything(GameApp& app) {
    standin::writeAll();
    std::string error;
    app.window = platform::windowCreate("Tavrin", &error);
    ASSERT_NE(app.window, nullptr) << error;
    app.loadAssets();
}

class LoadLevel : public testing::Test {
protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override {
        app.releaseAll();
        platform::windowDestroy(app.window);
    }
    TempDir dir;
    GameApp app;
};

TEST_F(LoadLevel, ReadsTheLevelFileAnewAtEveryGame) {
    writeFile(LEVEL_FILE, levelText(CROSS));
    app.loadLevel();
    EXPECT_EQ(app.board, CROSS) << boardToPicture(app.board);

    // The next game reads the changed file; cells it does not supply keep
    // the codes of the game before.
    writeFile(LEVEL_FILE, "1 1 1 1 1 1 1 1 1\n");
    app.board[cellIndex(8, 8)] = 3;
    app.loadLevel();
    Board expected = CROSS;
    for (int c = 0; c < BOARD_SIZE; ++c) expected[cellIndex(0, c)] = CELL_EMPTY;
    expected[cellIndex(8, 8)] = 3;
    EXPECT_EQ(app.board, expected) << boardToPicture(app.board);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

using LoadLevelDeathTest = LoadLevel;

TEST_F(LoadLevelDeathTest, MissingFileEndsTheGameWithItsMessage) {
    loadEverything(app);
    std::filesystem::remove(LEVEL_FILE);
    EXPECT_EXIT(app.loadLevel(), testing::ExitedWithCode(255), "Quillmara: Level file can't be opened!");
}

// ------------------------------------------------------------ board drawing

constexpr uint16_t BACK = 0x0841;  // a fill no stand-in image uses
const uint16_t HOLE = rgbTo565(standin::image("Tex/Button1.Tex").colour);
const uint16_t PIECE = rgbTo565(standin::image("Tex/Lamp.Tex").colour);
const int PIECE_W = standin::image("Tex/Lamp.Tex").width;
const int PIECE_H = standin::image("Tex/Lamp.Tex").height;

class DrawBoard : public testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        loadEverything(app);
        ASSERT_NE(app.backSurface, nullptr);
        app.selectedRow = -1;
        app.selectedCol = -1;
    }

    void draw() {
        fillSurface(app.backSurface.get(), BACK);
        app.drawBoard();
    }

    void expectPixel(int x, int y, uint16_t expected, const std::string& what) const {
        EXPECT_EQ(app.backSurface->at(x, y), expected) << what << " at (" << x << "," << y << ")";
    }

    void TearDown() override {
        app.releaseAll();
        platform::windowDestroy(app.window);
    }

    int count(uint16_t value) const {
        int n = 0;
        for (uint16_t p : app.backSurface->pixels) n += p == value;
        return n;
    }

    TempDir dir;
    GameApp app;
};

// Top-left corner of a cell's hole image.
int cellX(int col) {
    return 175 + 50 * col;
}
int cellY(int row) {
    return 75 + 50 * row;
}

TEST_F(DrawBoard, HolesAndPiecesLandAtTheirCells) {
    app.board = boardFromPicture(
        "o x . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . 3 -1 . . . . .\n"
        ". . . 1000 . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . o . . .\n"
        ". . . . . x . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . x\n");
    draw();

    const int x0 = cellX(0), y0 = cellY(0);
    expectPixel(x0 + 20, y0 + 20, HOLE, "empty hole (0,0)");
    expectPixel(x0 + 39, y0 + 39, HOLE, "empty hole (0,0), bottom-right corner");
    expectPixel(x0, y0, BACK, "keyed corner of hole (0,0)");
    expectPixel(x0 + 40, y0 + 20, BACK, "right of hole (0,0)");

    const int x1 = cellX(1), y1 = cellY(0);
    expectPixel(x1 - 7, y1 - 15, BACK, "keyed corner of piece (0,1)");
    expectPixel(x1 - 6, y1 - 15, PIECE, "top row of piece (0,1), 15 above its hole");
    expectPixel(x1 - 7, y1 - 14, PIECE, "left column of piece (0,1), 7 left of its hole");
    expectPixel(x1 + 10, y1 - 16, BACK, "above piece (0,1)");
    expectPixel(x1 + 28, y1 + 28, PIECE, "bottom-right of piece (0,1)");
    expectPixel(x1 + 35, y1 + 35, HOLE, "hole (0,1) beside its piece");
    expectPixel(x1 + 10, y1 + 35, HOLE, "hole (0,1) below its piece");

    const int x8 = cellX(8), y8 = cellY(8);
    expectPixel(x8 + 10, y8 + 10, PIECE, "piece (8,8)");
    expectPixel(x8 + 35, y8 + 35, HOLE, "hole (8,8)");

    // A later row is drawn over an earlier one: the piece of (6,5) covers the
    // bottom of the hole of (5,5).
    expectPixel(cellX(5) + 10, cellY(5) + 37, PIECE, "piece (6,5) over hole (5,5)");
    expectPixel(cellX(5) + 35, cellY(5) + 37, HOLE, "hole (5,5) right of piece (6,5)");

    for (const auto& [row, col] : {std::pair{2, 2}, std::pair{2, 3}, std::pair{3, 3}}) {
        expectPixel(cellX(col) + 20, cellY(row) + 20, BACK,
                    "inert code at (" + std::to_string(row) + "," + std::to_string(col) + ")");
    }
    EXPECT_EQ(count(PIECE), 3 * (PIECE_W * PIECE_H - 1)) << "three pieces and no more";
}

TEST_F(DrawBoard, SelectedPieceIsFivePixelsHigherAndItsHoleStays) {
    app.board = boardFromPicture(
        ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
        ". . . . x . . . .\n"
        ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n");
    const int x = cellX(4), y = cellY(4);

    draw();  // at the start of a game nothing is selected
    expectPixel(x - 6, y - 15, PIECE, "unselected piece top row");
    expectPixel(x - 6, y - 16, BACK, "above the unselected piece");
    expectPixel(x + 10, y + 28, PIECE, "unselected piece bottom row");
    const std::vector<uint16_t> unselected = app.backSurface->pixels;

    app.selectedRow = 4;
    app.selectedCol = 4;
    draw();
    expectPixel(x - 6, y - 20, PIECE, "selected piece top row, 20 above its hole");
    expectPixel(x - 7, y - 20, BACK, "keyed corner of the selected piece");
    expectPixel(x - 6, y - 21, BACK, "above the selected piece");
    expectPixel(x + 10, y + 23, PIECE, "selected piece bottom row");
    expectPixel(x + 10, y + 24, HOLE, "hole under the raised piece");
    expectPixel(x + 35, y + 35, HOLE, "selected piece's hole in place");
    expectPixel(x + 39, y + 39, HOLE, "selected piece's hole, bottom-right corner");

    // Raised by exactly five rows: every pixel of the unselected picture,
    // shifted up by five, matches where the piece covers it.
    for (int py = y - 15; py < y - 15 + PIECE_H; ++py) {
        for (int px = x - 7; px < x - 7 + PIECE_W; ++px) {
            if (unselected[static_cast<size_t>(py) * 800 + px] != PIECE) continue;
            ASSERT_EQ(app.backSurface->at(px, py - 5), PIECE) << "piece pixel moved from (" << px << "," << py << ")";
        }
    }
}

TEST_F(DrawBoard, SelectionNamingAnEmptyCellRaisesNothing) {
    // After a jump the selection names the cell just left, now empty.
    app.board = boardFromPicture(
        "o . . . x . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
        ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
        ". . . . . . . . .\n");
    app.selectedRow = 0;
    app.selectedCol = 0;
    draw();
    EXPECT_EQ(count(PIECE), PIECE_W * PIECE_H - 1) << "only the piece at (0,4)";
    expectPixel(cellX(4) - 6, cellY(0) - 15, PIECE, "unraised piece (0,4)");
}

TEST_F(DrawBoard, MissingImagesDrawNothingAndDoNotCrash) {
    app.board.fill(CELL_PIECE);
    app.texLamp.reset();
    draw();
    EXPECT_EQ(count(PIECE), 0);
    EXPECT_GT(count(HOLE), 0) << "the holes still draw";
    app.texButton1.reset();
    app.backSurface.reset();
    app.drawBoard();  // no back buffer: nothing to draw into
}

}  // namespace
