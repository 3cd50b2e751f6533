// Per-frame costs of the display: whole-frame copies (the background and the
// backdrop are 800x600) and the screenshot encoder.
#include <benchmark/benchmark.h>

#include <random>

#include "display/screen_capture.h"
#include "display/surface.h"

namespace {

// A frame-sized image with a third of its pixels pure green, in runs, like
// the board backdrop.
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

void BM_KeyedFullFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(true);
    for (auto _ : state) {
        copyKeyed(&target, 0, 0, source);
        benchmark::DoNotOptimize(target.pixels.data());
    }
}
BENCHMARK(BM_KeyedFullFrame);

void BM_OpaqueFullFrame(benchmark::State& state) {
    Surface target = makeFrame(false);
    const Surface source = makeFrame(false);
    for (auto _ : state) {
        copyOpaque(&target, 0, 0, source);
        benchmark::DoNotOptimize(target.pixels.data());
    }
}
BENCHMARK(BM_OpaqueFullFrame);

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

void BM_EncodeScreenshot(benchmark::State& state) {
    const Surface picture = makeFrame(false);
    for (auto _ : state) benchmark::DoNotOptimize(encodeScreenshot(picture.pixels.data()));
}
BENCHMARK(BM_EncodeScreenshot);

}  // namespace
