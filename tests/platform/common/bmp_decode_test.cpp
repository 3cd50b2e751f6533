// Every bitmap variant the game's images may come in decodes to the same
// 0x00RRGGBB pixels; the fourth byte of 32-bit files never becomes alpha.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

constexpr int W = 5;  // odd, so every row needs padding
constexpr int H = 3;

// Fifteen colours far apart in every channel, so a swapped channel or a
// misplaced pixel stands out even after 16-bit quantisation.
constexpr uint32_t COLOURS[W * H] = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,  //
    0xFF00FF, 0xFFFFFF, 0x000000, 0x800000, 0x008000,  //
    0x000080, 0x808000, 0x800080, 0x008080, 0x808080,
};

uint32_t colourAt(int x, int y) {
    return COLOURS[y * W + x];
}
uint32_t indexAt(int x, int y) {
    return static_cast<uint32_t>(y * W + x);
}
std::vector<uint32_t> allColours() {
    return {std::begin(COLOURS), std::end(COLOURS)};
}

// Runs of equal colours for the RLE encoders' run mode.
uint32_t runIndexAt(int x, int y) {
    static const uint32_t rows[H][W] = {{1, 1, 1, 1, 1}, {2, 2, 3, 3, 3}, {4, 5, 6, 6, 6}};
    return rows[y][x];
}

// Decodes `file` and checks size and every pixel against expected(x, y),
// each channel within `tolerance` (16-bit files keep only 5 or 6 bits).
void expectDecodes(const std::string& name, const std::string& file, int width, int height,
                   const std::function<uint32_t(int, int)>& expected, int tolerance = 0) {
    TempDir dir;
    writeFile("image.Tex", file);
    platform::DecodedImage image;
    std::string error;
    ASSERT_TRUE(platform::decodeBmpFile("image.Tex", &image, &error)) << name << ": " << error;
    ASSERT_EQ(image.width, width) << name;
    ASSERT_EQ(image.height, height) << name;
    ASSERT_EQ(image.pixels.size(), static_cast<size_t>(width * height)) << name;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t got = image.pixels[static_cast<size_t>(y * width + x)];
            const uint32_t want = expected(x, y);
            EXPECT_EQ(got >> 24, 0u) << name << ": pixel (" << x << "," << y << ") carries a fourth byte";
            for (int shift : {16, 8, 0}) {
                const int g = (got >> shift) & 0xFF;
                const int w = (want >> shift) & 0xFF;
                EXPECT_LE(std::abs(g - w), tolerance)
                    << name << ": pixel (" << x << "," << y << ") is 0x" << std::hex << got << ", expected 0x" << want;
            }
        }
    }
}

BmpLayout layout(uint16_t bits, std::string pixels) {
    BmpLayout s;
    s.width = W;
    s.height = H;
    s.bits = bits;
    s.pixels = std::move(pixels);
    return s;
}

uint32_t to555(uint32_t c) {
    return ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x001F);
}

TEST(BmpDecode, PaletteImagesOfOneFourAndEightBits) {
    BmpLayout one = layout(1, packRows(W, H, 1, false, [](int x, int y) { return uint32_t((x + y) % 2); }));
    one.palette = {0x123456, 0xFEDCBA};
    expectDecodes("1-bit", buildBmp(one), W, H, [](int x, int y) { return (x + y) % 2 ? 0xFEDCBAu : 0x123456u; });

    BmpLayout four = layout(4, packRows(W, H, 4, false, indexAt));
    four.palette = allColours();
    expectDecodes("4-bit", buildBmp(four), W, H, colourAt);

    BmpLayout eight = layout(8, packRows(W, H, 8, false, indexAt));
    eight.palette = allColours();
    expectDecodes("8-bit", buildBmp(eight), W, H, colourAt);
}

