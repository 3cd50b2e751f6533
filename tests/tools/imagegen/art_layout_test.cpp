// The generated image files against the layout the game draws them in.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/tools/imagegen/art_files.h"

namespace art {
namespace {

using platform::DecodedImage;

std::string at(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

TEST(ArtFiles, SizesFitWhereTheGameDrawsThem) {
    for (const ArtFile& file : artFiles()) {
        SCOPED_TRACE(file.path);
        DecodedImage image = load(file.path);
        EXPECT_GE(image.width, file.minWidth);
        EXPECT_LE(image.width, file.maxWidth);
        EXPECT_GE(image.height, file.minHeight);
        EXPECT_LE(image.height, file.maxHeight);
    }
}

TEST(ArtFiles, AreUncompressed24BitBitmaps) {
    for (const ArtFile& file : artFiles()) {
        SCOPED_TRACE(file.path);
        std::ifstream in(runFile(file.path), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 54u);
        auto u16 = [&](size_t o) { return static_cast<uint8_t>(bytes[o]) | static_cast<uint8_t>(bytes[o + 1]) << 8; };
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(u16(14), 40) << "plain BITMAPINFOHEADER";
        EXPECT_EQ(u16(28), 24) << "bits per pixel";
        EXPECT_EQ(u16(30) | u16(32) << 16, 0) << "compression";
    }
}

TEST(ArtFiles, OnlyPureGreenConvertsToTheKey) {
    for (const ArtFile& file : artFiles()) {
        SCOPED_TRACE(file.path);
        DecodedImage image = load(file.path);
        int offenders = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                uint32_t p = pixel(image, x, y);
                // The background has no key: any key colour there would show as green.
                bool bad = file.keyed ? isKey(p) && p != GREEN : isKey(p);
                if (bad && offenders++ < 3) ADD_FAILURE() << "colour " << std::hex << p << " at " << at(x, y);
            }
        EXPECT_EQ(offenders, 0);
    }
}

TEST(ArtFiles, SeparatorLeavesItsFirstThreeColumnsClear) {
    // It lands 30 pixels after the first of two digits drawn 18 apart, so
    // its first three columns lie on the second digit.
    DecodedImage separator = load("Tex/HyphenBlue.Tex");
    ASSERT_EQ(separator.width, 15);
    int lit = 0;
    for (int y = 0; y < separator.height; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixel(separator, x, y), GREEN) << "separator pixel " << at(x, y);
        for (int x = 3; x < 15; ++x) lit += !isKey(pixel(separator, x, y));
    }
    EXPECT_GT(lit, 10) << "the separator shows something";
}

// How many pixels of glyph d are bright (a lit LED bar).
int litPixels(const DecodedImage& digits, int d) {
    int count = 0;
    for (int y = 0; y < 27; ++y)
        for (int x = 15 * d; x < 15 * d + 15; ++x) {
            uint32_t p = pixel(digits, x, y);
            count += !isKey(p) && luminance(p) > 110;
        }
    return count;
}

TEST(ArtFiles, DigitGlyphsStandInTheirOrder) {
    DecodedImage digits = load("Tex/Digit.Tex");
    ASSERT_EQ(digits.width, 150);
    int lit[10];
    for (int d = 0; d < 10; ++d) lit[d] = litPixels(digits, d);
    // Seven-bar glyphs: 8 lights every bar, 1 the fewest; 0, 6 and 9 light six.
    for (int d = 0; d < 10; ++d) {
        if (d != 8) {
            EXPECT_LT(lit[d], lit[8]) << "digit " << d << " against 8";
        }
        if (d != 1) {
            EXPECT_GT(lit[d], lit[1]) << "digit " << d << " against 1";
        }
    }
    EXPECT_GT(lit[0], lit[7]) << "0 lights more bars than 7";
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b) {
            int differing = 0;
            for (int y = 0; y < 27; ++y)
                for (int x = 0; x < 15; ++x) differing += pixel(digits, 15 * a + x, y) != pixel(digits, 15 * b + x, y);
            EXPECT_GT(differing, 10) << "glyphs " << a << " and " << b << " look alike";
        }
}

bool visibleNear(const DecodedImage& strip, int frame, int cx, int cy, int radius) {
    for (int y = std::max(0, cy - radius); y <= std::min(26, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x <= std::min(37, cx + radius); ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius && !isKey(pixel(strip, 38 * frame + x, y)))
                return true;
    return false;
}

TEST(ArtFiles, PointerTipServesBothHotspots) {
    // The frame's corner is the pointer on the menus; in play the frame is
    // drawn 2 left of and 10 above it, putting the pointer at (2, 10).
    DecodedImage strip = load("Tex/MousePtr.Tex");
    ASSERT_EQ(strip.width, 760);
    for (int f = 0; f < 20; ++f) {
        EXPECT_TRUE(visibleNear(strip, f, 0, 0, 6)) << "frame " << f << ": nothing near the menu hotspot";
        EXPECT_TRUE(visibleNear(strip, f, 2, 10, 6)) << "frame " << f << ": nothing near the play hotspot";
    }
}

TEST(ArtFiles, PointerAnimatesSmoothlyRoundTheLoop) {
    DecodedImage strip = load("Tex/MousePtr.Tex");
    ASSERT_EQ(strip.width, 760);
    int visible = 0;
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 38; ++x) visible += !isKey(pixel(strip, x, y));
    ASSERT_GT(visible, 60);
    for (int f = 0; f < 20; ++f) {
        int next = (f + 1) % 20, changed = 0;
        for (int y = 0; y < 27; ++y)
            for (int x = 0; x < 38; ++x) changed += pixel(strip, 38 * f + x, y) != pixel(strip, 38 * next + x, y);
        EXPECT_GT(changed, 0) << "frames " << f << " and " << next << " are the same";
        EXPECT_LT(changed, visible / 2) << "frames " << f << " and " << next << " jump";
    }
}

