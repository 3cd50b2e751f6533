// The options, help and best-times screens: drawing, Back, the two switches
// and the pointer animation.
#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

class SubScreenTest : public ScreenTest {
protected:
    // Enters `button`'s screen from the main menu, as a player does.
    void enterFrom(const ButtonPlace& button, GameState expected) {
        clickAt(button.inside());
        ASSERT_EQ(app.state, expected);
        headless::clearAudioCalls();
    }

    // The next frame, drawn with the pointer away from every button.
    const headless::Frame& frameWithPointerAway() {
        headless::setCursor(NOWHERE.x, NOWHERE.y);
        return frame();
    }
};

constexpr Spot MUSIC_LAMP{462, 160};
constexpr Spot SOUND_LAMP{462, 262};

TEST_F(SubScreenTest, OptionsScreenDrawsLogoButtonsAndLamps) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    const headless::Frame& f = frameWithPointerAway();
    EXPECT_TRUE(pixelIs(f, 5, 5, colourOf("Tex/Background.Tex"), "background"));
    EXPECT_TRUE(pixelIs(f, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo"));
    for (const ButtonPlace* b : {&BACK, &MUSIC, &SOUND}) EXPECT_TRUE(buttonShows(f, *b, false));
    EXPECT_TRUE(pixelIs(f, MUSIC_LAMP.x, MUSIC_LAMP.y, rgbTo565(standin::LAMP_ON), "music lamp (on)"));
    EXPECT_TRUE(pixelIs(f, SOUND_LAMP.x, SOUND_LAMP.y, rgbTo565(standin::LAMP_ON), "sound lamp (on)"));
    EXPECT_TRUE(pixelIs(f, 489, 188, rgbTo565(standin::LAMP_ON), "music lamp, last pixel of the 30x31 frame"));
    EXPECT_TRUE(pixelIs(f, 490, 170, colourOf("Tex/Background.Tex"), "background right of the music lamp"));
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame));
}

TEST_F(SubScreenTest, OptionsButtonsHoverAtTheSampledPointerIncludingTheWideAreas) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    struct Case {
        Spot spot;
        const ButtonPlace* hovered;  // null: none
    };
    const Case cases[] = {
        {BACK.inside(), &BACK}, {MUSIC.inside(), &MUSIC}, {SOUND.inside(), &SOUND},
        {{484, 170}, &MUSIC},   // over the gap beside Music
        {{485, 170}, nullptr},  // its right edge
        {{485, 270}, &SOUND},   {{486, 270}, nullptr},    {{449, 470}, &BACK},
        {{450, 470}, nullptr},  {{400, 450}, nullptr},  // Back's top edge
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pointer at (" << c.spot.x << ", " << c.spot.y << ")");
        // Options buttons sample the pointer themselves: no extra frame needed.
        headless::setCursor(c.spot.x, c.spot.y);
        const headless::Frame& f = frame();
        for (const ButtonPlace* b : {&BACK, &MUSIC, &SOUND}) EXPECT_TRUE(buttonShows(f, *b, b == c.hovered));
    }
}

TEST_F(SubScreenTest, BackReturnsToTheMainMenuFromEverySubScreen) {
    struct Case {
        const ButtonPlace* entry;
        GameState screen;
    };
    for (const Case& c :
         {Case{&OPTIONS, STATE_OPTIONS}, Case{&HIGH_SCORES, STATE_HIGH_SCORES}, Case{&HELP, STATE_HELP}}) {
        SCOPED_TRACE(c.entry->name);
        enterFrom(*c.entry, c.screen);
        headless::setCursor(BACK.inside().x, BACK.inside().y);
        EXPECT_TRUE(buttonShows(frame(), BACK, true));
        clickAt(BACK.inside());
        EXPECT_EQ(app.state, STATE_MAIN_MENU);
        EXPECT_FALSE(app.clickPending);
        EXPECT_EQ(audioCallsStartingWith("play Sound/Button.aud"), 1);
    }
}

TEST_F(SubScreenTest, OneClickPressesOneOptionsButton) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    clickAt(SOUND.inside());
    EXPECT_FALSE(app.soundOn);
    EXPECT_TRUE(app.musicOn);
    EXPECT_EQ(app.state, STATE_OPTIONS);
    clickAt(NOWHERE);
    EXPECT_FALSE(app.soundOn);
    EXPECT_TRUE(app.musicOn);
    EXPECT_FALSE(app.clickPending);
}

