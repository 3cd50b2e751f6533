// quillmara-solve: says whether a level can be won, measures how hard it is,
// and makes new winnable levels.
//
//   quillmara-solve LEVEL               a winning sequence on stdout, one jump
//                                       per line as "from-row from-col to-row
//                                       to-col"; positions searched and time
//                                       on stderr
//   quillmara-solve --stats LEVEL       the level's difficulty figures
//   quillmara-solve --generate [--seed N] [--pieces N]
//                                       a new winnable level: nine lines of
//                                       nine codes, nothing else
//   quillmara-solve --list-levels FOLDER
//                                       NAME<TAB>share for every NAME.txt of
//                                       FOLDER, easy first
//   quillmara-solve --help
//
// A level is read with the game's own reader into an empty board, as the
// first game of a run reads it. Exit codes: 0 winnable (or done), 1 not
// winnable (for --list-levels: some level of the folder), 2 bad input: a
// level that cannot be opened or is a folder, or a wrong command line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "game/level_reader.h"
#include "tools/solver/difficulty.h"
#include "tools/solver/generator.h"
#include "tools/solver/solver.h"

namespace {

constexpr int EXIT_WINNABLE = 0;
constexpr int EXIT_NOT_WINNABLE = 1;
constexpr int EXIT_BAD_INPUT = 2;

constexpr const char* PROGRAM = "quillmara-solve";

void printUsage(FILE* to) {
    std::fprintf(to,
                 "usage: %s LEVEL                  print a winning sequence of jumps\n"
                 "       %s --stats LEVEL          print the level's difficulty (%d random playouts,\n"
                 "                                              seed %llu)\n"
                 "       %s --generate [--seed N] [--pieces N]\n"
                 "                                              print a new winnable level; N for --seed is\n"
                 "                                              0..4294967295 (default: a random seed), for\n"
                 "                                              --pieces %d..%d (default %d)\n"
                 "       %s --list-levels FOLDER   print NAME<TAB>share for each NAME.txt, easy first\n"
                 "       %s --help\n"
                 "Exit status: 0 winnable, 1 not winnable, 2 bad input.\n",
                 PROGRAM, PROGRAM, PLAYOUTS, static_cast<unsigned long long>(PLAYOUT_SEED), PROGRAM,
                 GENERATED_PIECES_MIN, GENERATED_PIECES_MAX, GENERATED_PIECES_DEFAULT, PROGRAM, PROGRAM);
}

int refuse(const std::string& message) {
    std::fprintf(stderr, "%s: %s (see %s --help)\n", PROGRAM, message.c_str(), PROGRAM);
    return EXIT_BAD_INPUT;
}

// A folder opens like a file but reads as nothing, which would pass for an
// empty level that is won at once.
bool readLevel(const char* path, Board* board, std::string* error) {
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) {
        *error = std::string("'") + path + "' is a folder, not a level file";
        return false;
    }
    board->fill(CELL_NONE);
    if (!readLevelFile(path, *board)) {
        *error = std::string("cannot open level file '") + path + "'";
        return false;
    }
    return true;
}

// A plain decimal number within 0..max, nothing else.
bool parseNumber(const char* text, uint64_t max, uint64_t* value) {
    if (*text == '\0') return false;
    while (text[0] == '0' && text[1] != '\0') ++text;
    const std::size_t length = std::strlen(text);
    if (length > 10) return false;
    uint64_t result = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        result = result * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (result > max) return false;
    *value = result;
    return true;
}

int solve(const char* path) {
    Board board{};
    std::string error;
    if (!readLevel(path, &board, &error)) return refuse(error);
    const auto start = std::chrono::steady_clock::now();
    const Solution solution = solveBoard(board);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    for (const Jump& jump : solution.jumps) {
        std::printf("%d %d %d %d\n", jump.fromRow, jump.fromCol, jump.toRow, jump.toCol);
    }
    std::fprintf(stderr, "%s: %llu positions searched in %.3f ms\n", solution.winnable ? "winnable" : "not winnable",
                 static_cast<unsigned long long>(solution.positionsSearched), elapsed.count());
    return solution.winnable ? EXIT_WINNABLE : EXIT_NOT_WINNABLE;
}

