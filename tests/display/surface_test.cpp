// Surfaces and the two copies: byte-for-byte against a plain reference loop,
// and refusal of every copy that does not fit.
#include "display/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

#include "display/pixel_format.h"

namespace {

constexpr int32_t I32_MAX = std::numeric_limits<int32_t>::max();
constexpr int32_t I32_MIN = std::numeric_limits<int32_t>::min();

Surface makeSurface(int32_t w, int32_t h) {
    Surface s;
    EXPECT_TRUE(createSurface(&s, w, h));
    return s;
}

// The obvious per-pixel copy, with its own whole-copy-or-nothing bounds test.
bool referenceCopy(Surface& target, int32_t x, int32_t y, const Surface& source, Rect r, bool keyed) {
    for (int64_t sy = r.top; sy < r.bottom; ++sy)
        for (int64_t sx = r.left; sx < r.right; ++sx) {
            int64_t tx = x + (sx - r.left), ty = y + (sy - r.top);
            if (sx < 0 || sy < 0 || sx >= source.width || sy >= source.height) return false;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) return false;
        }
    if (r.left >= r.right || r.top >= r.bottom) return false;
    for (int32_t sy = r.top; sy < r.bottom; ++sy)
        for (int32_t sx = r.left; sx < r.right; ++sx) {
            uint16_t p = source.at(sx, sy);
            if (keyed && source.hasColorKey && p == source.colorKey) continue;
            target.pixels[static_cast<size_t>(y + sy - r.top) * target.width + (x + sx - r.left)] = p;
        }
    return true;
}

