// Whole screens made of the generated art, composed by the game itself on
// the headless backend: what a player sees, checked pixel by pixel.
#include <filesystem>

#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/tools/imagegen/art_files.h"
#include "tools/screens/screen_tour.h"

namespace art {
namespace {

// The stand-in data (level, sounds, best times) with the generated images.
void writeGameData() {
    standin::writeAll();
    for (const ArtFile& file : artFiles())
        std::filesystem::copy_file(runFile(file.path), file.path, std::filesystem::copy_options::overwrite_existing);
}

std::string at(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

testing::AssertionResult noKeyGreen(const std::vector<uint16_t>& pixels, const std::string& screen) {
    for (size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] == KEY_565)
            return testing::AssertionFailure() << "key green on the " << screen << " at "
                                               << at(static_cast<int>(i % 800), static_cast<int>(i / 800));
    return testing::AssertionSuccess();
}

TEST(ScreenTour, EveryScreenIsFreeOfKeyGreen) {
    headless::reset();
    TempDir dir;
    writeGameData();
    std::vector<tour::Shot> shots;
    std::string error;
    ASSERT_TRUE(tour::takeShots(&shots, &error)) << error;
    ASSERT_EQ(shots.size(), tour::shotNames().size());
    for (const tour::Shot& shot : shots) EXPECT_TRUE(noKeyGreen(shot.pixels, shot.name + " screen"));
}

// A loaded game on the generated art.
class ArtScreen : public testing::Test {
protected:
    ArtScreen() { headless::reset(); }

    void SetUp() override {
        writeGameData();
        std::string error;
        app.window = platform::windowCreate("Tavrin", &error);
        ASSERT_NE(app.window, nullptr) << error;
        ASSERT_GE(app.initKeyboard(), 0);
        ASSERT_EQ(app.loadAssets(), 0);
        digits = load("Tex/Digit.Tex");
        separator = load("Tex/HyphenBlue.Tex");
    }

    void TearDown() override {
        app.releaseAll();
        app.releaseKeyboard();
        platform::windowDestroy(app.window);
    }

    // Two frames with the pointer at (x, y): the menus hover by the position
    // sampled at the end of the frame before.
    headless::Frame frameWithPointerAt(int x, int y) {
        headless::setCursor(x, y);
        app.stepFrame();
        app.stepFrame();
        return headless::presentedFrames().back();
    }

    void startGame() {
        app.state = STATE_NEW_GAME;
        app.stepFrame();
        ASSERT_EQ(app.state, STATE_PLAYING);
    }

    // Every visible pixel of the glyph (`cell` 0..9 of the digit strip, or
    // the separator when -1) shows unchanged with its top-left at (x, y).
    testing::AssertionResult glyphLandsWhole(const headless::Frame& frame, int cell, int x, int y,
                                             const std::string& element) {
        const platform::DecodedImage& image = cell < 0 ? separator : digits;
        const int left = cell < 0 ? 0 : 15 * cell;
        for (int gy = 0; gy < 27; ++gy)
            for (int gx = 0; gx < 15; ++gx) {
                uint32_t p = pixel(image, left + gx, gy);
                if (isKey(p) || frame.at(x + gx, y + gy) == rgbTo565(p)) continue;
                return testing::AssertionFailure() << element << " is damaged at " << at(x + gx, y + gy);
            }
        return testing::AssertionSuccess();
    }

    // The whole clock for `seconds` with its top-left at (x, y).
    testing::AssertionResult timeLandsWhole(const headless::Frame& frame, int seconds, int x, int y) {
        const int values[3] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
        const char* names[3] = {"hours", "minutes", "seconds"};
        for (int i = 0; i < 3; ++i) {
            int v = std::min(values[i], 99);
            auto tens = glyphLandsWhole(frame, v / 10, x + 45 * i, y, std::string(names[i]) + " tens digit");
            if (!tens) return tens;
            auto ones = glyphLandsWhole(frame, v % 10, x + 45 * i + 18, y, std::string(names[i]) + " ones digit");
            if (!ones) return ones;
        }
        auto first = glyphLandsWhole(frame, -1, x + 30, y, "first separator");
        if (!first) return first;
        return glyphLandsWhole(frame, -1, x + 75, y, "second separator");
    }

