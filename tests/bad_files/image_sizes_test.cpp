// Images of sizes the game does not expect, swapped in on disk while the game
// is away and loaded at the focus regain: every screen still plays, no copy
// reads or writes outside its surfaces (the sanitizer build checks that), and
// a copy that does not fit is simply missing from the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

struct Size {
    const char* path;
    int width;
    int height;
};

Spot cellCentre(int row, int col) {
    return {GRID_LEFT + CELL_PITCH * col + 25, GRID_TOP + CELL_PITCH * row + 25};
}

// The stand-in colour of `path` at (x, y), for an image of any size: strips
// keep their frames where the game cuts them, with no keyed pixel at all.
uint32_t standInColour(const standin::Image& image, int x) {
    const std::string path = image.path;
    if (path == "Tex/Digit.Tex") return standin::digitColour(std::min(x / 15, 9));
    if (path == "Tex/MousePtr.Tex") return standin::pointerFrameColour(std::min(x / 38, 19));
    if (path == "Tex/Menu/Button.Tex") return x < 30 ? standin::LAMP_ON : standin::LAMP_OFF;
    return x < image.width / 2 ? image.colour : image.hoverColour;
}

class OddImageSizes : public ScreenTest {
protected:
    // Writes the images while the focus is away; the regain loads them.
    void swapIn(const std::vector<Size>& sizes) {
        handleEvent(app, platform::EVENT_FOCUS_LOST);
        for (const Size& s : sizes) {
            const standin::Image& image = standin::image(s.path);
            writeBmp24(s.path, s.width, s.height, [&image](int x, int) { return standInColour(image, x); });
        }
        handleEvent(app, platform::EVENT_FOCUS_GAINED);
        ASSERT_FALSE(app.suspended);
    }

    // Every image made width x height, then every screen toured.
    void tourWithEveryImage(int width, int height) {
        std::vector<Size> sizes;
        for (const standin::Image& image : standin::images()) sizes.push_back({image.path, width, height});
        swapIn(sizes);
        tourEveryScreen();
    }

    void expectState(GameState expected, const std::string& step) {
        EXPECT_EQ(app.state, expected) << "after " << step;
    }

    // Every screen and every button, hovered and clicked, the pointer at the
    // picture's corners, a won and a lost game and a clock of many hours.
    // The buttons and cells answer where they always do: their hit areas do
    // not depend on the images.
    void tourEveryScreen() {
        for (const ButtonPlace* b : {&START, &OPTIONS, &HIGH_SCORES, &HELP, &EXIT}) moveTo(b->inside());
        for (Spot corner : {Spot{0, 0}, Spot{799, 0}, Spot{0, 599}, Spot{799, 599}}) moveTo(corner);

        clickAt(OPTIONS.inside());
        expectState(STATE_OPTIONS, "Options");
        for (int i = 0; i < 2; ++i) {
            clickAt(MUSIC.inside());
            clickAt(SOUND.inside());
        }
        moveTo({799, 599});
        clickAt(BACK.inside());
        expectState(STATE_MAIN_MENU, "Back from the options");

        clickAt(HIGH_SCORES.inside());
        expectState(STATE_HIGH_SCORES, "High Scores");
        moveTo({0, 0});
        clickAt(BACK.inside());
        clickAt(HELP.inside());
        expectState(STATE_HELP, "Help");
        moveTo({799, 0});
        clickAt(BACK.inside());
        expectState(STATE_MAIN_MENU, "Back from the help");

        clickAt(START.inside());
        frame();  // the new-game frame
        expectState(STATE_PLAYING, "Start");
        for (Spot corner : {Spot{0, 0}, Spot{799, 599}, Spot{1, 9}}) moveTo(corner);
        headless::advanceTicks(100u * 3600u * 1000u);  // a clock past 99 hours
        clickAt(cellCentre(4, 0));
        EXPECT_TRUE(app.pieceSelected);
        clickAt(cellCentre(4, 4));
        expectState(STATE_WON, "the winning jump");
        moveTo({0, 599});
        clickAt(NOWHERE);
        expectState(STATE_MAIN_MENU, "a click on the won screen");

        standin::writeLevel(boardFromPicture(
            "x . . . . . . . x\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
            ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"));
        clickAt(START.inside());
        frame();
        frame();  // the first playing frame finds no move
        expectState(STATE_LOST, "a level without a move");
        moveTo({799, 0});
        clickAt(NOWHERE);
        expectState(STATE_MAIN_MENU, "a click on the lost screen");
    }
};

TEST_F(OddImageSizes, OnePixelImagesEverywhere) {
    tourWithEveryImage(1, 1);

    // Only whole images fit: the background's and the logo's single pixels.
    const headless::Frame& f = moveTo(NOWHERE);
    EXPECT_TRUE(pixelIs(f, 0, 0, colourOf("Tex/Background.Tex"), "the background's one pixel"));
    EXPECT_TRUE(pixelIs(f, 176, 60, colourOf("Tex/Quillmara.Tex"), "the logo's one pixel"));
    EXPECT_TRUE(pixelIs(f, 1, 0, 0, "cleared back buffer beside the background"));
    EXPECT_TRUE(pixelIs(f, START.x + 2, START.y + 2, 0, "Start, whose frame does not fit its image"));
}

TEST_F(OddImageSizes, ImagesWiderThanThePicture) {
    tourWithEveryImage(801, 64);

    // Button frames are cut from the strip and fit; whole images do not.
    const headless::Frame& f = moveTo(NOWHERE);
    EXPECT_TRUE(pixelIs(f, 5, 5, 0, "background wider than the picture, left out"));
    EXPECT_TRUE(pixelIs(f, 200, 70, 0, "logo reaching past the picture, left out"));
    EXPECT_TRUE(pixelIs(f, START.x + 2, START.y + 2, colourOf(START.image), "Start frame cut from a wide strip"));
    EXPECT_TRUE(pixelIs(f, START.x + START.width, START.y + 2, 0, "nothing past Start's frame"));
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame))
        << "pointer frame from a wide strip";
}

