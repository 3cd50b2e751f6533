// The display device: each failing set-up step, the release paths, the
// clear and the flip.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display_fixture.h"

namespace {

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

using DisplayDevice = DisplayTest;
using DisplayDeviceDeathTest = DisplayTest;

TEST_F(DisplayDeviceDeathTest, EachFailingStepNamesItselfAndEndsWithMinusOne) {
    struct Step {
        headless::DisplayStep step;
        const char* message;
    };
    const Step steps[] = {
        {headless::DISPLAY_FAIL_FULLSCREEN, "InitDirectDraw failed: Set cooperative level failed\n"},
        {headless::DISPLAY_FAIL_MODE, "InitDirectDraw failed: Can't set suitable display mode\n"},
        {headless::DISPLAY_FAIL_PRIMARY, "InitDirectDraw failed: Create Front Surface failed\n"},
        {headless::DISPLAY_FAIL_BACK_BUFFER, "InitDirectDraw failed: Create Back Surface failed\n"},
    };
    for (const Step& s : steps) {
        headless::failDisplayStep(s.step);
        EXPECT_EXIT(app.initDisplay(), ExitedWithCode(255), HasSubstr(s.message)) << s.message;
    }
}

TEST_F(DisplayDevice, ReadyDeviceClearsAndPresentsTheBackBuffer) {
    ASSERT_EQ(app.initDisplay(), 1);
    ASSERT_NE(app.backSurface, nullptr);
    EXPECT_EQ(app.backSurface->width, 800);
    EXPECT_EQ(app.backSurface->height, 600);
    EXPECT_EQ(headless::primarySurfacesHeld(), 1);
    EXPECT_EQ(headless::backBuffersHeld(), 1);

    EXPECT_EQ(app.clearBackSurface(0x1234), STATUS_OK);
    app.backSurface->pixels[599 * 800 + 799] = 0xBEEF;
    app.flipFrame();
    ASSERT_EQ(headless::presentCount(), 1u);
    const headless::Frame& frame = headless::presentedFrames().back();
    EXPECT_EQ(frame.at(0, 0), 0x1234) << "cleared pixel, top left";
    EXPECT_EQ(frame.at(799, 599), 0xBEEF) << "last pixel of the picture";

    // The fill value is a 16-bit pixel; higher bits cannot spill over.
    EXPECT_EQ(app.clearBackSurface(0xFFFF0001u), STATUS_OK);
    EXPECT_EQ(screen(400, 300), 0x0001);
}

TEST_F(DisplayDevice, ReleasesAreSafeToRepeatAndBeforeAnything) {
    EXPECT_EQ(app.clearBackSurface(0), STATUS_POINTER) << "no back buffer before set-up";
    app.flipFrame();  // nothing to present: no effect
    EXPECT_EQ(headless::presentCount(), 0u);
    app.releaseDisplay();
    app.releaseAll();
    app.releaseAll();

    ASSERT_EQ(app.initDisplay(), 1);
    app.releaseDisplay();
    app.releaseDisplay();
    EXPECT_EQ(app.backSurface, nullptr);
    EXPECT_EQ(app.primarySurface, nullptr);
    EXPECT_EQ(headless::primarySurfacesHeld(), 0);
    EXPECT_EQ(headless::backBuffersHeld(), 0);
    EXPECT_EQ(app.clearBackSurface(0), STATUS_POINTER) << "after the release";
}

TEST_F(DisplayDevice, SecondSetUpReplacesTheFirstWithoutLeaking) {
    ASSERT_EQ(app.initDisplay(), 1);
    const uint64_t first = app.backSurface->serial;
    ASSERT_EQ(app.initDisplay(), 1);
    EXPECT_NE(app.backSurface->serial, first);
    EXPECT_EQ(headless::primarySurfacesHeld(), 1);
    EXPECT_EQ(headless::backBuffersHeld(), 1);
}

}  // namespace