TEST(ArtFiles, LampShowsLitGreenThenUnlitGrey) {
    DecodedImage lamp = load("Tex/Menu/Button.Tex");
    ASSERT_EQ(lamp.width, 60);
    auto mean = [&](int frame, int shift) {
        double sum = 0;
        for (int y = 11; y < 20; ++y)
            for (int x = 11; x < 20; ++x) sum += (pixel(lamp, 30 * frame + x, y) >> shift) & 0xFF;
        return sum / 81;
    };
    EXPECT_GT(mean(0, 8) - (mean(0, 16) + mean(0, 0)) / 2, 60) << "the on frame is a lit green";
    EXPECT_LT(std::abs(mean(1, 8) - mean(1, 16)), 20) << "the off frame is grey";
    EXPECT_LT(std::abs(mean(1, 8) - mean(1, 0)), 20) << "the off frame is grey";
    EXPECT_GT(mean(0, 8), mean(1, 8) + 40) << "on is brighter than off";
}

TEST(ArtFiles, PieceStandsInItsHoleAndClearOfLaterHoles) {
    DecodedImage hole = load("Tex/Button1.Tex"), piece = load("Tex/Lamp.Tex");
    ASSERT_GT(hole.width, 0);
    ASSERT_GT(piece.width, 0);
    auto holeShows = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < hole.width && y < hole.height && !isKey(pixel(hole, x, y));
    };
    double sumX = 0;
    int count = 0, lowest = -1;
    for (int raise : {15, 20}) {  // the piece is drawn 15 above its hole, 20 when selected
        for (int y = 0; y < piece.height; ++y)
            for (int x = 0; x < piece.width; ++x) {
                if (isKey(pixel(piece, x, y))) continue;
                int hx = x - 7, hy = y - raise;  // in its own hole's coordinates
                if (raise == 15) {
                    sumX += hx;
                    ++count;
                    lowest = std::max(lowest, hy);
                }
                // Cells drawn after this one: the rest of the row, and the rows below.
                for (int dy : {0, 50, 100})
                    for (int dx : {-100, -50, 0, 50, 100})
                        if ((dy > 0 || dx > 0) && holeShows(hx - dx, hy - dy))
                            ADD_FAILURE() << "piece pixel " << at(x, y) << " (raised " << raise
                                          << ") lies under the hole of the cell " << at(dx, dy) << " away";
            }
    }
    ASSERT_GT(count, 100);
    int holeTop = hole.height, holeBottom = -1;
    double holeSumX = 0;
    int holeCount = 0;
    for (int y = 0; y < hole.height; ++y)
        for (int x = 0; x < hole.width; ++x)
            if (holeShows(x, y)) {
                holeTop = std::min(holeTop, y);
                holeBottom = std::max(holeBottom, y);
                holeSumX += x;
                ++holeCount;
            }
    EXPECT_NEAR(sumX / count, holeSumX / holeCount, 3.0) << "the piece is centred on its hole";
    EXPECT_GT(lowest, (holeTop + holeBottom) / 2) << "the piece's foot reaches into the hole";
    EXPECT_LE(lowest, holeBottom) << "the piece's foot stays inside the hole";
}

TEST(ArtFiles, BoardLetsTheSkyShowOnlyOutsideItsFrame) {
    DecodedImage board = load("Tex/Board.Tex");
    ASSERT_EQ(board.width, 800);
    int keyedInGrid = 0;
    for (int y = 75; y < 525; ++y)
        for (int x = 175; x < 625; ++x) keyedInGrid += isKey(pixel(board, x, y));
    EXPECT_EQ(keyedInGrid, 0) << "the playing field is solid";
    for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 10}, {10, 300}, {790, 300}})
        EXPECT_EQ(pixel(board, x, y), GREEN) << "sky expected through the backdrop at " << at(x, y);
    // The clock at (100, 550) needs a dark ground for its cyan digits.
    for (int y = 550; y < 577; ++y)
        for (int x = 100; x < 223; ++x) {
            uint32_t p = pixel(board, x, y);
            if (isKey(p) || luminance(p) > 50) {
                ADD_FAILURE() << "clock ground at " << at(x, y) << " is " << std::hex << p;
                return;
            }
        }
}

}  // namespace
}  // namespace art
