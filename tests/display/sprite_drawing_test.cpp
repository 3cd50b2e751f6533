// The pointer animation and clipping, numbers and the clock, read back from
// the back buffer.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "display_fixture.h"
#include "tests/support/test_files.h"

namespace {

constexpr int32_t I32_MAX = std::numeric_limits<int32_t>::max();
constexpr int32_t I32_MIN = std::numeric_limits<int32_t>::min();
constexpr uint16_t CLEAR = 0x0841;  // a value no stand-in glyph has

// A pointer strip whose every pixel says where it came from.
uint16_t code(int col, int row, int frame) {
    return static_cast<uint16_t>(1 + col + row * 64 + frame * 2048);
}

class SpriteDrawing : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_EQ(app.loadAssets(), 0);
        app.clearBackSurface(CLEAR);
    }

    void useCodedPointer() {
        Surface& strip = *app.texMousePtr;
        ASSERT_TRUE(createSurface(&strip, 760, 27));
        for (int y = 0; y < 27; ++y)
            for (int x = 0; x < 760; ++x) strip.pixels[y * 760 + x] = code(x % 38, y, x / 38);
        setColorKey(&strip, 0xFFFF);
    }

    // The digit shown by the glyph whose top-left is (x, y), '?' for none.
    char digitAt(int x, int y) const {
        const uint16_t p = screen(x + 7, y + 13);
        for (int d = 0; d < 10; ++d)
            if (p == rgbTo565(standin::digitColour(d))) return static_cast<char>('0' + d);
        return p == rgbTo565(standin::image("Tex/HyphenBlue.Tex").colour) ? '-' : '?';
    }
    std::string number(int x, int y, int digits) const {
        std::string s;
        for (int k = 0; k < digits; ++k) s += digitAt(x + 18 * k, y);
        return s;
    }
    std::string clock(int x, int y) const {
        return number(x, y, 2) + digitAt(x + 30, y) + number(x + 45, y, 2) + digitAt(x + 75, y) + number(x + 90, y, 2);
    }
};

TEST_F(SpriteDrawing, AnimationChangesFrameEveryTenthDrawAndRepeatsAfterTwoHundred) {
    useCodedPointer();
    EXPECT_EQ(app.pointerSprite.currentFrame, 0);
    for (int call = 1; call <= 200; ++call) {
        app.drawSprite(app.pointerSprite, 300, 300);
        const int expected = call / 10 % 20;
        ASSERT_EQ(screen(301, 301), code(1, 1, expected)) << "pointer frame after call " << call;
    }
    EXPECT_EQ(app.pointerSprite.currentFrame, 0) << "call 200 shows frame 0 again";
}

TEST_F(SpriteDrawing, PointerIsCutAtEveryScreenEdge) {
    useCodedPointer();
    app.pointerSprite.frameDelay = 1000;  // frame 0 throughout

    app.drawSprite(app.pointerSprite, 762, 100);
    EXPECT_EQ(screen(799, 100), code(37, 0, 0)) << "x 762: the last column lands on the screen's last";
    EXPECT_EQ(screen(762, 126), code(0, 26, 0)) << "x 762: first column, last row";

    app.clearBackSurface(CLEAR);
    app.drawSprite(app.pointerSprite, 763, 100);
    EXPECT_EQ(screen(763, 100), code(0, 0, 0)) << "x 763: first column kept";
    EXPECT_EQ(screen(799, 100), code(36, 0, 0)) << "x 763: the last column is cut off";

    app.clearBackSurface(CLEAR);
    app.drawSprite(app.pointerSprite, 100, 574);
    EXPECT_EQ(screen(100, 599), code(0, 25, 0)) << "y 574: the last row is cut off";
    EXPECT_EQ(screen(137, 574), code(37, 0, 0));

    app.clearBackSurface(CLEAR);
    app.drawSprite(app.pointerSprite, -2, -10);
    EXPECT_EQ(screen(0, 0), code(2, 10, 0)) << "in play at cursor (0, 0): 2 columns and 10 rows in";
    EXPECT_EQ(screen(35, 16), code(37, 26, 0)) << "bottom right of the frame";
    EXPECT_EQ(screen(36, 17), CLEAR) << "nothing beyond the frame";

    // Wholly off screen, or at positions that would overflow: nothing, no crash.
    app.clearBackSurface(CLEAR);
    const std::pair<int32_t, int32_t> outside[] = {{800, 0},     {-38, 0},     {0, 600},     {0, -27},
                                                   {I32_MAX, 0}, {I32_MIN, 0}, {0, I32_MAX}, {I32_MIN, I32_MIN}};
    for (auto [x, y] : outside) app.drawSprite(app.pointerSprite, x, y);
    EXPECT_EQ(app.backSurface->pixels, std::vector<uint16_t>(800 * 600, CLEAR)) << "pointer drawn off screen";
}

