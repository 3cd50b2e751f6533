// The main menu: what it draws, where its buttons react, and where they lead.
#include <cstdlib>

#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

using MainMenuTest = ScreenTest;

TEST_F(MainMenuTest, DrawsBackgroundButtonsAndLogoWithThePointerOnTop) {
    moveTo(NOWHERE);
    const headless::Frame& f = frame();
    EXPECT_TRUE(pixelIs(f, 0, 0, rgbTo565(standin::GREEN), "background drawn opaque (its green corner shows)"));
    EXPECT_TRUE(pixelIs(f, 5, 5, colourOf("Tex/Background.Tex"), "background"));
    EXPECT_TRUE(pixelIs(f, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo top-left"));
    EXPECT_TRUE(pixelIs(f, 176, 60, colourOf("Tex/Background.Tex"), "background under the logo's keyed corner"));
    EXPECT_TRUE(pixelIs(f, 623, 147, colourOf("Tex/Quillmara.Tex"), "logo bottom-right"));
    EXPECT_TRUE(pixelIs(f, 624, 147, colourOf("Tex/Background.Tex"), "background right of the logo"));
    for (const ButtonPlace* b : {&START, &HIGH_SCORES, &HELP, &OPTIONS, &EXIT}) {
        EXPECT_TRUE(buttonShows(f, *b, false));
    }
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame));
}

TEST_F(MainMenuTest, EachButtonShowsItsHoverFrameWhileThePointerIsInside) {
    for (const ButtonPlace* b : {&START, &HIGH_SCORES, &HELP, &OPTIONS, &EXIT}) {
        SCOPED_TRACE(b->name);
        moveTo(b->inside());
        const headless::Frame& f = frame();
        EXPECT_TRUE(buttonShows(f, *b, true));
        for (const ButtonPlace* other : {&START, &HIGH_SCORES, &HELP, &OPTIONS, &EXIT}) {
            if (other != b) {
                EXPECT_TRUE(buttonShows(f, *other, false));
            }
        }
        // The pointer is drawn last, over the button it hovers.
        EXPECT_TRUE(pointerAt(f, b->inside().x, b->inside().y, app.pointerSprite.currentFrame));
    }
}

TEST_F(MainMenuTest, HoverUsesThePointerSampledAtTheEndOfThePreviousFrame) {
    moveTo(NOWHERE);
    headless::setCursor(START.inside().x, START.inside().y);
    EXPECT_TRUE(buttonShows(frame(), START, false)) << "the first frame still uses the old sample";
    EXPECT_TRUE(buttonShows(frame(), START, true));
}