TEST_F(OddImageSizes, ShortStripsLoseOnlyTheFramesTheyLack) {
    swapIn({
        {"Tex/Menu/Start.Tex", 152, 45},  // the normal frame only
        {"Tex/Menu/Button.Tex", 45, 31},  // half the off lamp
        {"Tex/Digit.Tex", 100, 27},       // glyphs 0 to 5
        {"Tex/MousePtr.Tex", 1, 1},       // not even one frame
        {"Tex/Background.Tex", 1, 1},     //
        {"Tex/Board.Tex", 801, 600},      // one column too wide
        {"Tex/Fail.Tex", 768, 60},        // reaches one pixel past the right edge at x 33
        {"Tex/Lamp.Tex", 36, 700},        // a piece taller than the picture
    });
    tourEveryScreen();

    headless::setCursor(START.inside().x, START.inside().y);
    frame();
    const headless::Frame& hovered = frame();
    EXPECT_TRUE(pixelIs(hovered, START.x + 2, START.y + 2, 0, "Start's missing hover frame"));
    moveTo(NOWHERE);
    const headless::Frame& normal = frame();
    EXPECT_TRUE(pixelIs(normal, START.x + 2, START.y + 2, colourOf(START.image), "Start's normal frame"));
    EXPECT_TRUE(pixelIs(normal, NOWHERE.x + 1, NOWHERE.y + 1, 0, "pointer without a whole frame, left out"));

    clickAt(OPTIONS.inside());
    clickAt(SOUND.inside());  // sound off: its lamp shows the missing off frame
    const headless::Frame& options = frame();
    EXPECT_TRUE(pixelIs(options, 462, 160, colourOf("Tex/Menu/Button.Tex"), "music lamp, on frame"));
    EXPECT_TRUE(pixelIs(options, 462, 262, 0, "sound lamp, off frame past the strip's end"));
    clickAt(SOUND.inside());
    clickAt(BACK.inside());

    clickAt(HIGH_SCORES.inside());
    const headless::Frame& times = frame();  // 61 3599 3600 7322
    EXPECT_EQ(readTime(times, 340, 150), "00-01-01") << "glyphs inside the short strip";
    EXPECT_EQ(readTime(times, 340, 220), "00-5?-5?") << "glyph 9 lies past the short strip";
    clickAt(BACK.inside());

    clickAt(START.inside());
    frame();
    const headless::Frame& play = moveTo(NOWHERE);
    EXPECT_TRUE(pixelIs(play, 400, 300, 0, "backdrop one column too wide, left out"));
    EXPECT_TRUE(pixelIs(play, 175 + 5, 75 + 5, colourOf("Tex/Button1.Tex"), "hole (0, 0) without its too tall piece"));
}

}  // namespace
}  // namespace screens