TEST_F(SpriteDrawing, NumbersArePaddedClampedAndNeverNegative) {
    struct Case {
        int32_t value, digits;
        const char* shown;
    };
    const Case cases[] = {
        {5, 2, "05"},
        {123, 2, "99"},
        {7, 3, "007"},
        {-1, 2, "00"},
        {I32_MIN, 3, "000"},
        {0, 1, "0"},
        {I32_MAX, 10, "2147483647"},
        {I32_MAX, 12, "002147483647"},
        {I32_MAX, 9, "999999999"},
    };
    for (const Case& c : cases) {
        app.clearBackSurface(CLEAR);
        app.drawNumber(c.value, 10, 50, c.digits);
        EXPECT_EQ(number(10, 50, c.digits), c.shown) << c.value << " in " << c.digits << " digits";
        EXPECT_EQ(screen(10 + 18 * c.digits + 7, 63), CLEAR) << "nothing after the last digit";
    }
    app.clearBackSurface(CLEAR);
    app.drawNumber(42, 10, 50, 0);
    app.drawNumber(42, 10, 50, -3);
    EXPECT_EQ(app.backSurface->pixels, std::vector<uint16_t>(800 * 600, CLEAR)) << "no digits drawn";

    // Huge digit counts draw only what reaches the screen, and quickly.
    app.drawNumber(123, 0, 100, I32_MAX);
    EXPECT_EQ(number(0, 100, 44), std::string(44, '0'));
    app.drawNumber(123, -18 * 1000000, 200, 1000003);
    EXPECT_EQ(number(0, 200, 3), "123") << "the last three of a million digits, at the left edge";
}

TEST_F(SpriteDrawing, DigitsComeOnlyFromTheTenGlyphs) {
    // A strip with two extra glyphs past the nine: their colour must never show.
    const uint16_t poison = 0xF81F;
    Surface& strip = *app.texDigit;
    ASSERT_TRUE(createSurface(&strip, 180, 27));
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 180; ++x)
            strip.pixels[y * 180 + x] = x < 150 ? rgbTo565(standin::digitColour(x / 15)) : poison;
    for (int32_t value : {I32_MAX, 99, 100, 999999999, 1000000000}) {
        for (int32_t digits : {1, 2, 9, 10, 11}) {
            app.drawNumber(value, 0, 0, digits);
            app.drawTime(value, 0, 40);
        }
    }
    for (uint16_t p : app.backSurface->pixels) ASSERT_NE(p, poison) << "a glyph past 9 was drawn";
}

TEST_F(SpriteDrawing, ClockShowsHoursMinutesSeconds) {
    struct Case {
        int32_t seconds;
        const char* shown;
    };
    const Case cases[] = {
        {0, "00-00-00"},      {59, "00-00-59"},     {3599, "00-59-59"}, {3600, "01-00-00"},    {3661, "01-01-01"},
        {359999, "99-59-59"}, {360000, "99-00-00"}, {-5, "00-00-00"},   {I32_MAX, "99-14-07"},
    };
    for (const Case& c : cases) {
        app.clearBackSurface(CLEAR);
        app.drawTime(c.seconds, 200, 300);
        EXPECT_EQ(clock(200, 300), c.shown) << c.seconds << " seconds";
        EXPECT_EQ(screen(200 + 123, 313), CLEAR) << "the clock ends at x + 123";
    }
    app.drawTime(1, I32_MAX, I32_MAX);  // far off screen: nothing, no overflow
    app.drawTime(1, I32_MIN, 0);
}

TEST_F(SpriteDrawing, SeparatorLeavesTheDigitBeforeItWhereItsArtIsTransparent) {
    const uint16_t digit1 = rgbTo565(standin::digitColour(1));
    const uint16_t hyphen = rgbTo565(standin::image("Tex/HyphenBlue.Tex").colour);
    app.drawTime(3600 + 60, 0, 0);  // 01-01-00
    EXPECT_EQ(screen(29, 5), digit1) << "second hour digit before the separator";
    EXPECT_EQ(screen(30, 5), hyphen) << "separator starts 30 pixels in";
    EXPECT_EQ(screen(44, 5), hyphen) << "separator's last column";
    EXPECT_EQ(screen(45, 5), rgbTo565(standin::digitColour(0))) << "first minute digit";

    // With its first three columns green, as the game's art has them, the
    // separator keeps the whole digit before it.
    writeBmp24("Tex/HyphenBlue.Tex", 15, 27, [](int x, int) { return x < 3 ? 0x00FF00u : 0x2080F8u; });
    app.releaseAll();
    ASSERT_EQ(app.loadAssets(), 0);
    app.clearBackSurface(CLEAR);
    app.drawTime(3600 + 60, 0, 0);
    for (int x : {30, 31, 32, 75, 76, 77}) EXPECT_EQ(screen(x, 5), digit1) << "digit 1 under the separator, x " << x;
    EXPECT_EQ(screen(33, 5), hyphen);
    EXPECT_EQ(screen(78, 5), hyphen);
}

}  // namespace
