// Reading level files: the layout rules of the file and its malformed forms.
#include "game/level_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "game/scan_int.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

// A board whose every cell differs from anything a test file writes, so a
// cell that was not read is plain to see.
Board markedBoard() {
    Board board{};
    for (int i = 0; i < BOARD_CELLS; ++i) board[i] = 100 + i;
    return board;
}

// Reads `text` as a level file over `board` and returns what the board became.
Board readText(const std::string& text, Board board = markedBoard()) {
    writeFile("level.txt", text);
    EXPECT_TRUE(readLevelFile("level.txt", board)) << "an existing file must open";
    return board;
}

const Board& LEVEL = CROSS_LEVEL;

class LevelReader : public testing::Test {
protected:
    TempDir dir;
};

// Nine lines of nine codes, however the lines end or are spaced, give
// exactly those codes, line i giving row i.
TEST_F(LevelReader, NineLinesOfNineWhateverTheLineEnds) {
    auto replaced = [](const std::string& separator, const std::string& start = "") {
        std::string text = start;
        for (char ch : levelText(LEVEL)) text += ch == '\n' ? separator : std::string(1, ch);
        return text;
    };
    std::string noFinalLineEnd = levelText(LEVEL);
    noFinalLineEnd.pop_back();
    const std::pair<const char*, std::string> variants[] = {
        {"unix line ends", levelText(LEVEL)},
        {"no line end after the last row", noFinalLineEnd},
        {"windows line ends", replaced("\r\n")},
        {"blank lines before and between rows", replaced("\n \t\n\r\n", "\n\n")},
    };
    for (const auto& [name, text] : variants) {
        Board board = readText(text);
        EXPECT_EQ(board, LEVEL) << name << ", read:" << boardToPicture(board);
    }
}

TEST_F(LevelReader, ExtraIntegersAndRemarksAfterTheNinthAreDropped) {
    Board board = readText(
        "1 1 1 1 1 1 1 1 1 2 2 2\n"
        "2 2 2 2 2 2 2 2 2 this row is full\n"
        "0 0 0 0 0 0 0 0 0 7\n"
        "1 1 1 1 1 1 1 1 1\n"
        "2 2 2 2 2 2 2 2 2\n"
        "0 0 0 0 0 0 0 0 0\n"
        "1 1 1 1 1 1 1 1 1\n"
        "2 2 2 2 2 2 2 2 2\n"
        "0 0 0 0 0 0 0 0 0 1 2 1 2\n"
        "9 9 9 9 9 9 9 9 9\n");  // a tenth row is never read
    Board expected{};
    for (int r = 0; r < BOARD_SIZE; ++r)
        for (int c = 0; c < BOARD_SIZE; ++c) expected[cellIndex(r, c)] = (r % 3 == 0) ? 1 : (r % 3 == 1 ? 2 : 0);
    EXPECT_EQ(board, expected) << boardToPicture(board);
}

TEST_F(LevelReader, ShortLineBorrowsFromTheNextAndDropsItsRemainder) {
    // Row 0 has seven codes: its last two come from the next line, whose
    // other codes are lost; row 1 then comes from the third line.
    Board board = readText(
        "1 1 1 1 1 1 1\n"
        "2 3 4 4 4 4 4 4 4\n"
        "0 0 0 0 0 0 0 0 0\n");
    Board expected = markedBoard();
    for (int c = 0; c < 7; ++c) expected[cellIndex(0, c)] = 1;
    expected[cellIndex(0, 7)] = 2;
    expected[cellIndex(0, 8)] = 3;
    for (int c = 0; c < 9; ++c) expected[cellIndex(1, c)] = 0;
    EXPECT_EQ(board, expected) << boardToPicture(board);
}

