// Whole-frame copies against memcpy of the same bytes in the same run, the
// pointer-sized copy, and the screenshot (encoding, and captureScreen with
// its file write).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "bench/bench_game.h"
#include "display/screen_capture.h"
#include "display/surface.h"

namespace {

// A frame-sized image with a third of its pixels pure green, in runs of 8,
// like the board backdrop.
Surface makeFrame(bool keyed) {
    Surface s;
    createSurface(&s, 800, 600);
    std::mt19937 rng(7);
    for (size_t i = 0; i < s.pixels.size(); i += 8) {
        const uint16_t value = rng() % 3 == 0 ? 0x07E0 : static_cast<uint16_t>(rng());
        for (size_t j = i; j < i + 8 && j < s.pixels.size(); ++j) s.pixels[j] = value;
    }
    if (keyed) setColorKey(&s, 0x07E0);
    return s;
}

constexpr int64_t FRAME_BYTES = 800 * 600 * 2;

void BM_KeyedFullFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(true);
    for (auto _ : state) {
        copyKeyed(&target, 0, 0, source);
        benchmark::DoNotOptimize(target.pixels.data());
    }
    state.SetBytesProcessed(FRAME_BYTES * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_KeyedFullFrame);

void BM_OpaqueFullFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(false);
    for (auto _ : state) {
        copyOpaque(&target, 0, 0, source);
        benchmark::DoNotOptimize(target.pixels.data());
    }
    state.SetBytesProcessed(FRAME_BYTES * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_OpaqueFullFrame);

// The yardstick for both copies above: the same 960,000 bytes, one memcpy.
void BM_MemcpyFullFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(false);
    for (auto _ : state) {
        std::memcpy(target.pixels.data(), source.pixels.data(), FRAME_BYTES);
        benchmark::DoNotOptimize(target.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(FRAME_BYTES * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_MemcpyFullFrame);

// A pointer-sized keyed copy: the odd width exercises the row tail.
void BM_KeyedPointer(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(true);
    const Rect frame{38, 0, 76, 27};
    for (auto _ : state) {
        copyKeyed(&target, 400, 300, source, &frame);
        benchmark::DoNotOptimize(target.pixels.data());
    }
}
BENCHMARK(BM_KeyedPointer);

void BM_FillFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    for (auto _ : state) {
        fillSurface(&target, 0x1234);
        benchmark::DoNotOptimize(target.pixels.data());
    }
    state.SetBytesProcessed(FRAME_BYTES * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_FillFrame);

void BM_EncodeScreenshot(benchmark::State& state) {
    const Surface picture = makeFrame(false);
    for (auto _ : state) benchmark::DoNotOptimize(encodeScreenshot(picture.pixels.data()));
}
BENCHMARK(BM_EncodeScreenshot)->Unit(benchmark::kMicrosecond);

// F9: the last presented frame encoded and written to GAME0.bmp in a fresh
// temporary folder (removed after every capture, so the name is free again).
void BM_CaptureScreen(benchmark::State& state) {
    bench::BenchGame game(QM_RUN_DIR);
    if (!game.readyFor(state)) return;
    game.presenting(true);
    game.app.stepFrame();
    char folder[] = "/tmp/quillmara-bench-XXXXXX";
    char here[PATH_MAX];
    if (mkdtemp(folder) == nullptr || getcwd(here, sizeof here) == nullptr || chdir(folder) != 0) {
        state.SkipWithError("no temporary folder");
        return;
    }
    for (auto _ : state) {
        screenshotCounter = 0;
        captureScreen();
        state.PauseTiming();
        unlink("GAME0.bmp");
        state.ResumeTiming();
    }
    if (chdir(here) != 0 || rmdir(folder) != 0) state.SkipWithError("cannot clean up the temporary folder");
}
BENCHMARK(BM_CaptureScreen)->Unit(benchmark::kMillisecond);

}  // namespace
