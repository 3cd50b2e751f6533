// The desktop icon: key colour to transparency, the piece set in its hole,
// the square scaling, and the icon maker's files and refusals.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/icon/icon_image.h"
#include "tools/icon/icon_tool.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

using icon::RgbaImage;

namespace {

struct Pixel {
    int r, g, b, a;
};

Pixel pixel(const RgbaImage& image, int x, int y) {
    const uint8_t* p = &image.pixels[image.at(x, y)];
    return {p[0], p[1], p[2], p[3]};
}

void put(RgbaImage& image, int x, int y, Pixel p) {
    uint8_t* d = &image.pixels[image.at(x, y)];
    d[0] = static_cast<uint8_t>(p.r), d[1] = static_cast<uint8_t>(p.g);
    d[2] = static_cast<uint8_t>(p.b), d[3] = static_cast<uint8_t>(p.a);
}

std::string show(Pixel p) {
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + " a" +
           std::to_string(p.a) + ")";
}

constexpr Pixel RED{255, 0, 0, 255}, BLUE{0, 0, 255, 255}, HALF_BLUE{0, 0, 255, 128};

}  // namespace

TEST(IconImage, OnlyTheExactKeyColourBecomesTransparent) {
    RgbaImage image(4, 1);
    const Pixel shades[] = {{0, 255, 0, 255}, {0, 254, 0, 255}, {1, 255, 0, 255}, {0, 255, 1, 255}};
    for (int x = 0; x < 4; ++x) put(image, x, 0, shades[x]);
    icon::clearKeyColour(image);
    EXPECT_EQ(pixel(image, 0, 0).a, 0) << "pure green is the key";
    for (int x = 1; x < 4; ++x) EXPECT_EQ(pixel(image, x, 0).a, 255) << "near-green " << show(shades[x]) << " stays";
}

TEST(IconImage, PaintOverKeepsBothImagesOnOneCanvas) {
    RgbaImage bottom(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) put(bottom, x, y, RED);
    RgbaImage top(2, 2);  // (0,0) half blue, (1,0) and (0,1) clear, (1,1) blue
    put(top, 0, 0, HALF_BLUE);
    put(top, 1, 1, BLUE);

    RgbaImage out = icon::paintOver(bottom, top, 2, 1);
    ASSERT_EQ(out.width, 4);
    ASSERT_EQ(out.height, 3);
    Pixel mixed = pixel(out, 2, 1);
    EXPECT_NEAR(mixed.r, 127, 1) << "half blue over red: " << show(mixed);
    EXPECT_NEAR(mixed.b, 128, 1) << "half blue over red: " << show(mixed);
    EXPECT_EQ(mixed.a, 255);
    EXPECT_EQ(pixel(out, 2, 2).r, 255) << "a clear top pixel leaves the red beneath";
    EXPECT_EQ(pixel(out, 3, 1).a, 0) << "clear over nothing stays clear";
    EXPECT_EQ(pixel(out, 3, 2).b, 255) << "blue beyond the bottom image is kept";
    EXPECT_EQ(pixel(out, 3, 0).a, 0) << "the corner neither image covers";

    // Up and to the left: the canvas grows that way and the bottom moves.
    RgbaImage shifted = icon::paintOver(bottom, top, -1, -1);
    ASSERT_EQ(shifted.width, 4);
    ASSERT_EQ(shifted.height, 4);
    EXPECT_EQ(pixel(shifted, 0, 0).a, 128) << "top (0,0) at the new origin";
    EXPECT_EQ(pixel(shifted, 1, 1).b, 255) << "top (1,1) over bottom (0,0)";
    EXPECT_EQ(pixel(shifted, 3, 3).r, 255) << "bottom (2,2)";
    EXPECT_EQ(pixel(shifted, 0, 3).a, 0);
}

TEST(SquareIcon, NothingToShowOrNoSizeGivesAnEmptyIcon) {
    RgbaImage clear(10, 10);
    EXPECT_TRUE(icon::squareIcon(clear, 48).empty());
    put(clear, 4, 4, RED);
    EXPECT_TRUE(icon::squareIcon(clear, 0).empty());
    EXPECT_TRUE(icon::squareIcon(clear, -48).empty());
    EXPECT_TRUE(RgbaImage(-3, 4).empty());
}

