// quillmara_solver <level file>: says whether a level can be won.
//
// The level is read with the game's own reader into an empty board, as the
// first game of a run reads it. Standard output gets a winning sequence, one
// jump per line as "from-row from-col to-row to-col"; standard error gets the
// number of positions searched and the time taken.
// Exit codes: 0 winnable, 1 not winnable, 2 the file cannot be opened or is a
// folder, or no single file was named.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/level_reader.h"
#include "tools/solver/solver.h"

namespace {
constexpr int EXIT_WINNABLE = 0;
constexpr int EXIT_NOT_WINNABLE = 1;
constexpr int EXIT_UNREADABLE = 2;
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <level file>\n", argc > 0 ? argv[0] : "quillmara_solver");
        return EXIT_UNREADABLE;
    }
    // A folder opens like a file but reads as nothing, which would pass for
    // an empty level that is won at once.
    std::error_code error;
    if (std::filesystem::is_directory(argv[1], error)) {
        std::fprintf(stderr, "quillmara_solver: '%s' is a folder, not a level file\n", argv[1]);
        return EXIT_UNREADABLE;
    }
    Board board{};
    board.fill(CELL_NONE);
    if (!readLevelFile(argv[1], board)) {
        std::fprintf(stderr, "quillmara_solver: cannot open level file '%s'\n", argv[1]);
        return EXIT_UNREADABLE;
    }

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
