// Where the picture lands in windows of several shapes, and where the
// pointer lands in the picture, bars included.
#include "platform/sdl/picture_fit.h"

#include <gtest/gtest.h>

#include <climits>

using sdlbackend::fitPicture;
using sdlbackend::pictureColumnAt;
using sdlbackend::PictureFit;
using sdlbackend::pictureRowAt;
using sdlbackend::windowToPicture;

namespace {

struct FitCase {
    int windowW, windowH;
    int x, y, w, h;
};

void expectPoint(const PictureFit& fit, int wx, int wy, int px, int py, const char* where) {
    platform::Point p = windowToPicture(fit, wx, wy);
    EXPECT_EQ(p.x, px) << where << ": window (" << wx << ", " << wy << ")";
    EXPECT_EQ(p.y, py) << where << ": window (" << wx << ", " << wy << ")";
}

}  // namespace

TEST(PictureFit, KeepsTheAspectCentredWithBars) {
    const FitCase cases[] = {
        {800, 600, 0, 0, 800, 600},      // identity
        {1024, 768, 0, 0, 1024, 768},    // scale 1.28, no bars
        {1280, 720, 160, 0, 960, 720},   // bars left and right
        {1280, 1024, 0, 32, 1280, 960},  // bars top and bottom
        {1367, 768, 171, 0, 1024, 768},  // odd leftover: the extra pixel goes right
        {640, 480, 0, 0, 640, 480},      // shrunk
        {1, 1, 0, 0, 1, 1},              // never empty for a real window
    };
    for (const FitCase& c : cases) {
        PictureFit fit = fitPicture(c.windowW, c.windowH);
        EXPECT_EQ(fit.x, c.x) << c.windowW << "x" << c.windowH;
        EXPECT_EQ(fit.y, c.y) << c.windowW << "x" << c.windowH;
        EXPECT_EQ(fit.width, c.w) << c.windowW << "x" << c.windowH;
        EXPECT_EQ(fit.height, c.h) << c.windowW << "x" << c.windowH;
    }
}

TEST(PictureFit, EmptyOrNegativeWindowGivesEmptyFitAndOriginPointer) {
    for (auto [w, h] : {std::pair{0, 0}, {0, 600}, {800, 0}, {-5, -7}, {INT_MIN, INT_MAX}}) {
        PictureFit fit = fitPicture(w, h);
        EXPECT_EQ(fit.width, 0) << w << "x" << h;
        EXPECT_EQ(fit.height, 0) << w << "x" << h;
        expectPoint(fit, 10, 10, 0, 0, "empty window");
        EXPECT_TRUE(sdlbackend::columnMap(fit).empty());
    }
}

TEST(PictureFit, SideBarsMapOutsideThePictureAndClamp) {
    PictureFit fit = fitPicture(1280, 720);  // scale 1.2, 160-pixel bars
    EXPECT_EQ(pictureColumnAt(fit, 159), -1) << "last pixel of the left bar";
    EXPECT_EQ(pictureColumnAt(fit, 160), 0) << "first picture pixel";
    EXPECT_EQ(pictureColumnAt(fit, 1119), 799) << "last picture pixel";
    EXPECT_EQ(pictureColumnAt(fit, 1120), 800) << "first pixel of the right bar";
    expectPoint(fit, 0, 0, 0, 0, "left bar, top");
    expectPoint(fit, 159, 719, 0, 599, "left bar, bottom");
    expectPoint(fit, 1279, 360, 799, 300, "right bar, middle");
    expectPoint(fit, 160 + 600, 360, 500, 300, "picture (500, 300)");
}