TEST(SquareIcon, AWideBarIsCentredWithAMarginAndNoKeyGreenAtItsEdges) {
    // A 10x4 bar off-centre in a larger keyed image.
    RgbaImage art(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) put(art, x, y, {0, 255, 0, 0});
    for (int y = 3; y < 7; ++y)
        for (int x = 25; x < 35; ++x) put(art, x, y, {200, 100, 50, 255});

    for (int size : {48, 64, 256}) {
        SCOPED_TRACE("size " + std::to_string(size));
        RgbaImage out = icon::squareIcon(art, size);
        ASSERT_EQ(out.width, size);
        ASSERT_EQ(out.height, size);
        const int mid = size / 2;
        EXPECT_EQ(pixel(out, 0, 0).a, 0) << "corner";
        EXPECT_EQ(pixel(out, 0, mid).a, 0) << "left margin";
        EXPECT_EQ(pixel(out, size - 1, mid).a, 0) << "right margin";
        EXPECT_EQ(pixel(out, mid, size / 8).a, 0) << "above the bar";
        Pixel centre = pixel(out, mid, mid);
        EXPECT_EQ(centre.a, 255) << "bar centre " << show(centre);
        for (int x = 0; x < size; ++x) {
            Pixel p = pixel(out, x, mid), mirror = pixel(out, size - 1 - x, mid);
            EXPECT_NEAR(p.a, mirror.a, 2) << "centred: alpha at x=" << x << " and its mirror";
            if (p.a == 0) continue;
            // Transparent key pixels must add no colour to the soft edge.
            EXPECT_NEAR(p.r, 200, 1) << "edge colour at x=" << x << " " << show(p);
            EXPECT_NEAR(p.g, 100, 1) << "edge colour at x=" << x << " " << show(p);
            EXPECT_NEAR(p.b, 50, 1) << "edge colour at x=" << x << " " << show(p);
        }
    }
}

TEST(SquareIcon, ShrinkingAveragesAndEnlargingKeepsTheOutlineHard) {
    // One-pixel black and white checks: shrunk they must average to grey, not
    // alias to one of the two.
    RgbaImage checks(200, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) put(checks, x, y, (x + y) % 2 ? Pixel{255, 255, 255, 255} : Pixel{0, 0, 0, 255});
    RgbaImage small = icon::squareIcon(checks, 48);
    Pixel grey = pixel(small, 24, 24);
    EXPECT_NEAR(grey.r, 128, 12) << "shrunk checks " << show(grey);

    // A small disc enlarged 20 times: its edge fades over at most two icon
    // pixels on the middle row, not over a blur as wide as a source pixel.
    RgbaImage disc(12, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if ((x - 5.5) * (x - 5.5) + (y - 5.5) * (y - 5.5) < 30) put(disc, x, y, RED);
    RgbaImage big = icon::squareIcon(disc, 256);
    int partial = 0;
    for (int x = 0; x < 256; ++x) {
        int a = pixel(big, x, 128).a;
        if (a > 0 && a < 255) ++partial;
    }
    EXPECT_LE(partial, 4) << "pixels of partial alpha across the middle row";
    EXPECT_EQ(pixel(big, 128, 128).a, 255);
}

// --- the icon maker as the build runs it

namespace {

// A hole (brown disc) and a piece (amber disc) on the key colour, shaped
// like the game's: the piece image is drawn 7 left of and 15 above its hole.
void writeHoleAndPiece() {
    writeBmp24("hole.bmp", 50, 50,
               [](int x, int y) { return (x - 25) * (x - 25) + (y - 25) * (y - 25) < 400 ? 0x603010u : 0x00FF00u; });
    writeBmp24("piece.bmp", 58, 56,
               [](int x, int y) { return (x - 32) * (x - 32) + (y - 33) * (y - 33) < 225 ? 0xF0A020u : 0x00FF00u; });
}

RgbaImage loadPng(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr) return {};
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    RgbaImage image(rgba->w, rgba->h);
    for (int y = 0; y < rgba->h; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        std::copy_n(row, static_cast<size_t>(rgba->w) * 4, &image.pixels[image.at(0, y)]);
    }
    SDL_FreeSurface(rgba);
    return image;
}

}  // namespace