TEST(BmpDecode, RunLengthEncodedImages) {
    for (auto index : {indexAt, runIndexAt}) {
        auto expected = [index](int x, int y) { return COLOURS[index(x, y)]; };
        BmpLayout rle8 = layout(8, encodeRle8(W, H, index));
        rle8.compression = 1;
        rle8.palette = allColours();
        expectDecodes("RLE8", buildBmp(rle8), W, H, expected);

        BmpLayout rle4 = layout(4, encodeRle4(W, H, index));
        rle4.compression = 2;
        rle4.palette = allColours();
        expectDecodes("RLE4", buildBmp(rle4), W, H, expected);
    }
}

TEST(BmpDecode, SixteenBitBitfields) {
    BmpLayout plain = layout(16, packRows(W, H, 16, false, [](int x, int y) { return to555(colourAt(x, y)); }));
    expectDecodes("16-bit default 555", buildBmp(plain), W, H, colourAt, 7);

    BmpLayout rgb555 = plain;
    rgb555.compression = 3;
    rgb555.masks = {0x7C00, 0x03E0, 0x001F};
    expectDecodes("16-bit 555 bitfields", buildBmp(rgb555), W, H, colourAt, 7);

    BmpLayout rgb565 = layout(16, packRows(W, H, 16, false, [](int x, int y) { return rgbTo565(colourAt(x, y)); }));
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    expectDecodes("16-bit 565 bitfields", buildBmp(rgb565), W, H, colourAt, 7);
}

TEST(BmpDecode, TwentyFourBitBottomUpAndTopDown) {
    expectDecodes("24-bit bottom-up", buildBmp(layout(24, packRows(W, H, 24, false, colourAt))), W, H, colourAt);
    BmpLayout topDown = layout(24, packRows(W, H, 24, true, colourAt));
    topDown.topDown = true;
    expectDecodes("24-bit top-down", buildBmp(topDown), W, H, colourAt);
}

TEST(BmpDecode, ThirtyTwoBitFourthByteIsNeverAlpha) {
    // Fourth byte varies from pixel to pixel: it must not turn into alpha.
    auto withFourth = [](int x, int y) { return colourAt(x, y) | (static_cast<uint32_t>(x * 60 + y) << 24); };
    expectDecodes("32-bit varying fourth byte", buildBmp(layout(32, packRows(W, H, 32, false, withFourth))), W, H,
                  colourAt);
    expectDecodes("32-bit zero fourth byte", buildBmp(layout(32, packRows(W, H, 32, false, colourAt))), W, H, colourAt);

    // Masks in another order: blue in the top byte, red in the second.
    auto bgrx = [](int x, int y) {
        uint32_t c = colourAt(x, y);
        return ((c & 0xFF) << 24) | ((c & 0xFF00) << 8) | ((c >> 8) & 0xFF00);
    };
    BmpLayout masked = layout(32, packRows(W, H, 32, false, bgrx));
    masked.compression = 3;
    masked.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
    expectDecodes("32-bit bitfields BGRX", buildBmp(masked), W, H, colourAt);

    // A version-5 header with an alpha mask and every alpha zero still shows.
    BmpLayout v5 = layout(32, packRows(W, H, 32, false, colourAt));
    v5.headerSize = 124;
    v5.compression = 3;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    expectDecodes("32-bit v5 zero alpha", buildBmp(v5), W, H, colourAt);
    v5.headerSize = 108;
    expectDecodes("32-bit v4 zero alpha", buildBmp(v5), W, H, colourAt);
}

TEST(BmpDecode, OldOs2CoreHeader) {
    BmpLayout os2 = layout(8, packRows(W, H, 8, false, indexAt));
    os2.headerSize = 12;
    os2.palette = allColours();  // three-byte entries
    os2.palette.resize(256, 0);  // a core header has no colour count: the palette is full
    expectDecodes("OS/2 8-bit", buildBmp(os2), W, H, colourAt);

    BmpLayout os2rgb = layout(24, packRows(W, H, 24, false, colourAt));
    os2rgb.headerSize = 12;
    expectDecodes("OS/2 24-bit", buildBmp(os2rgb), W, H, colourAt);
}

}  // namespace
