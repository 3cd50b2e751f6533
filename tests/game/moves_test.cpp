// The move rules on plain boards: which jumps are legal, in which order they
// are found, and what playing one does.
#include "game/moves.h"

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace {

using moves::Jump;

TEST(Moves, LegalJumpsOfHandCheckedBoards) {
    struct Case {
        const char* what;
        const char* picture;
        std::vector<Jump> jumps;
    };
    const Case cases[] = {
        {"all eight directions from the centre, in the game's order; the ring of pieces has nowhere to land",
         "o . . . o . . . o  . . . . . . . . .  . . x . x . x . .  . . . . . . . . .  "
         "o . x . x . x . o  . . . . . . . . .  . . x . x . x . .  . . . . . . . . .  "
         "o . . . o . . . o",
         {{4, 4, 4, 0},
          {4, 4, 4, 8},
          {4, 4, 0, 4},
          {4, 4, 8, 4},
          {4, 4, 0, 0},
          {4, 4, 0, 8},
          {4, 4, 8, 0},
          {4, 4, 8, 8}}},
        // Without the grid test, (1, -1) and (2, 9) would read as the holes
        // (0, 8) and (3, 0) of the row before and after.
        {"no landing past the left and right edges",
         ". . . . . . . . o  . x . x . . . . .  . . . . . x . x .  o . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .",
         {}},
        {"a jumped cell or a landing of another code is no piece and no hole",
         "x . 3 . o . . . .  . . . . . . . . .  -1 . . . . . . . .  . . . . . . . . .  "
         "o . . . . . . . .  . . . . . . . . .  x . x . 1000 . . . .  . . . . . . . . .  "
         ". . . . . . . . .",
         {}},
        {"cells one and three steps away are passed over whatever they hold",
         "x x x x o . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  "
         ". . . . . . . . .",
         {{0, 0, 0, 4}}},
    };
    for (const Case& each : cases) {
        const Board board = boardFromPicture(each.picture);
        EXPECT_EQ(moves::legalJumps(board), each.jumps) << each.what << boardToPicture(board);
        EXPECT_EQ(moves::noPieceCanMove(board), each.jumps.empty()) << each.what;
        for (const Jump& jump : each.jumps) EXPECT_TRUE(moves::canJump(board, jump.fromRow, jump.fromCol)) << each.what;
    }
}

TEST(Moves, ApplyJumpEmptiesStartAndJumpedCellsOnly) {
    Board board = boardFromPicture(
        "x . . . . . . . .  . x . . . . . . .  . . x . . . . . .  . . . 7 . . . . .  "
        ". . . . o . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .");
    moves::applyJump(board, {0, 0, 4, 4});
    EXPECT_EQ(boardToPicture(board),
              boardToPicture(boardFromPicture(
                  "o . . . . . . . .  . x . . . . . . .  . . o . . . . . .  . . . 7 . . . . .  "
                  ". . . . x . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .  . . . . . . . . .")));
}

}  // namespace
