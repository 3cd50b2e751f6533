// Generated levels: winnable, the same for the same seed, shaped like a
// level (symmetric holes in one piece), and different from seed to seed.
#include "tools/solver/generator.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/test_files.h"
#include "tests/tools/solver/level_shapes.h"
#include "tools/solver/solver.h"

namespace {

bool symmetric(const Board& board) {
    const Board holes = shapes::holesOf(board);
    for (int t = 1; t < 8; ++t)
        if (shapes::transformed(holes, t) == holes) return true;
    return false;
}

TEST(Generator, FiftySeedsGiveWinnableLevelsShapedLikeLevels) {
    for (uint32_t seed = 0; seed < 50; ++seed) {
        // The piece counts at both ends of the range and the default.
        const int pieces = seed % 5 == 0   ? GENERATED_PIECES_MIN
                           : seed % 5 == 1 ? GENERATED_PIECES_MAX
                                           : GENERATED_PIECES_DEFAULT;
        const Board level = generateLevel(seed, pieces);
        const std::string shown = "seed " + std::to_string(seed) + boardToPicture(level);
        EXPECT_EQ(generateLevel(seed, pieces), level) << shown;
        EXPECT_EQ(shapes::pieceCount(level), pieces) << shown;
        EXPECT_TRUE(solveBoard(level).winnable) << shown;
        EXPECT_TRUE(symmetric(level)) << shown;
        EXPECT_TRUE(shapes::holesConnected(level)) << shown;
    }
}

TEST(Generator, ConsecutiveSeedsGiveDifferentLevels) {
    for (uint32_t first : {0u, 1000u, 4294967275u}) {
        std::set<Board> distinct;
        for (uint32_t seed = first; seed - first < 20; ++seed)
            distinct.insert(shapes::canonical(generateLevel(seed, GENERATED_PIECES_DEFAULT)));
        EXPECT_GE(distinct.size(), 15u) << "seeds " << first << " and the 19 after";
    }
}

}  // namespace
