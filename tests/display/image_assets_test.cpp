// Image loading, the colour key, and the reload after a focus cycle.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/frame_loop.h"
#include "display/draw.h"
#include "display/image_list.h"
#include "display_fixture.h"
#include "tests/support/test_files.h"

namespace {

using ::testing::ExitedWithCode;

using ImageAssets = DisplayTest;
using ImageAssetsDeathTest = DisplayTest;

struct Field {
    const char* path;
    std::unique_ptr<Surface> GameApp::*member;
};
// Every image in load order, with the field that receives it.
const Field FIELDS[] = {
    {"Tex/Fail.Tex", &GameApp::texFail},
    {"Tex/Won.Tex", &GameApp::texWon},
    {"Tex/Quillmara.Tex", &GameApp::texLogo},
    {"Tex/MousePtr.Tex", &GameApp::texMousePtr},
    {"Tex/Menu/Start.Tex", &GameApp::texMenuStart},
    {"Tex/Menu/Options.Tex", &GameApp::texMenuOptions},
    {"Tex/Menu/HighScores.Tex", &GameApp::texMenuHighScores},
    {"Tex/Menu/Help.Tex", &GameApp::texMenuHelp},
    {"Tex/Menu/Exit.Tex", &GameApp::texMenuExit},
    {"Tex/Menu/Music.Tex", &GameApp::texMenuMusic},
    {"Tex/Menu/Sound.Tex", &GameApp::texMenuSound},
    {"Tex/Menu/Button.Tex", &GameApp::texMenuButton},
    {"Tex/Menu/Back.Tex", &GameApp::texMenuBack},
    {"Tex/Background.Tex", &GameApp::texBackground},
    {"Tex/Help.Tex", &GameApp::texHelp},
    {"Tex/Digit.Tex", &GameApp::texDigit},
    {"Tex/HyphenBlue.Tex", &GameApp::texHyphenBlue},
    {"Tex/Lamp.Tex", &GameApp::texLamp},
    {"Tex/Button1.Tex", &GameApp::texButton1},
    {"Tex/Board.Tex", &GameApp::texBoard},
};

// The teardown's order, written out.
std::unique_ptr<Surface> GameApp::*const RELEASE_ORDER[] = {
    &GameApp::texFail,       &GameApp::texWon,         &GameApp::texLogo,           &GameApp::texBackground,
    &GameApp::texMousePtr,   &GameApp::texHelp,        &GameApp::texMenuHelp,       &GameApp::texMenuExit,
    &GameApp::texMenuStart,  &GameApp::texMenuMusic,   &GameApp::texMenuSound,      &GameApp::texMenuButton,
    &GameApp::texMenuBack,   &GameApp::texMenuOptions, &GameApp::texMenuHighScores, &GameApp::texDigit,
    &GameApp::texHyphenBlue, &GameApp::texLamp,        &GameApp::texButton1,        &GameApp::texBoard,
};

TEST(ImageList, KeepsTheLoadOrderTheReleaseOrderAndTheKey) {
    ASSERT_EQ(std::size(IMAGES), std::size(FIELDS));
    for (size_t i = 0; i < std::size(FIELDS); ++i) {
        EXPECT_STREQ(IMAGES[i].path, FIELDS[i].path) << "load order, entry " << i;
        EXPECT_EQ(IMAGES[i].field, FIELDS[i].member) << FIELDS[i].path;
        EXPECT_EQ(IMAGES[i].keyed, FIELDS[i].member != &GameApp::texBackground) << FIELDS[i].path;
        EXPECT_EQ(IMAGES_IN_RELEASE_ORDER[i]->field, RELEASE_ORDER[i]) << "release order, entry " << i;
    }
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Standard error holds exactly one message box, the one for `path`.
auto onlyLoadFailureOf(const std::string& path) {
    const std::string line = "DirectDraw: Can't Load " + path + "! Quillmara is Exiting!!\n";
    return ::testing::Truly([line](const std::string& err) {
        return countOf(err, line) == 1 && countOf(err, "DirectDraw: ") == 1 && countOf(err, "InitDirectDraw") == 0;
    });
}

TEST_F(ImageAssetsDeathTest, EachMissingImageIsNamedAloneAndEndsWithMinusOne) {
    for (const Field& f : FIELDS) {
        const std::string kept = readFile(f.path);
        ASSERT_EQ(std::remove(f.path), 0) << f.path;
        EXPECT_EXIT(app.loadAssets(), ExitedWithCode(255), onlyLoadFailureOf(f.path)) << f.path;
        writeFile(f.path, kept);
    }
}

TEST_F(ImageAssetsDeathTest, FilesThatAreNoBitmapFailLikeMissingOnes) {
    const std::string board = readFile("Tex/Board.Tex");
    writeFile("Tex/Board.Tex", board.substr(0, board.size() / 2));
    EXPECT_EXIT(app.loadAssets(), ExitedWithCode(255), onlyLoadFailureOf("Tex/Board.Tex")) << "truncated";

    writeFile("Tex/Help.Tex", "These are the rules of the game.\n");
    EXPECT_EXIT(app.loadAssets(), ExitedWithCode(255), onlyLoadFailureOf("Tex/Help.Tex")) << "text file";

    writeFile("Tex/Lamp.Tex", "");
    EXPECT_EXIT(app.loadTex("Tex/Lamp.Tex"), ExitedWithCode(255), onlyLoadFailureOf("Tex/Lamp.Tex")) << "empty";
    EXPECT_EXIT(app.loadTex(nullptr), ExitedWithCode(255), onlyLoadFailureOf("")) << "no path";
}

TEST_F(ImageAssets, GreenAndItsLookalikesAreTransparentExceptInTheBackground) {
    // A piece image with pure green, a colour the 16-bit format cannot tell
    // from it, and a green that differs by one step.
    writeBmp24("Tex/Lamp.Tex", 4, 1, [](int x, int) {
        const uint32_t colours[] = {0x00FF00, 0x04FE03, 0x08FF00, 0xF8A000};
        return colours[x];
    });
    EXPECT_EQ(app.colorMatch(0x00FF00), 0u) << "no display yet";
    ASSERT_EQ(app.loadAssets(), 0);
    EXPECT_EQ(app.colorMatch(0x00FF00), 0x07E0u);
    EXPECT_EQ(app.colorMatch(0x00FF0000), 0x001Fu) << "colour values are 0x00BBGGRR: this is blue";

    app.clearBackSurface(0x1234);
    drawKeyed(app, app.texLamp.get(), 10, 10);
    EXPECT_EQ(screen(10, 10), 0x1234) << "pure green in the piece image";
    EXPECT_EQ(screen(11, 10), 0x1234) << "0x04FE03 in the piece image";
    EXPECT_EQ(screen(12, 10), rgbTo565(0x08FF00)) << "a visibly different green";
    EXPECT_EQ(screen(13, 10), rgbTo565(0xF8A000)) << "the piece colour";

    for (const Field& f : FIELDS) {
        const Surface& s = *(app.*f.member);
        EXPECT_EQ(s.hasColorKey, f.member != &GameApp::texBackground) << f.path;
        if (s.hasColorKey) {
            EXPECT_EQ(s.colorKey, 0x07E0) << f.path;
        }
    }
    drawOpaque(app, app.texBackground.get(), 0, 0);
    EXPECT_EQ(screen(0, 0), 0x07E0) << "the background's green pixel shows";
    EXPECT_EQ(screen(1, 0), rgbTo565(standin::image("Tex/Background.Tex").colour)) << "background";
}

TEST_F(ImageAssets, ColorMatchWithoutDisplayIsZero) {
    EXPECT_EQ(app.colorMatch(0x00FF00), 0u);
}

TEST_F(ImageAssets, FocusCycleRebuildsEverythingAndKeepsTheGame) {
    ASSERT_EQ(app.loadAssets(), 0);
    app.state = STATE_PLAYING;
    app.board[40] = CELL_PIECE;
    app.pieceSelected = true;
    app.selectedRow = 4;
    app.selectedCol = 6;
    app.gameStartTick = 0xFFFFFF00u;
    app.musicOn = false;
    app.soundOn = false;
    const Board board = app.board;
    for (int i = 0; i < 15; ++i) app.drawSprite(app.pointerSprite, 100, 100);
    ASSERT_EQ(app.pointerSprite.currentFrame, 1);

    std::vector<uint64_t> before;
    for (const Field& f : FIELDS) before.push_back((app.*f.member)->serial);
    const uint64_t backBefore = app.backSurface->serial;

    handleEvent(app, platform::EVENT_FOCUS_LOST);
    for (const Field& f : FIELDS) EXPECT_EQ(app.*f.member, nullptr) << f.path << " released";
    EXPECT_EQ(headless::primarySurfacesHeld(), 0);
    // A picture changed on disk while the game is away shows when it returns.
    writeBmp24("Tex/Help.Tex", 620, 290, [](int, int) { return 0x123456u; });
    handleEvent(app, platform::EVENT_FOCUS_GAINED);

    for (size_t i = 0; i < std::size(FIELDS); ++i) {
        const Surface* s = (app.*FIELDS[i].member).get();
        ASSERT_NE(s, nullptr) << FIELDS[i].path;
        EXPECT_NE(s->serial, before[i]) << FIELDS[i].path << " is a new surface";
        EXPECT_EQ(s->hasColorKey, FIELDS[i].member != &GameApp::texBackground) << FIELDS[i].path;
    }
    EXPECT_NE(app.backSurface->serial, backBefore);
    EXPECT_EQ(app.texHelp->at(5, 5), rgbTo565(0x123456)) << "help image read again";
    EXPECT_EQ(app.pointerSprite.currentFrame, 0) << "pointer animation restarts";
    EXPECT_EQ(app.pointerSprite.delayCounter, 0);
    EXPECT_EQ(app.state, STATE_PLAYING);
    EXPECT_EQ(app.board, board);
    EXPECT_TRUE(app.pieceSelected);
    EXPECT_EQ(app.selectedRow, 4);
    EXPECT_EQ(app.selectedCol, 6);
    EXPECT_EQ(app.gameStartTick, 0xFFFFFF00u);
    EXPECT_FALSE(app.musicOn);
    EXPECT_FALSE(app.soundOn);
}

}  // namespace