    TempDir dir;
    GameApp app;
    platform::DecodedImage digits, separator;
};

double patchLuminance(const headless::Frame& frame, int cx, int cy) {
    double sum = 0;
    for (int y = cy - 3; y <= cy + 3; ++y)
        for (int x = cx - 3; x <= cx + 3; ++x) sum += luminance565(frame.at(x, y));
    return sum / 49;
}

TEST_F(ArtScreen, HoverLightsUpEveryButtonLabel) {
    auto check = [&](GameState state, const std::vector<ButtonPlace>& buttons) {
        for (const ButtonPlace& b : buttons) {
            app.state = state;
            headless::Frame normal = frameWithPointerAt(20, 420);
            // Inside the frame's last corner, so the pointer lands clear of the label.
            headless::Frame hover = frameWithPointerAt(b.x + b.width - 3, b.y + b.height - 3);
            int differing = 0, total = 0;
            for (int y = b.y + b.height / 3; y < b.y + 2 * b.height / 3; ++y)
                for (int x = b.x + b.width / 4; x < b.x + 3 * b.width / 4; ++x, ++total)
                    differing += normal.at(x, y) != hover.at(x, y);
            EXPECT_GT(differing, total / 2) << b.name << " button: its label looks the same hovered";
        }
    };
    check(STATE_MAIN_MENU, mainMenuButtons());
    check(STATE_OPTIONS, optionsButtons());
}

TEST_F(ArtScreen, PiecesAndHolesStandOutFromTheWood) {
    // The stand-in level's row 4 is "x o x o o"; row 3 has no holes.
    startGame();
    headless::Frame f = frameWithPointerAt(700, 20);
    const double wood = patchLuminance(f, 200, 250);             // cell (3, 0)
    const double piece = patchLuminance(f, 200, 75 + 200 + 18);  // the glass of the piece at (4, 0)
    const double hole = patchLuminance(f, 250, 75 + 200 + 27);   // the empty hole at (4, 1)
    EXPECT_GT(piece - wood, 60) << "piece " << piece << " against wood " << wood;
    EXPECT_GT(wood - hole, 25) << "hole " << hole << " against wood " << wood;
}

TEST_F(ArtScreen, SelectedPieceRisesFivePixels) {
    startGame();
    auto glassTop = [&](const headless::Frame& f) {
        const double wood = patchLuminance(f, 200, 250);
        for (int y = 240; y < 320; ++y)
            if (luminance565(f.at(200, y)) > wood + 60) return y;
        return -1;
    };
    // The bottom of the hole of (4, 0), hidden by a resting piece's shadow.
    const int seatY = 75 + 200 + 39;
    const headless::Frame before = frameWithPointerAt(700, 20);
    const int resting = glassTop(before);
    headless::setCursor(200, 300);
    app.clickPending = true;
    app.stepFrame();  // selects (4, 0); the board was drawn before the click
    ASSERT_TRUE(app.pieceSelected);
    const headless::Frame after = frameWithPointerAt(700, 20);
    const int raised = glassTop(after);
    ASSERT_GT(resting, 0) << "no glass found above the piece's hole";
    EXPECT_EQ(resting - raised, 5);
    EXPECT_GT(luminance565(after.at(200, seatY)), luminance565(before.at(200, seatY)) + 30)
        << "the lifted piece uncovers the brass seat of its hole";
}

TEST_F(ArtScreen, ClockGlyphsLandWholeOnTheBoardAndTheOverlays) {
    startGame();
    headless::setTicks(app.gameStartTick + 3723 * 1000);
    EXPECT_TRUE(timeLandsWhole(frameWithPointerAt(700, 20), 3723, 100, 550)) << "play clock 01-02-03";
    app.state = STATE_WON;
    EXPECT_TRUE(timeLandsWhole(frameWithPointerAt(700, 20), app.finalSeconds, 100, 550)) << "Won screen";
    app.state = STATE_LOST;
    EXPECT_TRUE(timeLandsWhole(frameWithPointerAt(700, 20), app.elapsedSeconds, 100, 550)) << "Lost screen";
}

TEST_F(ArtScreen, BestTimesLandWholeOverTheSky) {
    standin::writeBestTimes("59 3600 359999 754");
    app.state = STATE_HIGH_SCORES;
    headless::Frame f = frameWithPointerAt(700, 20);
    const int expected[4] = {59, 3600, 359999, 754};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(timeLandsWhole(f, expected[i], 340, 150 + 70 * i)) << "best time " << i;
}

TEST_F(ArtScreen, SkyShowsRoundTheBoardAndOverlaysLand) {
    platform::DecodedImage background = load("Tex/Background.Tex"), won = load("Tex/Won.Tex");
    startGame();
    app.state = STATE_WON;
    headless::Frame f = frameWithPointerAt(700, 20);
    for (auto [x, y] : {std::pair{5, 5}, {790, 300}, {400, 590}})
        EXPECT_EQ(f.at(x, y), rgbTo565(pixel(background, x, y))) << "sky expected round the board at " << at(x, y);
    const int cx = won.width / 2, cy = won.height / 2;
    EXPECT_EQ(f.at(33 + cx, 270 + cy), rgbTo565(pixel(won, cx, cy))) << "Won banner at its place";
}

}  // namespace
}  // namespace art