TEST(SurfaceCopy, MatchesReferenceOnRandomImagesAndRectangles) {
    // QM_TEST_SEED=<seed> replays a failing run.
    const char* given = std::getenv("QM_TEST_SEED");
    const unsigned seed =
        given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::printf("copy test seed %u\n", seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    for (int round = 0; round < 400; ++round) {
        Surface source = makeSurface(pick(1, 70), pick(1, 40));
        // Few distinct values, so the key occurs often and in runs.
        for (uint16_t& p : source.pixels) p = static_cast<uint16_t>(pick(0, 3) * 0x1111);
        if (pick(0, 3) != 0) setColorKey(&source, 0x1111);
        Surface target = makeSurface(pick(1, 90), pick(1, 60));
        for (uint16_t& p : target.pixels) p = static_cast<uint16_t>(pick(0, 0xFFFF));

        Rect r{pick(-3, source.width), pick(-3, source.height), pick(-3, source.width + 3),
               pick(-3, source.height + 3)};
        int32_t x = pick(-5, target.width), y = pick(-5, target.height);
        const bool keyed = pick(0, 1) == 1;
        SCOPED_TRACE("round " + std::to_string(round) + (keyed ? " keyed" : " opaque"));

        Surface expected = target;
        bool expectedResult = referenceCopy(expected, x, y, source, r, keyed);
        bool result = keyed ? copyKeyed(&target, x, y, source, &r) : copyOpaque(&target, x, y, source, &r);
        ASSERT_EQ(result, expectedResult)
            << "rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom << " at " << x << "," << y;
        ASSERT_EQ(target.pixels, expected.pixels);
    }
}

TEST(SurfaceCopy, CopiesThatDoNotFitDrawNothing) {
    Surface source = makeSurface(10, 8);
    for (uint16_t& p : source.pixels) p = 0xABCD;
    Surface target = makeSurface(50, 40);
    const std::vector<uint16_t> untouched = target.pixels;

    struct Case {
        const char* name;
        int32_t x, y;
        Rect rect;
    };
    const Case cases[] = {
        {"source rect past the right edge", 0, 0, {5, 0, 11, 8}},
        {"source rect past the bottom", 0, 0, {0, 0, 10, 9}},
        {"source rect negative", 0, 0, {-1, 0, 4, 4}},
        {"empty source rect", 0, 0, {3, 3, 3, 6}},
        {"inverted source rect", 0, 0, {6, 0, 2, 8}},
        {"destination partly right of the target", 41, 0, {0, 0, 10, 8}},
        {"destination partly below the target", 0, 33, {0, 0, 10, 8}},
        {"destination wholly outside", 60, 50, {0, 0, 10, 8}},
        {"negative destination", -1, 0, {0, 0, 10, 8}},
        {"huge destination that would wrap", I32_MAX, I32_MAX, {0, 0, 10, 8}},
        {"most negative destination", I32_MIN, I32_MIN, {0, 0, 10, 8}},
        {"huge source rect", 0, 0, {I32_MIN, I32_MIN, I32_MAX, I32_MAX}},
        {"rect width overflowing int32", 0, 0, {I32_MIN, 0, I32_MAX, 8}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(copyKeyed(&target, c.x, c.y, source, &c.rect)) << c.name;
        EXPECT_FALSE(copyOpaque(&target, c.x, c.y, source, &c.rect)) << c.name;
        EXPECT_EQ(target.pixels, untouched) << c.name;
    }
    // A whole image at the last place it fits, and one pixel further.
    EXPECT_TRUE(copyOpaque(&target, 40, 32, source));
    EXPECT_FALSE(copyOpaque(&target, 41, 32, source));
    EXPECT_FALSE(copyKeyed(nullptr, 0, 0, source));
    Surface empty;
    EXPECT_FALSE(copyKeyed(&target, 0, 0, empty));
    EXPECT_FALSE(copyOpaque(&empty, 0, 0, source));
}

TEST(SurfaceCopy, OverlappingCopyOntoItselfReadsTheOriginalPixels) {
    Surface s = makeSurface(8, 1);
    for (int i = 0; i < 8; ++i) s.pixels[i] = static_cast<uint16_t>(i + 1);
    Rect r{0, 0, 6, 1};
    ASSERT_TRUE(copyOpaque(&s, 2, 0, s, &r));
    EXPECT_EQ(s.pixels, (std::vector<uint16_t>{1, 2, 1, 2, 3, 4, 5, 6}));
}

TEST(SurfaceCreate, RefusesBadSizesWithoutThrowingAndNumbersEachSurface) {
    Surface s;
    EXPECT_FALSE(createSurface(&s, 0, 10));
    EXPECT_FALSE(createSurface(&s, 10, -1));
    EXPECT_FALSE(createSurface(&s, I32_MAX, I32_MAX)) << "an absurd size is a result, not an exception";
    EXPECT_FALSE(createSurface(&s, 8193, 8192));
    EXPECT_TRUE(s.pixels.empty());
    EXPECT_EQ(s.serial, 0u);
    EXPECT_FALSE(createSurface(nullptr, 4, 4));
    EXPECT_TRUE(createSurface(&s, 8192, 8192)) << "the largest surface allowed";

    Surface a = makeSurface(3, 2), b = makeSurface(3, 2);
    EXPECT_NE(a.serial, 0u);
    EXPECT_NE(a.serial, b.serial);
    EXPECT_EQ(a.pixels, std::vector<uint16_t>(6, 0));
    EXPECT_FALSE(a.hasColorKey);
}

TEST(PixelFormat, ConvertsTopBitsAndRefusesMalformedImages) {
    EXPECT_EQ(rgbTo565(0xFFFFFF), 0xFFFF);
    EXPECT_EQ(rgbTo565(0x00FF00), 0x07E0);
    EXPECT_EQ(rgbTo565(0x04FE03), 0x07E0) << "low bits are dropped";
    EXPECT_EQ(rgbTo565(0x08FF00), 0x0FE0);
    EXPECT_EQ(rgbTo565(0xFF123456), rgbTo565(0x123456)) << "the top byte is ignored";
    EXPECT_EQ(rgbFrom565(0xFFFF), 0xFFFFFFu) << "white stays white";
    EXPECT_EQ(rgbFrom565(0x8410), 0x848284u) << "a channel's top bits repeat in its low bits";
    EXPECT_EQ(rgbFrom565(0x07E0), 0x00FF00u);
    for (uint32_t v = 0; v <= 0xFFFF; ++v)
        ASSERT_EQ(rgbTo565(rgbFrom565(static_cast<uint16_t>(v))), v) << "widening and back keeps " << v;

    platform::DecodedImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0xFF0000, 0x0000FF};
    Surface s;
    ASSERT_TRUE(imageToSurface(image, &s));
    EXPECT_EQ(s.pixels, (std::vector<uint16_t>{0xF800, 0x001F}));

    image.height = 2;  // claims more pixels than it holds
    EXPECT_FALSE(imageToSurface(image, &s));
    EXPECT_TRUE(s.pixels.empty());
    image = {};
    EXPECT_FALSE(imageToSurface(image, &s));
}

}  // namespace
