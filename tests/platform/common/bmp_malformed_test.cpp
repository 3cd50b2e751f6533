// Files that are not usable bitmaps are refused with a reason, never with a
// crash or a giant allocation.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>

#include "platform/platform.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

std::string validFile() {
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.pixels = packRows(5, 3, 24, false, [](int x, int y) { return uint32_t(x * 0x300000 + y * 0x50); });
    return buildBmp(s);
}

void set32(std::string& file, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
}

// Decodes `content` written as a .Tex file; expects refusal with `reason` in
// the message and an empty image.
void expectRefused(const std::string& name, const std::string& content, const std::string& reason) {
    TempDir dir;
    writeFile("Tex/Board.Tex", content);
    platform::DecodedImage image;
    image.width = 9;
    std::string error;
    EXPECT_FALSE(platform::decodeBmpFile("Tex/Board.Tex", &image, &error)) << name;
    EXPECT_NE(error.find(reason), std::string::npos) << name << ": message was \"" << error << "\"";
    EXPECT_EQ(image.width, 0) << name;
    EXPECT_TRUE(image.pixels.empty()) << name;
}

TEST(BmpMalformed, MissingFolderOrNullArguments) {
    TempDir dir;
    platform::DecodedImage image;
    std::string error;
    EXPECT_FALSE(platform::decodeBmpFile("Tex/Missing.Tex", &image, &error));
    EXPECT_NE(error.find("cannot open Tex/Missing.Tex"), std::string::npos) << error;

    mkdir("Tex", 0755);
    EXPECT_FALSE(platform::decodeBmpFile("Tex", &image, &error)) << "a folder";
    EXPECT_FALSE(platform::decodeBmpFile(nullptr, &image, &error));
    writeFile("ok.Tex", validFile());
    EXPECT_FALSE(platform::decodeBmpFile("ok.Tex", nullptr, &error));
    EXPECT_TRUE(platform::decodeBmpFile("ok.Tex", &image, nullptr)) << "the reason is optional";
}

TEST(BmpMalformed, ShortOrForeignFiles) {
    const std::string file = validFile();
    expectRefused("empty", "", "too short");
    expectRefused("half a header", file.substr(0, 20), "truncated");
    expectRefused("no info header", file.substr(0, 40), "truncated");
    expectRefused("text renamed", "9 9 9 9 9 9 9 9 9\n1 1 1 1 1 1 1 1 1\n", "no BM signature");
    expectRefused("pixels cut short", file.substr(0, file.size() - 7), "pixel data truncated");
}

TEST(BmpMalformed, AbsurdHeaderFields) {
    const std::string file = validFile();
    std::string huge = file;
    set32(huge, 18, 100000);
    set32(huge, 22, 100000);
    expectRefused("100000x100000", huge, "too large");

    // RLE can describe a large image in a few bytes, so the size limit must
    // hold before any pixel is read.
    std::string rle = file;
    set32(rle, 18, 16384);
    set32(rle, 22, 16384);
    rle[28] = 8;
    set32(rle, 30, 1);
    expectRefused("16384x16384 RLE8", rle, "too large");

    // One 32-bit header field changed at a time.
    struct Patch {
        const char* name;
        size_t offset;
        uint32_t value;
        const char* reason;
    };
    const uint32_t pastTheEnd = static_cast<uint32_t>(file.size()) + 100;
    for (const Patch& p : {
             Patch{"height INT_MIN", 22, 0x80000000u, "too large"},  // top-down of 2^31 rows
             Patch{"negative width", 18, static_cast<uint32_t>(-5), "bad bitmap dimensions"},
             Patch{"zero height", 22, 0, "bad bitmap dimensions"},
             Patch{"pixel offset past the end", 10, pastTheEnd, "bad pixel data offset"},
             Patch{"pixel offset inside the header", 10, 20, "bad pixel data offset"},
             Patch{"header size 30", 14, 30, "unsupported bitmap header size"},
             Patch{"header size beyond the file", 14, 0xFFFFFFF0u, "truncated"},
             Patch{"JPEG compression", 30, 4, "unsupported compression 4"},
             Patch{"RLE8 at 24 bits", 30, 1, "unsupported compression 1"},
         }) {
        std::string patched = file;
        set32(patched, p.offset, p.value);
        expectRefused(p.name, patched, p.reason);
    }

    std::string bits = file;
    bits[28] = 7;
    expectRefused("7 bits per pixel", bits, "unsupported 7 bits");
}

TEST(BmpMalformed, BrokenRunLengthStream) {
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bits = 8;
    s.compression = 1;
    s.palette = {0x000000, 0xFFFFFF};
    s.pixels = encodeRle8(5, 3, [](int x, int) { return uint32_t(x % 2); });
    s.pixels.resize(s.pixels.size() - 6);  // no end of bitmap
    expectRefused("RLE8 without its end", buildBmp(s), "SDL_LoadBMP_RW failed");
}

// Random damage to every kind of file: the decoder may refuse or accept, but
// an accepted image must be consistent and nothing may crash.
TEST(BmpMalformed, RandomDamageNeverCrashes) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    BmpLayout rle;
    rle.width = 6;
    rle.height = 4;
    rle.bits = 4;
    rle.compression = 2;
    rle.palette = {0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
    rle.pixels = encodeRle4(6, 4, [](int x, int y) { return uint32_t((x / 2 + y) % 5); });
    BmpLayout pal;
    pal.width = 7;
    pal.height = 2;
    pal.bits = 1;
    pal.palette = {0, 0xFFFFFF};
    pal.pixels = packRows(7, 2, 1, false, [](int x, int) { return uint32_t(x % 2); });
    const std::string originals[] = {validFile(), buildBmp(rle), buildBmp(pal)};

    TempDir dir;
    for (const std::string& original : originals) {
        for (int round = 0; round < 200; ++round) {
            std::string file = original;
            const int damage = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < damage; ++i) file[random() % file.size()] = static_cast<char>(random());
            if (random() % 4 == 0) file.resize(random() % file.size());
            writeFile("damaged.Tex", file);
            platform::DecodedImage image;
            std::string error;
            if (platform::decodeBmpFile("damaged.Tex", &image, &error)) {
                ASSERT_GT(image.width, 0);
                ASSERT_GT(image.height, 0);
                ASSERT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height);
            } else {
                ASSERT_FALSE(error.empty());
            }
        }
    }
}

}  // namespace