TEST_F(MainMenuTest, HoverIsStrictOnEveryEdge) {
    struct Case {
        Spot spot;
        bool hovered;
    };
    const Case cases[] = {
        {{482, 180}, false},                       // right edge
        {{481, 180}, true},  {{330, 180}, false},  // left edge
        {{331, 180}, true},  {{400, 160}, false},  // top edge
        {{400, 161}, true},  {{400, 205}, false},  // bottom edge
        {{400, 204}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pointer at (" << c.spot.x << ", " << c.spot.y << ")");
        moveTo(c.spot);
        EXPECT_TRUE(buttonShows(frame(), START, c.hovered));
        // A click acts exactly where the hover frame shows.
        app.clickPending = true;
        frame();
        EXPECT_EQ(app.state, c.hovered ? STATE_NEW_GAME : STATE_MAIN_MENU);
        app.state = STATE_MAIN_MENU;
    }
}

TEST_F(MainMenuTest, ButtonsLeadToTheirScreensAndRememberTheMenu) {
    struct Case {
        const ButtonPlace* button;
        GameState next;
    };
    for (const Case& c : {Case{&START, STATE_NEW_GAME}, Case{&OPTIONS, STATE_OPTIONS},
                          Case{&HIGH_SCORES, STATE_HIGH_SCORES}, Case{&HELP, STATE_HELP}}) {
        SCOPED_TRACE(c.button->name);
        app.state = STATE_MAIN_MENU;
        app.previousState = STATE_WON;  // shows whether the click wrote it
        headless::clearAudioCalls();
        clickAt(c.button->inside());
        EXPECT_EQ(app.state, c.next);
        EXPECT_FALSE(app.clickPending);
        if (c.next != STATE_NEW_GAME) {
            EXPECT_EQ(app.previousState, STATE_MAIN_MENU);
        }
        EXPECT_EQ(audioCallsStartingWith("play Sound/Button.aud"), 1) << "one button sound per click";
    }
}

TEST_F(MainMenuTest, ButtonClickIsSilentWithSoundOff) {
    app.soundOn = false;
    clickAt(OPTIONS.inside());
    EXPECT_EQ(app.state, STATE_OPTIONS);
    EXPECT_EQ(audioCallsStartingWith("play "), 0);
}

TEST_F(MainMenuTest, ClickOutsideEveryButtonIsConsumedAndChangesNothing) {
    // On the left edge of Options, on the bottom edge of High Scores, and far off.
    for (Spot spot : {NOWHERE, Spot{315, 350}, Spot{400, 290}, Spot{799, 599}}) {
        clickAt(spot);
        EXPECT_EQ(app.state, STATE_MAIN_MENU);
        EXPECT_FALSE(app.clickPending);
    }
    EXPECT_EQ(audioCallsStartingWith("play "), 0);
}

TEST_F(MainMenuTest, StartStillDrawsTheRestOfTheMenuThatFrame) {
    const headless::Frame& clicked = clickAt(START.inside());
    EXPECT_EQ(app.state, STATE_NEW_GAME);
    for (const ButtonPlace* b : {&HIGH_SCORES, &HELP, &OPTIONS, &EXIT}) EXPECT_TRUE(buttonShows(clicked, *b, false));
    EXPECT_TRUE(pixelIs(clicked, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo"));

    // The new game's one frame: background and logo, no buttons.
    const headless::Frame& next = frame();
    EXPECT_TRUE(pixelIs(next, START.x + 2, START.y + 2, colourOf("Tex/Background.Tex"), "background where Start was"));
    EXPECT_TRUE(pixelIs(next, EXIT.x + 2, EXIT.y + 2, colourOf("Tex/Background.Tex"), "background where Exit was"));
    EXPECT_TRUE(pixelIs(next, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo on the new-game frame"));
    EXPECT_EQ(app.state, STATE_PLAYING);
}

TEST_F(MainMenuTest, FirstFrameOfAFreshGameHoversNothing) {
    // The cursor field starts at (0, 0) and the first menu frame reads it
    // before any sample, wherever the real pointer is.
    headless::setCursor(START.inside().x, START.inside().y);
    EXPECT_TRUE(buttonShows(frame(), START, false));
}

// Reported from the exit handlers of the process that the Exit button ends.
void reportWhatIsStillHeld() {
    const GameApp& app = *theGameApp;
    std::fprintf(stderr, "exit %d: display %d back %d audio %d keyboard %d images %d presented %llu\n",
                 headless::lastExitCode(), headless::primarySurfacesHeld(), headless::backBuffersHeld(),
                 headless::audioHandlesHeld(), headless::keyboardIsOpen() ? 1 : 0,
                 (app.texBackground != nullptr) + (app.texMenuExit != nullptr) + (app.texBoard != nullptr),
                 static_cast<unsigned long long>(headless::presentCount()));
}

TEST_F(MainMenuTest, ExitReleasesEverythingAndEndsWithCodeOneWithoutAnotherFrame) {
    theGameApp = &app;
    moveTo(EXIT.inside());
    const std::string presented = std::to_string(headless::presentCount());
    EXPECT_EXIT(
        {
            std::atexit(reportWhatIsStillHeld);
            app.clickPending = true;
            app.stepFrame();
            std::fprintf(stderr, "the frame went on after Exit\n");
        },
        testing::ExitedWithCode(1),
        "exit 1: display 0 back 0 audio 0 keyboard 0 images 0 presented " + presented + "\n");
}

}  // namespace
}  // namespace screens
