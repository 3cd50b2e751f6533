// Speed of presenting at 1024x768 on a 32-bit surface, the common case:
//   sdl_presenter_benchmark [--benchmark_filter=...]
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

// After an expose or a resize, and for every screen change.
void WholeFrame(benchmark::State& state) {
    Bench b;
    uint16_t value = 0;
    for (auto _ : state) {
        std::fill(b.picture.begin(), b.picture.end(), ++value);
        benchmark::DoNotOptimize(b.presenter.present(b.picture.data(), b.target, &b.rects));
    }
}
BENCHMARK(WholeFrame);

}  // namespace

BENCHMARK_MAIN();
