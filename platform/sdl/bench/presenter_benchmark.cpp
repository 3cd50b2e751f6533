// Speed of presenting at 1024x768 on a 32-bit surface, the common case
// (the window surface under Xvfb at 24 bits is 4 bytes a pixel). Pushing to
// the X server is not included: that is measured by scripts/measure.sh.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "platform/sdl/presenter.h"

namespace {

struct Bench {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 1024, 768, 32, SDL_PIXELFORMAT_RGB888);
    sdlbackend::Presenter presenter{surface->format, 1024, 768};
    sdlbackend::PixelTarget target{static_cast<uint8_t*>(surface->pixels), surface->pitch, 1024, 768, 4};
    std::vector<uint16_t> picture = std::vector<uint16_t>(platform::PICTURE_PIXELS, 0x1234);
    std::vector<sdlbackend::WindowRect> rects;
    ~Bench() { SDL_FreeSurface(surface); }
};

void UnchangedFrame(benchmark::State& state) {
    Bench b;
    b.presenter.present(b.picture.data(), b.target, &b.rects);
    for (auto _ : state) benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects));
}
BENCHMARK(UnchangedFrame);

// The game's usual unchanged frame: its change tiles say nothing changed.
void UnchangedFrameHinted(benchmark::State& state) {
    Bench b;
    std::vector<uint8_t> none(platform::PRESENT_TILES_X * platform::PRESENT_TILES_Y, 0);
    b.presenter.present(b.picture.data(), b.target, &b.rects);
    for (auto _ : state)
        benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects, none.data()));
}
BENCHMARK(UnchangedFrameHinted);

// The menu's usual frame: the 30x27 pointer moves a little.
void MovingPointer(benchmark::State& state) {
    Bench b;
    int x = 100;
    for (auto _ : state) {
        for (int y = 300; y < 327; ++y) std::fill_n(b.picture.begin() + y * 800 + x, 30, 0x1234);
        x = x == 100 ? 104 : 100;
        for (int y = 300; y < 327; ++y) std::fill_n(b.picture.begin() + y * 800 + x, 30, 0xFFFF);
        benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects));
    }
}
BENCHMARK(MovingPointer);

// The same, with the tiles under the old and the new pointer flagged.
void MovingPointerHinted(benchmark::State& state) {
    Bench b;
    std::vector<uint8_t> hints(platform::PRESENT_TILES_X * platform::PRESENT_TILES_Y, 0);
    for (int ty = 300 / 16; ty <= 327 / 16; ++ty)
        for (int tx = 100 / 16; tx <= 134 / 16; ++tx) hints[ty * platform::PRESENT_TILES_X + tx] = 1;
    int x = 100;
    for (auto _ : state) {
        for (int y = 300; y < 327; ++y) std::fill_n(b.picture.begin() + y * 800 + x, 30, 0x1234);
        x = x == 100 ? 104 : 100;
        for (int y = 300; y < 327; ++y) std::fill_n(b.picture.begin() + y * 800 + x, 30, 0xFFFF);
        benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects, hints.data()));
    }
}
BENCHMARK(MovingPointerHinted);

// The scaler alone: the whole picture to 1024x768, 4 bytes a pixel.
void ScaleWholeFrame(benchmark::State& state) {
    Bench b;
    std::vector<uint32_t> table;
    sdlbackend::buildColourTable(b.surface->format, &table);
    const sdlbackend::PictureRect all{0, 0, platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT};
    for (auto _ : state) {
        b.presenter.scaler().scale(b.picture.data(), all, table.data(), b.target);
        benchmark::DoNotOptimize(b.surface->pixels);
    }
}
BENCHMARK(ScaleWholeFrame)->Unit(benchmark::kMicrosecond);

// After an expose or a resize, and for every screen change.
void WholeFrame(benchmark::State& state) {
    Bench b;
    uint16_t value = 0;
    for (auto _ : state) {
        std::fill(b.picture.begin(), b.picture.end(), ++value);
        benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects));
    }
}
BENCHMARK(WholeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