TEST(IconMaker, WritesEachSizeWithThePieceAboveItsHole) {
    TempDir dir;
    writeHoleAndPiece();
    std::string error;
    ASSERT_EQ(icon::makeIcons({"hole.bmp", "piece.bmp", "out", "48", "256"}, &error), 0) << error;
    EXPECT_FALSE(std::filesystem::exists("out/64x64")) << "only the sizes asked for";

    for (int size : {48, 256}) {
        std::string path = "out/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/quillmara.png";
        RgbaImage png = loadPng(path);
        ASSERT_EQ(png.width, size) << path;
        ASSERT_EQ(png.height, size) << path;
        EXPECT_EQ(pixel(png, 0, 0).a, 0) << path << ": the corner is transparent";
        // Down the middle column the piece shows first, the hole below it.
        int firstOpaque = -1, lastOpaque = -1;
        for (int y = 0; y < size; ++y) {
            if (pixel(png, size / 2, y).a != 255) continue;
            if (firstOpaque < 0) firstOpaque = y;
            lastOpaque = y;
        }
        ASSERT_GE(firstOpaque, 0) << path << ": nothing opaque in the middle column";
        Pixel top = pixel(png, size / 2, firstOpaque + size / 16);
        Pixel bottom = pixel(png, size / 2, lastOpaque - size / 32);
        EXPECT_NEAR(top.r, 0xF0, 8) << path << ": the piece at the top " << show(top);
        EXPECT_NEAR(top.g, 0xA0, 8) << path << ": the piece at the top " << show(top);
        EXPECT_NEAR(bottom.r, 0x60, 8) << path << ": the hole at the bottom " << show(bottom);
        EXPECT_NEAR(bottom.g, 0x30, 8) << path << ": the hole at the bottom " << show(bottom);
    }
}

TEST(IconMaker, RefusesBadArgumentsAndImagesWithoutWritingAnything) {
    TempDir dir;
    writeHoleAndPiece();
    writeBmp24("green.bmp", 8, 8, [](int, int) { return 0x00FF00u; });
    writeFile("text.bmp", "not a bitmap at all\n");
    std::string valid = makeBmp24(50, 50, [](int, int) { return 0x603010u; });
    writeFile("truncated.bmp", valid.substr(0, 60));
    writeFile("blocked", "a file where a folder should go");

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{}, "usage: quillmara_icon"},
        {{"hole.bmp", "piece.bmp", "out"}, "usage: quillmara_icon"},
        {{"hole.bmp", "piece.bmp", "out", "abc"}, "bad icon size 'abc'"},
        {{"hole.bmp", "piece.bmp", "out", "48", ""}, "bad icon size ''"},
        {{"hole.bmp", "piece.bmp", "out", "48x"}, "bad icon size '48x'"},
        {{"hole.bmp", "piece.bmp", "out", "-48"}, "bad icon size '-48'"},
        {{"hole.bmp", "piece.bmp", "out", "15"}, "bad icon size '15'"},
        {{"hole.bmp", "piece.bmp", "out", "1025"}, "bad icon size '1025'"},
        {{"hole.bmp", "piece.bmp", "out", "99999999999999999999"}, "bad icon size"},
        {{"missing.bmp", "piece.bmp", "out", "48"}, "cannot read the image missing.bmp"},
        {{"hole.bmp", "text.bmp", "out", "48"}, "cannot read the image text.bmp"},
        {{"truncated.bmp", "piece.bmp", "out", "48"}, "cannot read the image truncated.bmp"},
        {{"hole.bmp", "green.bmp", "out", "48"}, "the image green.bmp holds nothing but the key colour"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::string shown;
        for (const std::string& a : c.args) shown += "'" + a + "' ";
        EXPECT_EQ(icon::makeIcons(c.args, &error), 1) << shown;
        EXPECT_NE(error.find(c.message), std::string::npos) << shown << "gave: " << error;
    }
    EXPECT_FALSE(std::filesystem::exists("out")) << "a refused run wrote files";

    std::string error;
    EXPECT_EQ(icon::makeIcons({"hole.bmp", "piece.bmp", "blocked", "48"}, &error), 1);
    EXPECT_NE(error.find("cannot create the folder blocked/48x48/apps"), std::string::npos) << error;
}