TEST_F(SubScreenTest, LampShowsTheValueBeforeThisFramesToggle) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    const headless::Frame& clicked = clickAt(MUSIC.inside());
    EXPECT_FALSE(app.musicOn);
    EXPECT_TRUE(
        pixelIs(clicked, MUSIC_LAMP.x, MUSIC_LAMP.y, rgbTo565(standin::LAMP_ON), "music lamp in the click's frame"));
    const headless::Frame& after = frame();
    EXPECT_TRUE(
        pixelIs(after, MUSIC_LAMP.x, MUSIC_LAMP.y, rgbTo565(standin::LAMP_OFF), "music lamp after switching off"));
    EXPECT_TRUE(pixelIs(after, SOUND_LAMP.x, SOUND_LAMP.y, rgbTo565(standin::LAMP_ON), "sound lamp stays on"));

    clickAt(SOUND.inside());
    EXPECT_TRUE(
        pixelIs(frame(), SOUND_LAMP.x, SOUND_LAMP.y, rgbTo565(standin::LAMP_OFF), "sound lamp after switching off"));
}

TEST_F(SubScreenTest, MusicOffStopsItAndOnRestartsItFromTheBeginning) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    clickAt(MUSIC.inside());
    EXPECT_FALSE(app.musicOn);
    EXPECT_EQ(audioCallsStartingWith("stopAll"), 1);
    EXPECT_EQ(audioCallsStartingWith("playMusic"), 0);
    headless::clearAudioCalls();
    clickAt(MUSIC.inside());
    EXPECT_TRUE(app.musicOn);
    EXPECT_EQ(audioCallsStartingWith("playMusic"), 1) << "the music plays again from its beginning";
    EXPECT_EQ(audioCallsStartingWith("stopAll"), 0);
    EXPECT_EQ(app.state, STATE_OPTIONS) << "the switches change no screen";
}

TEST_F(SubScreenTest, SwitchingSoundOffPlaysTheClickAndSwitchingItOnIsSilent) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    clickAt(SOUND.inside());
    EXPECT_FALSE(app.soundOn);
    EXPECT_EQ(audioCallsStartingWith("play Sound/Button.aud"), 1);
    headless::clearAudioCalls();
    clickAt(SOUND.inside());
    EXPECT_TRUE(app.soundOn);
    EXPECT_EQ(audioCallsStartingWith("play "), 0);
    // Switching off released nothing, so the effects play again at once.
    clickAt(BACK.inside());
    EXPECT_EQ(audioCallsStartingWith("play Sound/Button.aud"), 1);
}

TEST_F(SubScreenTest, SoundSwitchedOnAfterAFocusCycleLoadsTheSkippedEffects) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    clickAt(SOUND.inside());
    ASSERT_FALSE(app.soundOn);
    // Focus lost and regained while sound is off: the reload skips the effects.
    app.releaseAll();
    ASSERT_EQ(app.loadAssets(), 0);
    EXPECT_EQ(app.sfxButton.segment, nullptr);
    headless::clearAudioCalls();

    clickAt(SOUND.inside());
    EXPECT_TRUE(app.soundOn);
    EXPECT_EQ(audioCallsStartingWith("loadSample Sound/Button.aud"), 1);
    EXPECT_EQ(audioCallsStartingWith("loadSample Sound/Explode.aud"), 1);
    EXPECT_EQ(audioCallsStartingWith("loadSample Sound/Success.aud"), 1);
    clickAt(BACK.inside());
    EXPECT_EQ(audioCallsStartingWith("play Sound/Button.aud"), 1) << "the effects sound while the lamp says on";
}

TEST_F(SubScreenTest, MusicOffStaysOffAcrossAFocusCycle) {
    enterFrom(OPTIONS, STATE_OPTIONS);
    clickAt(MUSIC.inside());
    app.releaseAll();
    headless::clearAudioCalls();
    ASSERT_EQ(app.loadAssets(), 0);
    EXPECT_EQ(audioCallsStartingWith("playMusic"), 0);
    EXPECT_TRUE(pixelIs(frame(), MUSIC_LAMP.x, MUSIC_LAMP.y, rgbTo565(standin::LAMP_OFF), "music lamp after reload"));
}

