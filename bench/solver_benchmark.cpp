// Solver speed on the shipped level and on the slowest boards found so far
// (by a random hill-climb over boards on one lattice, maximising the
// positions searched), and the generator's speed.
#include <benchmark/benchmark.h>

#include <sstream>

#include "game/level_reader.h"
#include "tools/solver/generator.h"
#include "tools/solver/solver.h"

namespace {

Board fromText(const char* text) {
    Board board{};
    std::istringstream in(text);
    for (CellCode& code : board) in >> code;
    return board;
}

void solve(benchmark::State& state, const Board& board) {
    uint64_t positions = 0;
    for (auto _ : state) {
        const Solution solution = solveBoard(board);
        positions = solution.positionsSearched;
        benchmark::DoNotOptimize(solution.winnable);
    }
    state.counters["positions"] = static_cast<double>(positions);
}

void BM_ShippedLevel(benchmark::State& state) {
    Board level{};
    if (!readLevelFile(QM_SHIPPED_LEVEL, level)) {
        state.SkipWithError("cannot open the shipped level");
        return;
    }
    solve(state, level);
}
BENCHMARK(BM_ShippedLevel)->Unit(benchmark::kMillisecond);

// Winnable, but the search wanders through 800,000 dead positions first.
void BM_SlowWinnable(benchmark::State& state) {
    solve(state, fromText("2 0 2 0 0 0 2 0 2  0 0 0 0 0 0 0 0 0  1 0 2 0 2 0 2 0 1  0 0 0 0 0 0 0 0 0  "
                          "2 0 2 0 2 0 2 0 2  0 0 0 0 0 0 0 0 0  2 0 2 0 1 0 2 0 2  0 0 0 0 0 0 0 0 0  "
                          "2 0 0 0 2 0 2 0 2"));
}
BENCHMARK(BM_SlowWinnable)->Unit(benchmark::kMillisecond);

// Not winnable: every reachable position is searched.
void BM_SlowLost(benchmark::State& state) {
    solve(state, fromText("2 0 2 0 0 0 2 0 2  0 0 0 0 0 0 0 0 0  2 0 2 0 2 0 2 0 1  0 0 0 0 0 0 0 0 0  "
                          "2 0 2 0 2 0 2 0 2  0 0 0 0 0 0 0 0 0  1 0 2 0 2 0 2 0 0  0 0 0 0 0 0 0 0 0  "
                          "2 0 2 0 0 0 2 0 2"));
}
BENCHMARK(BM_SlowLost)->Unit(benchmark::kMillisecond);

// A full lattice of 25 holes with one piece missing, on the even lattice.
void BM_FullLatticeOneEmpty(benchmark::State& state) {
    Board board{};
    for (int r = 0; r < BOARD_SIZE; r += 2) {
        for (int c = 0; c < BOARD_SIZE; c += 2) board[cellIndex(r, c)] = CELL_PIECE;
    }
    board[cellIndex(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))] = CELL_EMPTY;
    solve(state, board);
}
BENCHMARK(BM_FullLatticeOneEmpty)->Args({4, 4})->Args({0, 0})->Args({0, 2})->Unit(benchmark::kMillisecond);

}  // namespace

// One level per repetition, each from the next seed: the median of the
// repetitions is the time a player waits for `quillmara --random`.
void BM_GenerateLevel(benchmark::State& state) {
    static uint32_t seed = 0;
    for (auto _ : state) {
        const Board level = generateLevel(seed++, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(level.data());
    }
}
BENCHMARK(BM_GenerateLevel)
    ->Arg(GENERATED_PIECES_DEFAULT)
    ->Arg(GENERATED_PIECES_MAX)
    ->Iterations(1)
    ->Repetitions(201)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
