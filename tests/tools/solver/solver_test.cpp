// The solver against hand-checked boards, against a plain search of the
// whole 9x9 board, and on the shipped level.
#include "tools/solver/solver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "game/level_reader.h"
#include "tests/support/test_files.h"

namespace {

int countPieces(const Board& board) {
    int count = 0;
    for (CellCode code : board) count += code == CELL_PIECE;
    return count;
}

bool onGrid(int row, int col) {
    return row >= 0 && row < BOARD_SIZE && col >= 0 && col < BOARD_SIZE;
}

// Plays `jumps` on `board` by the game's rules, checked here independently
// of the solver. Returns an empty string, or what is wrong with the first
// jump that is not legal.
std::string playJumps(Board& board, const std::vector<Jump>& jumps) {
    for (size_t n = 0; n < jumps.size(); ++n) {
        const Jump& j = jumps[n];
        const std::string which = "jump " + std::to_string(n) + " (" + std::to_string(j.fromRow) + " " +
                                  std::to_string(j.fromCol) + " " + std::to_string(j.toRow) + " " +
                                  std::to_string(j.toCol) + ")";
        const int dRow = j.toRow - j.fromRow;
        const int dCol = j.toCol - j.fromCol;
        if (!onGrid(j.fromRow, j.fromCol) || !onGrid(j.toRow, j.toCol)) return which + " leaves the grid";
        if ((dRow != 0 && std::abs(dRow) != 4) || (dCol != 0 && std::abs(dCol) != 4) || (dRow == 0 && dCol == 0)) {
            return which + " is not four cells along a row, column or diagonal";
        }
        CellCode& from = board[cellIndex(j.fromRow, j.fromCol)];
        CellCode& over = board[cellIndex(j.fromRow + dRow / 2, j.fromCol + dCol / 2)];
        CellCode& to = board[cellIndex(j.toRow, j.toCol)];
        if (from != CELL_PIECE) return which + " starts on a cell without a piece";
        if (over != CELL_PIECE) return which + " jumps over a cell without a piece";
        if (to != CELL_EMPTY) return which + " lands on a cell that is not an empty hole";
        from = CELL_EMPTY;
        over = CELL_EMPTY;
        to = CELL_PIECE;
    }
    return "";
}

// A plain search over the whole board, knowing nothing of lattices: the
// reference the solver must agree with. Only for boards with few pieces.
bool plainWinnable(const Board& board, std::map<Board, bool>& seen) {
    if (countPieces(board) < 2) return true;
    if (auto known = seen.find(board); known != seen.end()) return known->second;
    bool won = false;
    for (int r = 0; r < BOARD_SIZE && !won; ++r) {
        for (int c = 0; c < BOARD_SIZE && !won; ++c) {
            for (int dRow = -1; dRow <= 1 && !won; ++dRow) {
                for (int dCol = -1; dCol <= 1 && !won; ++dCol) {
                    Board next = board;
                    if ((dRow || dCol) && board[cellIndex(r, c)] == CELL_PIECE &&
                        playJumps(next, {{r, c, r + 4 * dRow, c + 4 * dCol}}).empty()) {
                        won = plainWinnable(next, seen);
                    }
                }
            }
        }
    }
    seen[board] = won;
    return won;
}

// Solves `board` and, when it is winnable, checks that the jumps are legal
// and leave at most one piece.
Solution solveAndReplay(const Board& board) {
    Solution solution = solveBoard(board);
    if (solution.winnable) {
        Board played = board;
        const std::string fault = playJumps(played, solution.jumps);
        EXPECT_EQ(fault, "") << "on" << boardToPicture(board);
        EXPECT_LE(countPieces(played), 1) << "the jumps leave" << boardToPicture(played);
        EXPECT_EQ(solution.jumps.size(), static_cast<size_t>(std::max(countPieces(board) - 1, 0)));
    } else {
        EXPECT_TRUE(solution.jumps.empty());
    }
    return solution;
}

TEST(SolveBoard, FewerThanTwoPiecesIsWonWithoutAJump) {
    Board nothing{};
    Board holesOnly{};
    holesOnly.fill(CELL_EMPTY);
    // One piece in the far corner; codes other than 2 are never pieces.
    Board onePiece = holesOnly;
    onePiece[cellIndex(8, 8)] = CELL_PIECE;
    onePiece[0] = 3;
    onePiece[1] = -1;
    onePiece[2] = 1000;
    for (const Board& board : {nothing, holesOnly, onePiece}) {
        const Solution solution = solveBoard(board);
        EXPECT_TRUE(solution.winnable) << boardToPicture(board);
        EXPECT_TRUE(solution.jumps.empty()) << boardToPicture(board);
    }
}

TEST(SolveBoard, HandCheckedWinnableBoards) {
    struct Case {
        const char* what;
        const char* picture;
        std::vector<Jump> jumps;  // the only solution
    };
    const Case cases[] = {
        {"along the top row",
         "x . x . o . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .",
         {{0, 0, 0, 4}}},
        {"up-left from the far corner",
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . o . . . .  . . . . . . . . .  "
         ". . . . . . x . .  . . . . . . . . .  . . . . . . . . x",
         {{8, 8, 4, 4}}},
        {"cells one and three steps away are passed over whatever they hold",
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         "x . x 3 o . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .",
         {{4, 0, 4, 4}}},
        {"odd rows and columns, two jumps in turn",
         ". . . . . . . . .  . x . x . o . x .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .",
         {{1, 1, 1, 5}, {1, 7, 1, 3}}},
    };
    for (const Case& each : cases) {
        const Solution solution = solveAndReplay(boardFromPicture(each.picture));
        EXPECT_TRUE(solution.winnable) << each.what;
        EXPECT_EQ(solution.jumps, each.jumps) << each.what;
    }
}

TEST(SolveBoard, HandCheckedLostBoards) {
    struct Case {
        const char* what;
        const char* picture;
    };
    const Case cases[] = {
        {"one way leaves the grid, the other lands on no hole",
         ". . . . . . x . x  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . ."},
        {"the landing cell holds an unknown code",
         "x . x . 3 . . . .  . . . . . . . . .  -1 . . . . . . . .  "
         ". . . . . . . . .  x . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . ."},
        {"the jumped cell is empty or not a piece",
         "x . o . x . 5 . o  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . ."},
        {"neighbouring pieces never meet",
         "o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  "
         "o o o o o o o o o  o o o o x x o o o  o o o o o o o o o  "
         "o o o o o o o o o  o o o o o o o o o  o o o o o o o o o"},
        {"two pairs each end with a piece of their own",
         "x . x . o . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  x . x . o . . . ."},
    };
    for (const Case& each : cases) {
        const Solution solution = solveAndReplay(boardFromPicture(each.picture));
        EXPECT_FALSE(solution.winnable) << each.what;
    }
}

TEST(SolveBoard, PiecesOnTwoLatticesNeverWin) {
    // Either pair alone comes down to one piece; together they leave two.
    const Board both = boardFromPicture(
        "x . x . o . . . .  . x . x . o . . .  o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  "
        "o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  o o o o o o o o o");
    EXPECT_FALSE(solveAndReplay(both).winnable);
    Board evenOnly = both;
    for (int c : {1, 3}) evenOnly[cellIndex(1, c)] = CELL_EMPTY;
    EXPECT_TRUE(solveAndReplay(evenOnly).winnable);
    Board oddOnly = both;
    for (int c : {0, 2}) oddOnly[cellIndex(0, c)] = CELL_EMPTY;
    EXPECT_TRUE(solveAndReplay(oddOnly).winnable);
}

TEST(SolveBoard, EveryLatticeFullOfPiecesAroundOneHole) {
    // Each of the four lattices filled with pieces, with one hole left empty
    // (its first cell, or one near the centre): the solutions must come back
    // in board coordinates of that lattice.
    for (int rowParity = 0; rowParity < 2; ++rowParity) {
        for (int colParity = 0; colParity < 2; ++colParity) {
            for (bool corner : {true, false}) {
                Board board{};
                for (int r = rowParity; r < BOARD_SIZE; r += 2) {
                    for (int c = colParity; c < BOARD_SIZE; c += 2) board[cellIndex(r, c)] = CELL_PIECE;
                }
                const int emptyRow = corner ? rowParity : 4 - rowParity;
                const int emptyCol = corner ? colParity : 4 - colParity;
                board[cellIndex(emptyRow, emptyCol)] = CELL_EMPTY;
                EXPECT_TRUE(solveAndReplay(board).winnable) << boardToPicture(board);
            }
        }
    }
}

TEST(SolveBoard, AgreesWithPlainSearchOnRandomBoards) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    int winnable = 0;
    for (int round = 0; round < 300; ++round) {
        Board board{};
        for (CellCode& code : board) code = random() % 3 ? CELL_EMPTY : CELL_NONE;
        // Mostly on one lattice, so that many boards are worth searching.
        const int pieces = 2 + random() % 9;
        const bool oneLattice = random() % 4 != 0;
        const int rowParity = random() % 2;
        const int colParity = random() % 2;
        for (int n = 0; n < pieces; ++n) {
            int r = random() % BOARD_SIZE;
            int c = random() % BOARD_SIZE;
            if (oneLattice) {
                r = std::min(r - r % 2 + rowParity, 8 - rowParity);
                c = std::min(c - c % 2 + colParity, 8 - colParity);
            }
            board[cellIndex(r, c)] = CELL_PIECE;
        }
        std::map<Board, bool> seen;
        const bool expected = plainWinnable(board, seen);
        winnable += expected;
        EXPECT_EQ(solveAndReplay(board).winnable, expected) << boardToPicture(board);
    }
    EXPECT_GT(winnable, 10) << "too few winnable boards to be a test";
}