TEST_F(LevelReader, FileEndingEarlyKeepsTheEarlierCodes) {
    Board board = readText("2 2 2 2 2 2 2 2 2\n1 1 1 1");
    Board expected = markedBoard();
    for (int c = 0; c < 9; ++c) expected[cellIndex(0, c)] = 2;
    for (int c = 0; c < 4; ++c) expected[cellIndex(1, c)] = 1;
    EXPECT_EQ(board, expected) << boardToPicture(board);
    EXPECT_EQ(readText(""), markedBoard()) << "an empty file changes nothing";
}

TEST_F(LevelReader, TextLineLeavesItsRowUnchanged) {
    std::string text = levelText(LEVEL);
    // Row 2 becomes a remark: the row keeps its codes, row 3 is read from the
    // line after the remark, and the last row runs out of file.
    const size_t rowTwo = text.find('\n', text.find('\n') + 1) + 1;
    text.insert(rowTwo, "level two, by hand\n");
    Board board = readText(text);
    Board expected = markedBoard();
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            if (r < 2) expected[cellIndex(r, c)] = LEVEL[cellIndex(r, c)];
            if (r > 2) expected[cellIndex(r, c)] = LEVEL[cellIndex(r - 1, c)];
        }
    }
    EXPECT_EQ(board, expected) << boardToPicture(board);
}

TEST_F(LevelReader, TextInsideARowStopsTheRestOfThatRow) {
    // "12abc": 12 is read, then "abc" stops the remaining reads of row 0.
    // A sign without digits fails as well.
    Board board = readText("1 12abc 2 2 2\n- 5 +x 1\n");
    Board expected = markedBoard();
    expected[cellIndex(0, 0)] = 1;
    expected[cellIndex(0, 1)] = 12;
    expected[cellIndex(1, 1)] = 5;  // the lone '-' is consumed, then 5 reads
    EXPECT_EQ(board, expected) << boardToPicture(board);
}

TEST_F(LevelReader, UnusualCodesAreKeptAsRead) {
    Board board = readText("3 -1 1000 +2 -0 007 0 1 2\n");
    const CellCode expected[9] = {3, -1, 1000, 2, 0, 7, 0, 1, 2};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(board[cellIndex(0, c)], expected[c]) << "column " << c;
}

TEST_F(LevelReader, HugeNumbersSaturate) {
    Board board = readText(
        "99999999999999999999 -99999999999999999999 2147483647 -2147483648 2147483648 -2147483649 "
        "0000000000000000000000000000001 "
        "123456789012345678901234567890123456789012345678901234567890 1\n");
    const CellCode expected[9] = {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, 1, INT32_MAX, 1};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(board[cellIndex(0, c)], expected[c]) << "column " << c;
}

TEST_F(LevelReader, BinaryJunkNeverCrashes) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37 + 11) & 0xFF);
    Board board = markedBoard();
    writeFile("level.txt", junk);
    EXPECT_TRUE(readLevelFile("level.txt", board));
}

TEST_F(LevelReader, MissingFileFailsAndLeavesTheBoard) {
    Board board = markedBoard();
    EXPECT_FALSE(readLevelFile("no-such-level.txt", board));
    EXPECT_EQ(board, markedBoard());
}

// scanDecimal on its own: what stays unread after a number or a failure.
TEST(ScanDecimal, LeavesTheStoppingTextUnread) {
    TempDir dir;
    writeFile("numbers.txt", "  \n\t-42x 5");
    std::FILE* file = std::fopen("numbers.txt", "r");
    ASSERT_NE(file, nullptr);
    int32_t value = 0;
    ASSERT_TRUE(scanDecimal(file, &value));
    EXPECT_EQ(value, -42);
    EXPECT_FALSE(scanDecimal(file, &value)) << "x cannot start a number";
    EXPECT_FALSE(scanDecimal(file, &value)) << "the same x stops the next read too";
    EXPECT_EQ(value, -42) << "a failed read keeps the value";
    EXPECT_EQ(std::fgetc(file), 'x');
    ASSERT_TRUE(scanDecimal(file, &value));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(scanDecimal(file, &value)) << "end of file";
    std::fclose(file);
}

}  // namespace
