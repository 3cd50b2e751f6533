// Start-up work against reading the same bytes from the page cache: the image
// decoder alone on the largest image, by its straight path and by SDL's
// loader, and loadAssets (BM_LoadAssets, in frame_benchmark.cpp) against
// reading every image file it decodes. Run from the run folder's generated
// data. In a loop the memory comes back warm, so these are the CPU costs;
// the first start also pays for fresh pages (docs/performance.md).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display/image_list.h"
#include "platform/common/bmp_decode.h"

namespace {

// Runs in the run folder while it lives.
class InRunFolder {
public:
    InRunFolder() {
        char here[4096];
        if (getcwd(here, sizeof here) != nullptr) previous_ = here;
        ok_ = chdir(QM_RUN_DIR) == 0;
    }
    ~InRunFolder() {
        if (!previous_.empty() && chdir(previous_.c_str()) != 0) std::perror("chdir back");
    }
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

constexpr const char* LARGEST_IMAGE = "Tex/Board.Tex";  // 800x600, 24 bits

// Every byte of `path` into `buffer` (kept between calls), as one read does.
bool readWhole(const char* path, std::vector<char>* buffer) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    std::fseek(file, 0, SEEK_END);
    buffer->resize(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    const bool ok = std::fread(buffer->data(), 1, buffer->size(), file) == buffer->size();
    std::fclose(file);
    return ok;
}

void BM_ReadImageBytes(benchmark::State& state) {
    InRunFolder folder;
    std::vector<char> buffer;
    for (auto _ : state) {
        if (!readWhole(LARGEST_IMAGE, &buffer)) return state.SkipWithError("no Tex/Board.Tex in the run folder");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(buffer.size()) * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadImageBytes)->Unit(benchmark::kMicrosecond);

// The decoder as the game calls it: file to RGB565 pixels.
void BM_DecodeImage(benchmark::State& state) {
    InRunFolder folder;
    platform::DecodedImage565 image;
    for (auto _ : state) {
        if (!platform::decodeBmpFile565(LARGEST_IMAGE, &image, nullptr))
            return state.SkipWithError("no Tex/Board.Tex in the run folder");
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMicrosecond);

// The same file through SDL's loader and conversions, as before the
// straight path.
void BM_DecodeImageThroughSdl(benchmark::State& state) {
    InRunFolder folder;
    platform::DecodedImage565 image;
    for (auto _ : state) {
        SDL_RWops* rw = SDL_RWFromFile(LARGEST_IMAGE, "rb");
        const bool ok = rw != nullptr && bmpdecode::decode(rw, &image, nullptr, bmpdecode::Path::SDL_ONLY);
        if (rw != nullptr) SDL_RWclose(rw);
        if (!ok) return state.SkipWithError("no Tex/Board.Tex in the run folder");
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_DecodeImageThroughSdl)->Unit(benchmark::kMicrosecond);

// Every image file loadAssets decodes, read whole (the sounds it only checks).
void BM_ReadAssetBytes(benchmark::State& state) {
    InRunFolder folder;
    std::vector<char> buffer;
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const ImageEntry& image : IMAGES) {
            if (!readWhole(image.path, &buffer)) return state.SkipWithError("an image is missing from the run folder");
            bytes += static_cast<int64_t>(buffer.size());
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.SetBytesProcessed(bytes * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadAssetBytes)->Unit(benchmark::kMillisecond);

}  // namespace