TEST(ShippedLevel, IsAWinnablePuzzleOfAtLeastSixteenPieces) {
    Board level{};
    ASSERT_TRUE(readLevelFile(QM_SHIPPED_LEVEL, level)) << QM_SHIPPED_LEVEL;
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            const CellCode code = level[cellIndex(r, c)];
            EXPECT_TRUE(code == CELL_NONE || code == CELL_EMPTY || code == CELL_PIECE) << "cell " << r << " " << c;
            // The shape of the holes is the same in all four mirrors.
            const bool hole = code != CELL_NONE;
            EXPECT_EQ(hole, level[cellIndex(8 - r, c)] != CELL_NONE) << "cell " << r << " " << c;
            EXPECT_EQ(hole, level[cellIndex(r, 8 - c)] != CELL_NONE) << "cell " << r << " " << c;
            EXPECT_EQ(hole, level[cellIndex(c, r)] != CELL_NONE) << "cell " << r << " " << c;
        }
    }
    EXPECT_GE(countPieces(level), 16) << boardToPicture(level);

    const Solution solution = solveAndReplay(level);
    EXPECT_TRUE(solution.winnable) << boardToPicture(level);
}

TEST(ShippedLevel, TheRunFolderCopyIsCurrent) {
    EXPECT_EQ(readFile(QM_RUN_LEVEL), readFile(QM_SHIPPED_LEVEL));
}

}  // namespace
