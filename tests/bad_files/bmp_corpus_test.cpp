// The malformed-bitmap corpus (fuzz/bmp_corpus, written by
// fuzz/make_bmp_corpus.py) through the decoder, by both of its paths. The
// sanitizer build runs this too, so reads past a buffer, leaks and undefined
// arithmetic on the way from the file to the decoded pixels are caught here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/common/bmp_decode.h"
#include "platform/platform.h"

namespace {

std::vector<std::filesystem::path> corpus() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(QM_BMP_CORPUS))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Every file either decodes to a consistent image or is refused with a
// reason; the undamaged originals ("ok-*") decode to their 8x6 pixels.
TEST(BmpCorpus, EveryFileDecodesConsistentlyOrIsRefusedWithAReason) {
    const std::vector<std::filesystem::path> files = corpus();
    ASSERT_GT(files.size(), 500u) << "corpus missing from " << QM_BMP_CORPUS;
    size_t accepted = 0;
    for (const std::filesystem::path& file : files) {
        const std::string name = file.filename().string();
        platform::DecodedImage image;
        image.width = -3;
        std::string error;
        const bool decoded = platform::decodeBmpFile(file.c_str(), &image, &error);
        if (name.rfind("ok-", 0) == 0) {
            EXPECT_TRUE(decoded) << name << ": " << error;
            EXPECT_EQ(image.width, 8) << name;
            EXPECT_EQ(image.height, 6) << name;
        }
        if (decoded) {
            ++accepted;
            ASSERT_GT(image.width, 0) << name;
            ASSERT_GT(image.height, 0) << name;
            ASSERT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height) << name;
            for (uint32_t pixel : image.pixels) ASSERT_EQ(pixel >> 24, 0u) << name << ": a fourth byte survived";
        } else {
            EXPECT_FALSE(error.empty()) << name;
            EXPECT_EQ(image.width, 0) << name;
            EXPECT_TRUE(image.pixels.empty()) << name;
        }
    }
    std::printf("%zu of %zu corpus files decode\n", accepted, files.size());
}

// The straight path for uncompressed 24- and 32-bit files gives SDL's verdict
// and SDL's pixels on every damaged file too.
TEST(BmpCorpus, StraightPathMatchesSdlOnEveryFile) {
    for (const std::filesystem::path& file : corpus()) {
        const std::string name = file.filename().string();
        platform::DecodedImage straight, sdl;
        std::string straightError, sdlError;
        SDL_RWops* rw = SDL_RWFromFile(file.c_str(), "rb");
        ASSERT_NE(rw, nullptr) << name;
        const bool straightOk = bmpdecode::decode(rw, &straight, &straightError, bmpdecode::Path::FAST_WHERE_IT_FITS);
        const bool sdlOk = bmpdecode::decode(rw, &sdl, &sdlError, bmpdecode::Path::SDL_ONLY);
        SDL_RWclose(rw);
        ASSERT_EQ(straightOk, sdlOk) << name << ": " << straightError << " / " << sdlError;
        EXPECT_EQ(straight.width, sdl.width) << name;
        EXPECT_EQ(straight.height, sdl.height) << name;
        EXPECT_TRUE(straight.pixels == sdl.pixels) << name;
    }
}

}  // namespace