int stats(const char* path) {
    Board board{};
    std::string error;
    if (!readLevel(path, &board, &error)) return refuse(error);
    const Difficulty d = measureDifficulty(board);
    std::printf(
        "pieces: %d\nwinnable: %s\nplayouts: %d (seed %llu)\nwinning playouts: %d\nshare: %s\n"
        "first jumps: %d\nwinning first jumps: %d\n",
        d.pieces, d.winnable ? "yes" : "no", PLAYOUTS, static_cast<unsigned long long>(PLAYOUT_SEED), d.winningPlayouts,
        shareText(d).c_str(), d.firstJumps, d.winningFirstJumps);
    return d.winnable ? EXIT_WINNABLE : EXIT_NOT_WINNABLE;
}

int generate(int argc, char** argv) {
    uint64_t seed = std::random_device{}();
    uint64_t pieces = GENERATED_PIECES_DEFAULT;
    bool seedGiven = false, piecesGiven = false;
    for (int i = 2; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option != "--seed" && option != "--pieces") return refuse("unknown option '" + option + "'");
        bool& given = option == "--seed" ? seedGiven : piecesGiven;
        if (given) return refuse(option + " given twice");
        given = true;
        if (i + 1 >= argc) return refuse(option + " needs a number");
        const bool ok = option == "--seed"
                            ? parseNumber(argv[i + 1], UINT32_MAX, &seed)
                            : parseNumber(argv[i + 1], GENERATED_PIECES_MAX, &pieces) && pieces >= GENERATED_PIECES_MIN;
        if (!ok) {
            return refuse(option == "--seed"
                              ? "--seed takes a number in 0..4294967295, not '" + std::string(argv[i + 1]) + "'"
                              : "--pieces takes a number in " + std::to_string(GENERATED_PIECES_MIN) + ".." +
                                    std::to_string(GENERATED_PIECES_MAX) + ", not '" + argv[i + 1] + "'");
        }
    }
    const Board board = generateLevel(static_cast<uint32_t>(seed), static_cast<int>(pieces));
    std::fputs(levelText(board).c_str(), stdout);
    return EXIT_WINNABLE;
}

int listLevels(const char* folder) {
    namespace fs = std::filesystem;
    std::error_code failure;
    std::vector<RankedLevel> levels;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, failure)) {
        if (entry.path().extension() != ".txt") continue;
        Board board{};
        std::string error;
        if (!readLevel(entry.path().c_str(), &board, &error)) return refuse(error);
        levels.push_back({entry.path().stem().string(), measureDifficulty(board)});
    }
    if (failure) return refuse(std::string("cannot read the folder '") + folder + "': " + failure.message());
    sortEasyFirst(levels);
    bool allWinnable = true;
    for (const RankedLevel& level : levels) {
        std::printf("%s\t%s\n", level.name.c_str(), shareText(level.difficulty).c_str());
        if (!level.difficulty.winnable) {
            std::fprintf(stderr, "%s: level '%s' cannot be won\n", PROGRAM, level.name.c_str());
            allWinnable = false;
        }
    }
    return allWinnable ? EXIT_WINNABLE : EXIT_NOT_WINNABLE;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" && argc == 2) {
        printUsage(stdout);
        return EXIT_WINNABLE;
    }
    if (first == "--generate") return generate(argc, argv);
    if (first == "--stats" && argc == 3) return stats(argv[2]);
    if (first == "--list-levels" && argc == 3) return listLevels(argv[2]);
    if (argc == 2 && first.rfind("--", 0) != 0) return solve(argv[1]);
    printUsage(stderr);
    return EXIT_BAD_INPUT;
}