TEST_F(SubScreenTest, HelpScreenDrawsTheHelpImageUnderTheBackButton) {
    enterFrom(HELP, STATE_HELP);
    const headless::Frame& f = frameWithPointerAway();
    EXPECT_TRUE(pixelIs(f, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo"));
    EXPECT_TRUE(pixelIs(f, 91, 151, colourOf("Tex/Help.Tex"), "help image top-left"));
    EXPECT_TRUE(pixelIs(f, 90, 150, colourOf("Tex/Background.Tex"), "background under the help image's keyed corner"));
    EXPECT_TRUE(pixelIs(f, 709, 439, colourOf("Tex/Help.Tex"), "help image bottom-right"));
    EXPECT_TRUE(pixelIs(f, 89, 200, colourOf("Tex/Background.Tex"), "background left of the help image"));
    EXPECT_TRUE(buttonShows(f, BACK, false));
    EXPECT_TRUE(pixelIs(f, MUSIC_LAMP.x, MUSIC_LAMP.y, colourOf("Tex/Help.Tex"), "no lamp on the help screen"));
}

TEST_F(SubScreenTest, BestTimesScreenDrawsTheFourTimesFromTheFile) {
    enterFrom(HIGH_SCORES, STATE_HIGH_SCORES);
    const headless::Frame& f = frameWithPointerAway();
    // The stand-in file holds 61 3599 3600 7322.
    EXPECT_EQ(readTime(f, 340, 150), "00-01-01") << "first best time";
    EXPECT_EQ(readTime(f, 340, 220), "00-59-59") << "second best time";
    EXPECT_EQ(readTime(f, 340, 290), "01-00-00") << "third best time";
    EXPECT_EQ(readTime(f, 340, 360), "02-02-02") << "fourth best time";
    EXPECT_TRUE(pixelIs(f, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo"));
    EXPECT_TRUE(buttonShows(f, BACK, false));
}

TEST_F(SubScreenTest, BestTimesFollowEditsAndKeepValuesTheFileCannotGive) {
    enterFrom(HIGH_SCORES, STATE_HIGH_SCORES);
    standin::writeBestTimes("1 2 3 4");
    const headless::Frame& edited = frame();
    EXPECT_EQ(readTime(edited, 340, 150), "00-00-01") << "an edit shows on the next frame";
    EXPECT_EQ(readTime(edited, 340, 360), "00-00-04");

    standin::writeBestTimes("10 twenty 30 40");
    const headless::Frame& partial = frame();
    EXPECT_EQ(readTime(partial, 340, 150), "00-00-10");
    EXPECT_EQ(readTime(partial, 340, 220), "00-00-02") << "a non-number keeps the previous entry";
    EXPECT_EQ(readTime(partial, 340, 290), "00-00-03") << "reading stops at the non-number";

    std::remove("config0.bst");
    const headless::Frame& missing = frame();
    EXPECT_EQ(readTime(missing, 340, 150), "00-00-10") << "a missing file keeps the current values";
    EXPECT_EQ(readTime(missing, 340, 360), "00-00-04");
    EXPECT_EQ(app.state, STATE_HIGH_SCORES);
}

TEST_F(SubScreenTest, PointerAnimatesOncePerDrawAndTheSubScreensDrawItMoreOften) {
    struct Case {
        GameState state;
        int drawsPerFrame;
    };
    for (const Case& c : {Case{STATE_MAIN_MENU, 1}, Case{STATE_OPTIONS, 4}, Case{STATE_HIGH_SCORES, 2},
                          Case{STATE_HELP, 2}, Case{STATE_WON, 1}}) {
        SCOPED_TRACE(testing::Message() << "state " << c.state);
        app.state = c.state;
        app.initSprite(app.pointerSprite, SPRITE_POINTER, 20, 10, 38, 27);
        headless::setCursor(NOWHERE.x, NOWHERE.y);
        frame();
        EXPECT_EQ(app.pointerSprite.delayCounter, c.drawsPerFrame);
        // After ten draws the next animation frame shows, on top.
        int frames = 1;
        while (frames * c.drawsPerFrame < 10) {
            frame();
            ++frames;
        }
        const headless::Frame& f = headless::presentedFrames().back();
        EXPECT_EQ(app.pointerSprite.currentFrame, 1) << "after " << frames << " frames";
        EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, 1));
    }
}

}  // namespace
}  // namespace screens
