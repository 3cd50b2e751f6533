// Composing whole frames of each screen with the generated art:
//   Steady: the frame the game draws thirty times a second, which repeats
//           the one before it except for the animated pointer;
//   Full:   the same frame over a picture that differs everywhere (the first
//           frame of a screen), so every fill and copy really writes.
// Memcpy/<screen> copies the bytes that screen's fills and copies write, in
// one block, as the yardstick for the Full frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_game.h"
#include "platform/headless/headless.h"

namespace {

constexpr uint16_t POISON = 0xF81F;

struct Screen {
    const char* name;
    void (*setUp)(GameApp& app);
};

void mainMenuHovered(GameApp& app) {
    app.state = STATE_MAIN_MENU;
    headless::setCursor(330 + 76, 160 + 22);  // inside Start
}

void options(GameApp& app) {
    app.state = STATE_OPTIONS;
    headless::setCursor(20, 420);
}

void bestTimes(GameApp& app) {
    app.state = STATE_HIGH_SCORES;
    headless::setCursor(20, 420);
}

// The shipped level, as a new game starts it, with a piece that can jump
// selected (it is drawn lifted, over a brass seat).
void playingSelected(GameApp& app) {
    headless::setCursor(400, 300);
    app.state = STATE_NEW_GAME;
    app.stepFrame();
    for (int row = 0; row < BOARD_SIZE && !app.pieceSelected; ++row)
        for (int col = 0; col < BOARD_SIZE && !app.pieceSelected; ++col)
            if (app.board[cellIndex(row, col)] == CELL_PIECE && app.canJump(row, col)) {
                app.pieceSelected = true;
                app.selectedRow = row;
                app.selectedCol = col;
            }
}

void won(GameApp& app) {
    playingSelected(app);
    app.state = STATE_WON;
    app.finalSeconds = 3723;
}

const Screen SCREENS[] = {
    {"MainMenuHovered", mainMenuHovered}, {"Options", options}, {"BestTimes", bestTimes},
    {"PlayingSelected", playingSelected}, {"Won", won},
};

void composeFrame(benchmark::State& state, const Screen& screen, bool full) {
    bench::BenchGame game(QM_RUN_DIR);
    if (!game.readyFor(state)) return;
    screen.setUp(game.app);
    game.app.stepFrame();
    game.app.stepFrame();
    for (auto _ : state) {
        if (full) {
            state.PauseTiming();
            fillSurface(game.app.backSurface.get(), POISON);
            state.ResumeTiming();
        }
        game.app.stepFrame();
    }
    const double bytes = bench::bytesWrittenByLastFrame(game.app);
    state.counters["drawn_bytes"] = bytes;
    if (full) state.SetBytesProcessed(static_cast<int64_t>(bytes) * static_cast<int64_t>(state.iterations()));
}

void memcpyOfScreen(benchmark::State& state, const Screen& screen) {
    size_t bytes = 0;
    {
        bench::BenchGame game(QM_RUN_DIR);
        if (!game.readyFor(state)) return;
        screen.setUp(game.app);
        game.app.stepFrame();
        bytes = static_cast<size_t>(bench::bytesWrittenByLastFrame(game.app));
    }
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * static_cast<int64_t>(state.iterations()));
}

// A focus regain: the twenty images decoded and converted, the audio
// reopened and the sounds loaded (all from the page cache after the first).
void BM_LoadAssets(benchmark::State& state) {
    bench::BenchGame game(QM_RUN_DIR);
    if (!game.readyFor(state)) return;
    game.presenting(true);
    for (auto _ : state) {
        game.app.releaseAll();
        benchmark::DoNotOptimize(game.app.loadAssets());
    }
}
BENCHMARK(BM_LoadAssets)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool registered = [] {
    for (const Screen& screen : SCREENS) {
        benchmark::RegisterBenchmark((std::string("BM_Frame/Steady/") + screen.name).c_str(), composeFrame, screen,
                                     false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_Frame/Full/") + screen.name).c_str(), composeFrame, screen, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_Memcpy/") + screen.name).c_str(), memcpyOfScreen, screen)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
