// A whole game on the headless backend, loaded from the stand-in data, and
// helpers that read presented frames back by the stand-in images' colours.
// Shared by the screen, keyboard and frame-loop tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace screens {

// Screen positions the tests look at.
struct Spot {
    int x;
    int y;
};

// A button: where its frame is drawn, its frame size, and its image.
struct ButtonPlace {
    const char* name;
    const char* image;
    int x;
    int y;
    int width;
    int height;
    Spot inside() const { return {x + width / 2, y + height / 2}; }
};

inline const ButtonPlace START{"Start", "Tex/Menu/Start.Tex", 330, 160, 152, 45};
inline const ButtonPlace OPTIONS{"Options", "Tex/Menu/Options.Tex", 315, 330, 185, 46};
inline const ButtonPlace HIGH_SCORES{"High Scores", "Tex/Menu/HighScores.Tex", 305, 245, 204, 45};
inline const ButtonPlace HELP{"Help", "Tex/Menu/Help.Tex", 350, 415, 105, 45};
inline const ButtonPlace EXIT{"Exit", "Tex/Menu/Exit.Tex", 320, 500, 170, 46};
inline const ButtonPlace BACK{"Back", "Tex/Menu/Back.Tex", 350, 450, 100, 46};
inline const ButtonPlace MUSIC{"Music", "Tex/Menu/Music.Tex", 320, 150, 130, 46};
inline const ButtonPlace SOUND{"Sound", "Tex/Menu/Sound.Tex", 330, 250, 121, 46};

// Where nothing reacts on any screen: the lower left of the background.
constexpr Spot NOWHERE{20, 420};

inline uint16_t colourOf(const char* image) {
    return rgbTo565(standin::image(image).colour);
}
inline uint16_t hoverColourOf(const char* image) {
    return rgbTo565(standin::image(image).hoverColour);
}

// What a pixel value is among the stand-in images, for failure messages.
inline std::string describe(uint16_t pixel) {
    std::ostringstream out;
    for (const standin::Image& img : standin::images()) {
        if (rgbTo565(img.colour) == pixel && img.colour != 0) return std::string(img.path);
        if (rgbTo565(img.hoverColour) == pixel && img.hoverColour != 0)
            return std::string(img.path) + " (second frame)";
    }
    for (int d = 0; d < 10; ++d)
        if (rgbTo565(standin::digitColour(d)) == pixel) return "digit " + std::to_string(d);
    for (int f = 0; f < 20; ++f)
        if (rgbTo565(standin::pointerFrameColour(f)) == pixel) return "pointer frame " + std::to_string(f);
    if (pixel == rgbTo565(standin::GREEN)) return "key green";
    if (pixel == 0) return "black";
    out << "0x" << std::hex << pixel;
    return out.str();
}

// The pixel at (x, y) must be `expected`; the message names the element.
inline testing::AssertionResult pixelIs(const headless::Frame& frame, int x, int y, uint16_t expected,
                                        const std::string& element) {
    const uint16_t found = frame.at(x, y);
    if (found == expected) return testing::AssertionSuccess();
    return testing::AssertionFailure() << element << " expected at (" << x << ", " << y << ") as " << describe(expected)
                                       << ", found " << describe(found);
}

inline testing::AssertionResult pixelIsNot(const headless::Frame& frame, int x, int y, uint16_t unwanted,
                                           const std::string& element) {
    if (frame.at(x, y) != unwanted) return testing::AssertionSuccess();
    return testing::AssertionFailure() << element << " must not be at (" << x << ", " << y << ")";
}

// Reads a clock drawn with its top-left at (x, y) as "HH-MM-SS"; a glyph that
// is neither a digit nor the separator reads as '?'.
inline std::string readTime(const headless::Frame& frame, int x, int y) {
    const int offsets[8] = {0, 18, 30, 45, 63, 75, 90, 108};
    std::string text;
    for (int offset : offsets) {
        const uint16_t pixel = frame.at(x + offset + 5, y + 10);  // inside the glyph, off its key pixel
        char c = '?';
        for (int d = 0; d < 10; ++d)
            if (pixel == rgbTo565(standin::digitColour(d))) c = static_cast<char>('0' + d);
        if (pixel == colourOf("Tex/HyphenBlue.Tex")) c = '-';
        text += c;
    }
    return text;
}

// A button frame at its place: the first and the last pixel of its third
// row (above any pointer inside the button), and the pixel just right of
// the frame, which must not belong to the strip.
inline testing::AssertionResult buttonShows(const headless::Frame& frame, const ButtonPlace& button, bool hover) {
    const uint16_t wanted = hover ? hoverColourOf(button.image) : colourOf(button.image);
    const std::string what = std::string(button.name) + (hover ? " button, hover frame" : " button, normal frame");
    testing::AssertionResult first = pixelIs(frame, button.x + 2, button.y + 2, wanted, what);
    if (!first) return first;
    testing::AssertionResult last =
        pixelIs(frame, button.x + button.width - 1, button.y + 2, wanted, what + " (right end)");
    if (!last) return last;
    const uint16_t beyond = frame.at(button.x + button.width, button.y + 2);
    if (beyond == colourOf(button.image) || beyond == hoverColourOf(button.image))
        return testing::AssertionFailure() << what << " reaches past its frame width " << button.width;
    return testing::AssertionSuccess();
}

// The pointer sprite with its top-left at (x, y), showing `frameIndex`.
inline testing::AssertionResult pointerAt(const headless::Frame& frame, int x, int y, int frameIndex) {
    const uint16_t colour = rgbTo565(standin::pointerFrameColour(frameIndex));
    testing::AssertionResult first = pixelIs(frame, x + 1, y + 1, colour, "pointer");
    if (!first) return first;
    return pixelIs(frame, x + 37, y + 26, colour, "pointer (last pixel)");
}

// A loaded game with its keyboard open, in a fresh folder of stand-in data.
class ScreenTest : public testing::Test {
protected:
    ScreenTest() { headless::reset(); }

    void SetUp() override {
        standin::writeAll();
        std::string error;
        app.window = platform::windowCreate("Tavrin", &error);
        ASSERT_NE(app.window, nullptr) << error;
        ASSERT_EQ(app.initKeyboard(), STATUS_OK);
        ASSERT_EQ(app.loadAssets(), 0);
        headless::clearAudioCalls();
    }

    void TearDown() override {
        app.releaseAll();
        app.releaseKeyboard();
        platform::windowDestroy(app.window);
    }

    // Runs one frame step and returns the picture it presented.
    const headless::Frame& frame() {
        const uint64_t before = headless::presentCount();
        app.stepFrame();
        EXPECT_EQ(headless::presentCount(), before + 1) << "a frame step presents exactly once";
        return headless::presentedFrames().back();
    }

    // Moves the pointer and lets one frame sample it (the main menu reads the
    // position sampled at the end of the previous frame).
    const headless::Frame& moveTo(Spot spot) {
        headless::setCursor(spot.x, spot.y);
        return frame();
    }

    // A left click at `spot` handled by the next frame step.
    const headless::Frame& clickAt(Spot spot) {
        moveTo(spot);
        app.clickPending = true;
        return frame();
    }

    // Runs the new-game frame; the next frame is the first playing one.
    void startGame() {
        app.state = STATE_NEW_GAME;
        frame();
        ASSERT_EQ(app.state, STATE_PLAYING);
    }

    int audioCallsStartingWith(const std::string& prefix) const {
        int count = 0;
        for (const std::string& call : headless::audioCalls())
            if (call.rfind(prefix, 0) == 0) ++count;
        return count;
    }

    TempDir dir;
    GameApp app;
};

}  // namespace screens
