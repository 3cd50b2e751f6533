// The command-line solver, run as a separate program: its exit codes, its
// output format, and bad input.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

struct SolverRun {
    int exitCode = -1;  // -1 when the program did not exit normally (a crash)
    std::string out;
    std::string err;
};

// Runs the solver with `arguments` (shell words) in the current folder.
SolverRun runSolver(const std::string& arguments) {
    const std::string command = std::string("'") + QM_SOLVER_BINARY + "' " + arguments + " >solver.out 2>solver.err";
    const int status = std::system(command.c_str());
    SolverRun run;
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = readFile("solver.out");
    run.err = readFile("solver.err");
    return run;
}

const std::regex SUMMARY(R"(\d+ positions searched in \d+\.\d+ ms)");

// Only one way to win: (0,0) over (0,2) to (0,4), then down over (2,4).
const char* const UNIQUE_WIN =
    "2 0 2 0 1 0 0 0 0\n"
    "0 0 0 0 0 0 0 0 0\n"
    "0 0 0 0 2 0 0 0 0\n"
    "0 0 0 0 0 0 0 0 0\n"
    "0 0 0 0 1 0 0 0 0\n"
    "0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n";
constexpr const char* UNIQUE_WIN_JUMPS = "0 0 0 4\n0 4 4 4\n";

TEST(SolverProgram, WinnableLevelPrintsItsJumpsAndExitsZero) {
    TempDir dir;
    writeFile("level.txt", UNIQUE_WIN);
    const SolverRun run = runSolver("level.txt");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, UNIQUE_WIN_JUMPS);
    EXPECT_TRUE(std::regex_search(run.err, SUMMARY)) << run.err;
}

TEST(SolverProgram, LostLevelPrintsNoJumpAndExitsOne) {
    TempDir dir;
    // Neighbouring pieces never meet, however many holes surround them.
    writeFile("level.txt",
              levelText(boardFromPicture("o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  "
                                         "o o o o x x o o o  o o o o o o o o o  o o o o o o o o o  o o o o o o o o o  "
                                         "o o o o o o o o o")));
    const SolverRun run = runSolver("level.txt");
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("not winnable"), std::string::npos) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, SUMMARY)) << run.err;
}

TEST(SolverProgram, MissingFileFolderOrArgumentsExitTwo) {
    TempDir dir;
    SolverRun run = runSolver("no-such-level.txt");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("cannot open level file 'no-such-level.txt'"), std::string::npos) << run.err;

    // A folder would read as an empty board, won at once: refused instead.
    run = runSolver("'" + dir.path() + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("is a folder"), std::string::npos) << run.err;

    for (const char* arguments : {"", "level.txt level.txt"}) {
        writeFile("level.txt", UNIQUE_WIN);
        run = runSolver(arguments);
        EXPECT_EQ(run.exitCode, 2) << "arguments: " << arguments;
        EXPECT_EQ(run.out, "") << "arguments: " << arguments;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
    }
}

TEST(SolverProgram, MalformedContentIsReadAsTheGameReadsIt) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string content;
        int exitCode;
        const char* out;
    };
    const Case cases[] = {
        // Nothing readable: no piece, so won without a jump.
        {"empty file", "", 0, ""},
        {"text instead of numbers", "hello world\nsecond line\n", 0, ""},
        // Out-of-range codes are no holes; a too-large number saturates.
        {"huge and negative codes", "2 99999999999999999999 2 -2 1\n", 0, "0 0 0 4\n"},
    };
    for (const Case& each : cases) {
        writeFile("level.txt", each.content);
        const SolverRun run = runSolver("level.txt");
        EXPECT_EQ(run.exitCode, each.exitCode) << each.what << "\n" << run.err;
        EXPECT_EQ(run.out, each.out) << each.what;
    }

    // Any bytes at all get an answer, not a crash.
    std::string binary;
    for (int round = 0; round < 4; ++round) {
        for (int byte = 0; byte < 256; ++byte) binary += static_cast<char>(byte * (round + 1));
    }
    writeFile("level.txt", binary);
    const SolverRun run = runSolver("level.txt");
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << "exit " << run.exitCode;
    EXPECT_TRUE(std::regex_search(run.err, SUMMARY)) << run.err;
}

TEST(SolverProgram, ShippedLevelPrintsOneWellFormedLinePerJump) {
    TempDir dir;
    const SolverRun run = runSolver(std::string("'") + QM_SHIPPED_LEVEL + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::regex line(R"([0-8] [0-8] [0-8] [0-8])");
    std::istringstream in(run.out);
    int lines = 0;
    for (std::string text; std::getline(in, text); ++lines) {
        EXPECT_TRUE(std::regex_match(text, line)) << "line " << lines << ": '" << text << "'";
    }
    EXPECT_GE(lines, 15);
    EXPECT_EQ(run.out.back(), '\n');
}

}  // namespace

