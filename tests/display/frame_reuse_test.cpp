// The frame step draws only what differs from the previous frame and skips
// the clear under a full background. Both must leave every presented frame
// exactly as a full redraw on a cleared buffer would.
#include <gtest/gtest.h>

#include <vector>

#include "display/compose.h"
#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

constexpr uint16_t POISON = 0xF81F;  // a magenta no stand-in image uses

Spot cellCentre(int row, int col) {
    return {GRID_LEFT + CELL_PITCH * col + CELL_PITCH / 2, GRID_TOP + CELL_PITCH * row + CELL_PITCH / 2};
}

// One input of a scripted session: the pointer position and whether the
// frame handles a click there.
struct Input {
    Spot at;
    bool click;
};

// Through every screen: hovers, the options switches, best times, help, a
// game with a selection and the winning jump, the Won screen, back to the
// menu. Each input is held for a few frames so the pointer animates.
const std::vector<Input> SESSION = {
    {NOWHERE, false},         {START.inside(), false},   {HIGH_SCORES.inside(), false},
    {OPTIONS.inside(), true}, {MUSIC.inside(), true},    {SOUND.inside(), true},
    {NOWHERE, false},         {BACK.inside(), true},     {HIGH_SCORES.inside(), true},
    {BACK.inside(), true},    {HELP.inside(), true},     {BACK.inside(), true},
    {START.inside(), true},   {cellCentre(4, 0), false}, {cellCentre(4, 0), true},
    {cellCentre(4, 4), true}, {NOWHERE, false},          {NOWHERE, true},
    {EXIT.inside(), false},
};

class FrameReuse : public ScreenTest {
protected:
    // Plays the session and returns every presented picture. With `poison`
    // the back buffer is filled with magenta before each frame, which also
    // makes that frame draw everything: the reference.
    std::vector<std::vector<uint16_t>> play(bool poison) {
        std::vector<std::vector<uint16_t>> frames;
        for (const Input& input : SESSION) {
            for (int held = 0; held < 4; ++held) {
                headless::setCursor(input.at.x, input.at.y);
                headless::advanceTicks(33);
                app.clickPending = input.click && held == 1;
                if (poison) fillSurface(app.backSurface.get(), POISON);
                frames.push_back(frame().pixels);
            }
        }
        return frames;
    }
};

TEST_F(FrameReuse, SessionFramesEqualFullRedrawsAndNoChangeEscapesItsTile) {
    const std::vector<std::vector<uint16_t>> reused = play(false);
    EXPECT_EQ(headless::changesMissedByHints(), 0u) << "a changed pixel lay outside every flagged tile";
    EXPECT_EQ(app.state, STATE_MAIN_MENU) << "the session ends back on the main menu";

    // The same session again from the start, every frame drawn in full.
    app.state = STATE_MAIN_MENU;
    app.musicOn = app.soundOn = true;
    app.cursor = {0, 0};
    app.initSprite(app.pointerSprite, app.pointerSprite.kind, app.pointerSprite.frameCount,
                   app.pointerSprite.frameDelay, app.pointerSprite.frameWidth, app.pointerSprite.frameHeight);
    headless::setTicks(0);
    const std::vector<std::vector<uint16_t>> full = play(true);

    ASSERT_EQ(reused.size(), full.size());
    for (size_t f = 0; f < full.size(); ++f) {
        if (reused[f] == full[f]) continue;
        size_t i = 0;
        while (reused[f][i] == full[f][i]) ++i;
        FAIL() << "frame " << f << " (input " << f / 4 << ") differs from a full redraw at (" << i % 800 << ", "
               << i / 800 << "): " << describe(reused[f][i]) << " instead of " << describe(full[f][i]);
    }
}

TEST_F(FrameReuse, RepeatedMenuFrameDrawsNothing) {
    headless::setCursor(NOWHERE.x, NOWHERE.y);
    frame();
    frame();
    const uint64_t writes = app.backSurface->writeCount;
    app.pointerSprite.delayCounter = 0;  // keep the pointer on its frame
    frame();
    EXPECT_EQ(app.backSurface->writeCount, writes) << "an unchanged menu frame draws no pixel";
}

TEST_F(FrameReuse, SmallBackgroundKeepsTheClearAroundIt) {
    // A background that does not cover the picture: black around it, also
    // after frames whose pixels there were something else.
    app.releaseAll();
    writeBmp24("Tex/Background.Tex", 400, 300, [](int, int) { return 0x336699u; });
    ASSERT_EQ(app.loadAssets(), 0);
    fillSurface(app.backSurface.get(), POISON);
    for (int f = 0; f < 3; ++f) {
        const headless::Frame& shown = moveTo(NOWHERE);
        EXPECT_TRUE(pixelIs(shown, 100, 100, rgbTo565(0x336699), "small background"));
        EXPECT_TRUE(pixelIs(shown, 600, 20, 0, "the clear right of the small background"));
        EXPECT_TRUE(pixelIs(shown, 20, 580, 0, "the clear below the small background"));
    }
}

TEST_F(FrameReuse, OversizedBackgroundIsRefusedAndTheClearStays) {
    app.releaseAll();
    writeBmp24("Tex/Background.Tex", 801, 600, [](int, int) { return 0x336699u; });
    ASSERT_EQ(app.loadAssets(), 0);
    fillSurface(app.backSurface.get(), POISON);
    const headless::Frame& shown = moveTo(NOWHERE);
    EXPECT_TRUE(pixelIs(shown, 20, 20, 0, "the clear where a too wide background was refused"));
}

TEST_F(FrameReuse, MissingBackgroundLeavesTheClear) {
    app.texBackground.reset();
    fillSurface(app.backSurface.get(), POISON);
    const headless::Frame& shown = moveTo(NOWHERE);
    EXPECT_TRUE(pixelIs(shown, 20, 20, 0, "the clear without any background"));
    EXPECT_TRUE(buttonShows(shown, START, false));
}

}  // namespace
}  // namespace screens
