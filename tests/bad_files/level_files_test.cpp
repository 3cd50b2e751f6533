// Level files of every malformed shape, read by the game when a game starts:
// no crash, the cells that cannot be read keep their codes, and a file that
// cannot be opened ends the game with its message.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/game/screen_fixture.h"

namespace {

using screens::ScreenTest;

const Board LEVEL = boardFromPicture(
    ". . . . . . . . .\n"
    ". . x o x o o . .\n"
    ". . . . . . . . .\n"
    ". . x . . . . . .\n"
    ". . o . . . . . .\n"
    ". . x . . . . . .\n"
    ". . o . . . . . .\n"
    ". . o . . . . . .\n"
    ". . . . . . . . .\n");

// Several megabytes: far past any buffer the file functions keep.
constexpr size_t LONG = 3u << 20;

class BadLevelFile : public ScreenTest {
protected:
    // Writes `text` as the level and runs the new-game frame; returns the
    // board the game then plays on.
    const Board& startWith(const std::string& text) {
        writeFile("Tex/Level.txt", text);
        startGame();
        return app.board;
    }
};

// The one test of a folder in the level file's place, played through the
// new-game frame: the reader, loadLevel and the frame step all take part.
TEST_F(BadLevelFile, FolderInThePlaceOfTheLevelLeavesTheBoard) {
    // A folder opens for reading on Linux but yields nothing: the game goes
    // on with the board it had, as with a level file that holds no numbers.
    startWith(levelText(LEVEL));
    std::filesystem::remove("Tex/Level.txt");
    std::filesystem::create_directory("Tex/Level.txt");
    app.state = STATE_NEW_GAME;
    app.stepFrame();
    EXPECT_EQ(app.board, LEVEL) << boardToPicture(app.board);
    EXPECT_EQ(app.state, STATE_PLAYING);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(BadLevelFile, MegabyteLinesAreReadAsShortOnes) {
    const std::string text = levelText(LEVEL);
    const size_t firstLineEnd = text.find('\n');

    // A code of three million digits saturates; the rest of its row follows
    // on the same line.
    Board board = startWith(std::string(LONG, '9') + text.substr(1));
    Board expected = LEVEL;
    expected[0] = INT32_MAX;
    EXPECT_EQ(board, expected) << "a huge first code\n" << boardToPicture(board);

    board = startWith(std::string(LONG, ' ') + text);
    EXPECT_EQ(board, LEVEL) << "megabytes of blanks before the first code\n" << boardToPicture(board);

    board = startWith(text.substr(0, firstLineEnd) + " # " + std::string(LONG, 'x') + text.substr(firstLineEnd));
    EXPECT_EQ(board, LEVEL) << "megabytes of remark after the ninth code\n" << boardToPicture(board);

    board = startWith(std::string(LONG, '\n') + text);
    EXPECT_EQ(board, LEVEL) << "megabytes of blank lines first\n" << boardToPicture(board);
}

TEST_F(BadLevelFile, LastRowWithoutLineEndIsRead) {
    std::string text = levelText(LEVEL);
    text.pop_back();
    EXPECT_EQ(startWith(text), LEVEL);
    text += "   ";  // trailing blanks, still no line end
    EXPECT_EQ(startWith(text), LEVEL);
}

// Every cell of a file that gives nothing keeps the code of the game before,
// however that game ended, and the first frame judges that board.
TEST_F(BadLevelFile, FileGivingNothingReplaysTheLastBoard) {
    startWith(levelText(LEVEL));
    clickAt({175 + 50 * 2 + 25, 75 + 50 * 1 + 25});  // select (1, 2)
    clickAt({175 + 50 * 6 + 25, 75 + 50 * 1 + 25});  // jump to (1, 6)
    ASSERT_EQ(app.state, STATE_PLAYING);
    const Board played = app.board;
    ASSERT_NE(played, LEVEL);

    std::string junk;
    for (int i = 0; i < 65536; ++i) junk += static_cast<char>(((i * 131) ^ (i >> 7)) | 0x80);  // no digit, no blank
    const std::string nothing[] = {"", "\n\n\r\n", "no level here\n", std::string(LONG, '-'), junk};
    for (const std::string& text : nothing) {
        EXPECT_EQ(startWith(text), played) << "file of " << text.size() << " bytes";
        frame();
        EXPECT_EQ(app.state, STATE_PLAYING) << "the replayed board still has a jump";
    }
}

// Where reading stops, a row keeps what it had; a later row on a good line
// is read again.
TEST_F(BadLevelFile, DamagedRowsKeepTheirCodesAndLaterRowsAreRead) {
    Board blank{};
    blank.fill(CELL_NONE);
    startWith(levelText(blank));

    std::string text = levelText(LEVEL);
    const size_t row3 = text.find('\n', text.find('\n', text.find('\n') + 1) + 1) + 1;
    text.insert(row3, std::string("\x01\xff\x7f", 3));  // binary where row 3 begins
    const Board board = startWith(text);
    Board expected = LEVEL;
    for (int c = 0; c < BOARD_SIZE; ++c) expected[cellIndex(3, c)] = CELL_NONE;
    EXPECT_EQ(board, expected) << boardToPicture(board);
}

}  // namespace