TEST(PictureFit, TopAndBottomBarsMapOutsideThePictureAndClamp) {
    PictureFit fit = fitPicture(1280, 1024);  // scale 1.6, 32-pixel bars
    EXPECT_EQ(pictureRowAt(fit, 31), -1) << "last row of the top bar";
    EXPECT_EQ(pictureRowAt(fit, 32), 0);
    EXPECT_EQ(pictureRowAt(fit, 991), 599);
    EXPECT_EQ(pictureRowAt(fit, 992), 600) << "first row of the bottom bar";
    expectPoint(fit, 640, 0, 400, 0, "top bar");
    expectPoint(fit, 640, 1023, 400, 599, "bottom bar");
    expectPoint(fit, 1279, 32 + 480, 799, 300, "picture right edge, middle");
}

TEST(PictureFit, ScaledAndIdentityWindowsMapExactly) {
    PictureFit scaled = fitPicture(1024, 768);
    expectPoint(scaled, 640, 384, 500, 300, "1.28: centre");
    expectPoint(scaled, 0, 0, 0, 0, "1.28: top-left");
    expectPoint(scaled, 1023, 767, 799, 599, "1.28: bottom-right");
    PictureFit identity = fitPicture(800, 600);
    for (int v : {0, 1, 57, 399, 598, 599}) expectPoint(identity, v, v, v, v, "identity");
    expectPoint(identity, 799, 0, 799, 0, "identity: right edge");
}

TEST(PictureFit, PositionsFarOutsideTheWindowClampWithoutOverflow) {
    PictureFit fit = fitPicture(1280, 720);
    expectPoint(fit, INT_MIN, INT_MIN, 0, 0, "far top-left");
    expectPoint(fit, INT_MAX, INT_MAX, 799, 599, "far bottom-right");
    expectPoint(fit, -3, 800, 0, 599, "left of and below the window");
}

// Every enlarged picture column and row must show at least once and in
// order: a dropped column would hide a hole's edge or a digit's stroke.
TEST(PictureFit, EnlargedMapsShowEveryPictureColumnAndRowInOrder) {
    for (auto [w, h] : {std::pair{800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}, {801, 601}}) {
        PictureFit fit = fitPicture(w, h);
        for (const auto& [map, size] : {std::pair{sdlbackend::columnMap(fit), platform::PICTURE_WIDTH},
                                        std::pair{sdlbackend::rowMap(fit), platform::PICTURE_HEIGHT}}) {
            ASSERT_FALSE(map.empty());
            EXPECT_EQ(map.front(), 0) << w << "x" << h;
            EXPECT_EQ(map.back(), size - 1) << w << "x" << h;
            for (size_t i = 1; i < map.size(); ++i) {
                ASSERT_GE(map[i] - map[i - 1], 0) << w << "x" << h << " offset " << i;
                ASSERT_LE(map[i] - map[i - 1], 1) << w << "x" << h << " offset " << i << ": a line is skipped";
            }
        }
    }
}

// SDL reports the pointer in points; on a desktop scaled by 2 the fit is made
// in twice as many pixels, and a point lands on the second of its two pixels
// (its centre), so the same picture pixel is picked as at scale 1.
TEST(PictureFit, PointerPointsMapToTheWindowsPixels) {
    struct Case {
        int point, points, pixels, pixel;
    } const cases[] = {
        {0, 800, 800, 0},     {799, 800, 800, 799},   {-1, 800, 800, -1},  // equal sizes: unchanged
        {0, 512, 1024, 1},    {511, 512, 1024, 1023}, {256, 512, 1024, 513},
        {-3, 512, 1024, -5},  {600, 512, 1024, 1201},                  // outside the window
        {100, 400, 600, 150}, {7, 0, 1024, 7},        {7, 512, 0, 7},  // 1.5; empty sizes
    };
    for (const Case& c : cases)
        EXPECT_EQ(sdlbackend::pointToPixel(c.point, c.points, c.pixels), c.pixel)
            << c.point << " of " << c.points << " points in " << c.pixels << " pixels";
    // At scale 2 the 1024x768-pixel window of 512x384 points: Exit's centre.
    PictureFit fit = fitPicture(1024, 768);
    expectPoint(fit, sdlbackend::pointToPixel(259, 512, 1024), sdlbackend::pointToPixel(334, 384, 768), 405, 523,
                "scale 2, Exit");
}