namespace {

// Exactly nine lines of nine codes 0, 1 or 2 between single spaces.
bool isLevelText(const std::string& text) {
    constexpr std::size_t LINE = 2 * BOARD_SIZE;
    if (text.size() != BOARD_SIZE * LINE) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char expected = i % LINE == LINE - 1 ? '\n' : i % 2 ? ' ' : '\0';
        if (expected ? text[i] != expected : (text[i] < '0' || text[i] > '2')) return false;
    }
    return true;
}

TEST(SolverProgram, GenerateIsReproducibleAndPrintsOnlyALevel) {
    TempDir dir;
    const SolverRun first = runSolver("--generate --seed 4294967295 --pieces 20");
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_TRUE(isLevelText(first.out)) << first.out;
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(runSolver("--pieces 20 --seed 4294967295 --generate").exitCode, 2) << "--generate comes first";
    EXPECT_EQ(runSolver("--generate --pieces 20 --seed 004294967295").out, first.out);
    // Without a seed each run draws its own.
    const SolverRun drawn = runSolver("--generate");
    EXPECT_EQ(drawn.exitCode, 0) << drawn.err;
    EXPECT_TRUE(isLevelText(drawn.out)) << drawn.out;
    EXPECT_NE(runSolver("--generate").out, drawn.out);
}

TEST(SolverProgram, RequestsItCannotMeetExitTwoWithOneLineAndNoOutput) {
    TempDir dir;
    for (const char* arguments :
         {"--generate --seed", "--generate --seed -1", "--generate --seed 4294967296", "--generate --seed 12x",
          "--generate --seed ''", "--generate --seed 04294967296", "--generate --pieces 7", "--generate --pieces 21",
          "--generate --pieces 0x10", "--generate --seed 1 --seed 1", "--generate --level", "--stats", "--stats a b",
          "--list-levels", "--help me", "--bogus level.txt"}) {
        const SolverRun run = runSolver(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    for (const char* arguments : {"--generate --seed 1 --seed 1", "--generate --pieces 21", "--generate --seed x"}) {
        const std::string err = runSolver(arguments).err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << arguments << ": " << err;
    }
}

TEST(SolverProgram, HelpNamesThePieceCountsOnStdout) {
    TempDir dir;
    const SolverRun run = runSolver("--help");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* text : {"--stats", "--generate", "--seed", "--pieces 8..20 (default 12)", "--list-levels"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text << " missing from\n" << run.out;
}

TEST(SolverProgram, StatsAndListLevelsMeasureReproducibly) {
    TempDir dir;
    writeFile("levels/unique.txt", UNIQUE_WIN);
    writeFile("levels/notes.md", "not a level");
    const SolverRun stats = runSolver("--stats levels/unique.txt");
    EXPECT_EQ(stats.exitCode, 0) << stats.err;
    // One jump at a time is open, so every random game wins.
    for (const char* line : {"pieces: 3\n", "playouts: 10000 (seed 1)\n", "winning playouts: 10000\n",
                             "share: 1.0000\n", "first jumps: 1\n", "winning first jumps: 1\n"})
        EXPECT_NE(stats.out.find(line), std::string::npos) << line << " missing from\n" << stats.out;
    EXPECT_EQ(runSolver("--stats levels/unique.txt").out, stats.out);
    const std::string share = stats.out.substr(stats.out.find("share: ") + 7, 6);

    const SolverRun listed = runSolver("--list-levels levels");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "unique\t" + share + "\n");

    writeFile("levels/stuck.txt", "2 2\n");
    const SolverRun stuck = runSolver("--stats levels/stuck.txt");
    EXPECT_EQ(stuck.exitCode, 1);
    EXPECT_NE(stuck.out.find("winning playouts: 0\n"), std::string::npos) << stuck.out;
    const SolverRun withStuck = runSolver("--list-levels levels");
    EXPECT_EQ(withStuck.exitCode, 1);
    EXPECT_EQ(withStuck.out, "unique\t" + share + "\nstuck\t0.0000\n");
    EXPECT_NE(withStuck.err.find("'stuck' cannot be won"), std::string::npos) << withStuck.err;

    for (const char* arguments : {"--stats no-such.txt", "--stats levels", "--list-levels no-such-folder"}) {
        const SolverRun run = runSolver(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

}  // namespace
