// The shipped level set, as the build copies and orders it: every level
// winnable with at least 8 pieces, no two the same up to symmetry, the order
// file easy first by the measured share, and a span from easy to hard.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "game/level_reader.h"
#include "tests/support/test_files.h"
#include "tests/tools/solver/level_shapes.h"
#include "tools/solver/difficulty.h"
#include "tools/solver/solver.h"

namespace {

namespace fs = std::filesystem;

TEST(LevelSet, WinnableDistinctAndOrderedEasyFirst) {
    // The run folder's levels/ holds exactly the source levels, and only them.
    std::set<std::string> copied, sources;
    for (const auto& entry : fs::directory_iterator(QM_RUN_LEVELS)) copied.insert(entry.path().filename());
    for (const auto& entry : fs::directory_iterator(QM_SOURCE_LEVELS)) sources.insert(entry.path().filename());
    EXPECT_EQ(copied, sources);
    ASSERT_GE(sources.size(), 12u);

    std::map<std::string, Difficulty> measured;
    std::map<Board, std::string> shapesSeen;
    for (const std::string& file : sources) {
        const std::string name = fs::path(file).stem();
        EXPECT_EQ(fs::path(file).extension(), ".txt") << file;
        Board board{};
        ASSERT_TRUE(readLevelFile((fs::path(QM_RUN_LEVELS) / file).c_str(), board)) << file;
        EXPECT_EQ(readFile((fs::path(QM_RUN_LEVELS) / file).string()),
                  readFile((fs::path(QM_SOURCE_LEVELS) / file).string()));
        EXPECT_TRUE(solveBoard(board).winnable) << name << boardToPicture(board);
        EXPECT_GE(shapes::pieceCount(board), 8) << name;
        const auto [seen, isNew] = shapesSeen.emplace(shapes::canonical(board), name);
        EXPECT_TRUE(isNew) << name << " is " << seen->second << " turned or mirrored";
        measured[name] = measureDifficulty(board);
        EXPECT_GT(measured[name].winningPlayouts, 0) << name << " is never won by random play";
    }

    // levels.order: NAME<TAB>share for every level, easy first, ties to
    // fewer winning first jumps.
    std::istringstream order(readFile(QM_LEVELS_ORDER));
    std::vector<std::string> names;
    const Difficulty* previous = nullptr;
    for (std::string line; std::getline(order, line);) {
        const std::string name = line.substr(0, line.find('\t'));
        ASSERT_TRUE(measured.count(name)) << "levels.order names '" << name << "': " << line;
        const Difficulty& d = measured[name];
        EXPECT_EQ(line, name + "\t" + shareText(d));
        if (previous) {
            EXPECT_TRUE(
                previous->winningPlayouts > d.winningPlayouts ||
                (previous->winningPlayouts == d.winningPlayouts && previous->winningFirstJumps <= d.winningFirstJumps))
                << name << " is out of order";
        }
        previous = &d;
        names.push_back(name);
    }
    ASSERT_EQ(names.size(), measured.size()) << "levels.order does not list every level once";
    EXPECT_LE(measured[names.back()].share() * 10, measured[names.front()].share())
        << "the hardest level, " << names.back() << ", wins more than a tenth as often as the easiest, "
        << names.front();
}

}  // namespace
