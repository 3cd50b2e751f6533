// Music and sound effects over the headless audio device, whose record of
// calls shows what the game asked for and in which order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

using Calls = std::vector<std::string>;

constexpr const char* MUSIC_FILE = "Sound/BkGnd.mus";
constexpr const char* MUSIC_FATAL = "^BkGnd Music: BkGnd\\.mus not found,  Program will now quit\n$";
constexpr const char* EFFECT_FATAL = "^Quillmara: Media not found, sample will now quit\n$";

std::string joined(const Calls& calls) {
    std::string out;
    for (const std::string& call : calls) out += "\n  " + call;
    return out;
}

Calls callsStartingWith(const std::string& prefix) {
    Calls found;
    for (const std::string& call : headless::audioCalls())
        if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
}

class Audio : public testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        for (const char* file : {MUSIC_FILE, SOUND_BUTTON_FILE, SOUND_EXPLODE_FILE, SOUND_SUCCESS_FILE}) {
            writeFile(file, makeSilentWav());
        }
    }
    void TearDown() override {
        app.releaseAll();
        platform::windowDestroy(app.window);
    }

    // The whole asset load needs the window the display goes on.
    void loadAssets() {
        standin::writeAll();
        std::string error;
        app.window = platform::windowCreate("Tavrin", &error);
        ASSERT_NE(app.window, nullptr) << error;
        app.loadAssets();
    }

    // The audio part of the asset loader: music first, then the three effects.
    void loadAudio() {
        ASSERT_EQ(app.initMusic(), STATUS_OK);
        app.loadSoundEffect(SOUND_BUTTON_FILE, app.sfxButton);
        app.loadSoundEffect(SOUND_EXPLODE_FILE, app.sfxExplode);
        app.loadSoundEffect(SOUND_SUCCESS_FILE, app.sfxSuccess);
    }

    bool allEmpty() const {
        for (const SoundEffect* e : {&app.sfxButton, &app.sfxExplode, &app.sfxSuccess})
            if (e->segment != nullptr || e->audioPath != nullptr) return false;
        return true;
    }

    TempDir dir;
    GameApp app;
};

TEST_F(Audio, LoadingOpensTheDevicePlaysTheMusicAndLoadsEachEffectOnItsPath) {
    loadAudio();
    const Calls expected = {"openDevice", "loadMusic Sound/BkGnd.mus",    "playMusic",  "loadSample Sound/Button.aud",
                            "createPath", "loadSample Sound/Explode.aud", "createPath", "loadSample Sound/Success.aud",
                            "createPath"};
    EXPECT_EQ(headless::audioCalls(), expected) << joined(headless::audioCalls());
    EXPECT_EQ(headless::audioHandlesHeld(), 8) << "device, music, three samples, three paths";
}

TEST_F(Audio, MusicOffIsLoadedSilentAndStartsFromTheButton) {
    app.musicOn = false;
    app.initMusic();
    EXPECT_EQ(headless::audioCalls(), (Calls{"openDevice", "loadMusic Sound/BkGnd.mus"}))
        << joined(headless::audioCalls());
    headless::clearAudioCalls();
    app.startMusic();
    app.stopMusic();
    EXPECT_EQ(headless::audioCalls(), (Calls{"playMusic", "stopAll"})) << joined(headless::audioCalls());
}

TEST_F(Audio, TeardownReleasesEverythingOnceInOrder) {
    loadAudio();
    headless::clearAudioCalls();
    app.releaseAudio();
    const Calls expected = {"stopAll",  "freePath",   "freeSample", "freePath",   "freeSample",
                            "freePath", "freeSample", "freeMusic",  "closeDevice"};
    EXPECT_EQ(headless::audioCalls(), expected) << joined(headless::audioCalls());
    EXPECT_EQ(headless::audioHandlesHeld(), 0);
    EXPECT_EQ(app.performance, nullptr);
    EXPECT_EQ(app.musicSegment, nullptr);
    EXPECT_TRUE(allEmpty());

    headless::clearAudioCalls();
    app.releaseAudio();
    app.releaseSoundEffect(app.sfxButton);
    EXPECT_TRUE(headless::audioCalls().empty()) << "a second teardown does nothing" << joined(headless::audioCalls());
}

TEST_F(Audio, NothingHeldMeansNothingToDo) {
    app.releaseAudio();
    app.startMusic();
    app.stopMusic();
    app.playSoundEffect(app.sfxExplode);
    EXPECT_TRUE(headless::audioCalls().empty()) << joined(headless::audioCalls());
}

TEST_F(Audio, ReloadAfterTeardownBuildsFreshObjects) {
    loadAudio();
    app.releaseAudio();
    headless::clearAudioCalls();
    loadAudio();
    EXPECT_EQ(callsStartingWith("openDevice").size(), 1u);
    EXPECT_EQ(callsStartingWith("playMusic").size(), 1u) << "the music starts again from its beginning";
    EXPECT_EQ(headless::audioHandlesHeld(), 8);
}

TEST_F(Audio, SoundOffLoadsNoEffectAndLeavesTheRecord) {
    for (const char* file : {SOUND_BUTTON_FILE, SOUND_EXPLODE_FILE, SOUND_SUCCESS_FILE}) std::filesystem::remove(file);
    app.soundOn = false;
    loadAudio();  // missing effect files go unnoticed while sound is off
    EXPECT_TRUE(callsStartingWith("loadSample").empty()) << joined(headless::audioCalls());
    EXPECT_TRUE(allEmpty());

    int stand = 0;
    SoundEffect marked;
    marked.segment = reinterpret_cast<platform::AudioSample*>(&stand);
    EXPECT_FALSE(app.loadSoundEffect(SOUND_BUTTON_FILE, marked));
    EXPECT_EQ(marked.segment, reinterpret_cast<platform::AudioSample*>(&stand)) << "the record is not touched";
    EXPECT_EQ(marked.audioPath, nullptr);
}

// The left and right gains of one play with the pointer at (x, y).
struct Gains {
    float left = -1;
    float right = -1;
};

class Panning : public Audio {
protected:
    Gains playAt(int32_t x, int32_t y) {
        headless::setCursor(x, y);
        headless::clearAudioCalls();
        app.playSoundEffect(app.sfxExplode);
        Gains gains;
        const Calls plays = callsStartingWith("play Sound/Explode.aud ");
        EXPECT_EQ(plays.size(), 1u) << joined(headless::audioCalls());
        if (plays.size() == 1) std::sscanf(plays[0].c_str(), "play Sound/Explode.aud %f %f", &gains.left, &gains.right);
        return gains;
    }
};

TEST_F(Panning, EqualPowerByThePointersColumn) {
    loadAudio();
    struct Case {
        int32_t x;
        float pan;  // -0.5 full left .. +0.5 full right
    };
    for (const Case& c :
         {Case{0, -0.5f}, Case{50, -0.4375f}, Case{400, 0.0f}, Case{750, 0.4375f}, Case{799, 0.49875f}}) {
        const Gains g = playAt(c.x, 300);
        const double angle = (c.pan + 0.5) * std::numbers::pi / 2;
        EXPECT_NEAR(g.left, std::cos(angle), 1e-5) << "left gain at x = " << c.x;
        EXPECT_NEAR(g.right, std::sin(angle), 1e-5) << "right gain at x = " << c.x;
        EXPECT_NEAR(g.left * g.left + g.right * g.right, 1.0, 1e-5) << "constant power at x = " << c.x;
        EXPECT_EQ(app.cursor.x, c.x) << "the play samples the pointer";
    }
    const Gains left = playAt(50, 300), centre = playAt(400, 300), right = playAt(750, 300);
    EXPECT_GT(left.left, left.right);
    EXPECT_FLOAT_EQ(centre.left, centre.right);
    EXPECT_NEAR(centre.left, 0.7071068f, 1e-6);
    EXPECT_GT(right.right, right.left);
}

TEST_F(Panning, HeightChangesNothing) {
    loadAudio();
    const Gains top = playAt(123, 0), bottom = playAt(123, 599);
    EXPECT_EQ(top.left, bottom.left);
    EXPECT_EQ(top.right, bottom.right);
    EXPECT_EQ(app.cursor.y, 599);
}

TEST_F(Panning, EmptyRecordPlaysNothingAndSamplesNothing) {
    loadAudio();
    app.releaseSoundEffect(app.sfxExplode);
    app.releaseSoundEffect(app.sfxExplode);  // an empty record twice is fine
    headless::clearAudioCalls();
    headless::setCursor(10, 10);
    app.cursor = {400, 300};
    app.playSoundEffect(app.sfxExplode);
    EXPECT_TRUE(headless::audioCalls().empty()) << joined(headless::audioCalls());
    EXPECT_EQ(app.cursor.x, 400);
}

// Sound off, focus lost and regained (effects skipped), sound switched back
// on with the options button: the effects load again at once and play.
TEST_F(Audio, SwitchingSoundOnAfterAReloadWithSoundOffLoadsTheEffects) {
    loadAssets();
    app.state = STATE_OPTIONS;
    app.soundOn = false;
    handleEvent(app, platform::EVENT_FOCUS_LOST);
    headless::clearAudioCalls();
    handleEvent(app, platform::EVENT_FOCUS_GAINED);
    ASSERT_TRUE(callsStartingWith("loadSample").empty()) << joined(headless::audioCalls());
    ASSERT_TRUE(allEmpty());

    headless::setCursor(390, 270);  // over the Sound button
    app.clickPending = true;
    ASSERT_TRUE(app.handleOptionsButton(OPTION_SOUND));
    ASSERT_TRUE(app.soundOn);
    EXPECT_EQ(callsStartingWith("loadSample"),
              (Calls{"loadSample Sound/Button.aud", "loadSample Sound/Explode.aud", "loadSample Sound/Success.aud"}))
        << joined(headless::audioCalls());

    headless::clearAudioCalls();
    app.playSoundEffect(app.sfxSuccess);
    EXPECT_EQ(callsStartingWith("play Sound/Success.aud").size(), 1u) << joined(headless::audioCalls());

    // Loaded records are left alone: no second load, no leaked handle.
    const int held = headless::audioHandlesHeld();
    headless::clearAudioCalls();
    app.loadMissingSoundEffects();
    EXPECT_TRUE(headless::audioCalls().empty()) << joined(headless::audioCalls());
    EXPECT_EQ(headless::audioHandlesHeld(), held);
}

TEST_F(Audio, LoadingMissingEffectsWhileSoundIsOffDoesNothing) {
    app.soundOn = false;
    app.initMusic();
    headless::clearAudioCalls();
    app.loadMissingSoundEffects();
    EXPECT_TRUE(headless::audioCalls().empty()) << joined(headless::audioCalls());
}

using AudioDeathTest = Audio;

TEST_F(AudioDeathTest, MissingMusicEndsTheGameBeforeAnyEffectIsRead) {
    standin::writeAll();
    // Every effect file is missing too: reading any would add its own message.
    for (const char* file : {MUSIC_FILE, SOUND_BUTTON_FILE, SOUND_EXPLODE_FILE, SOUND_SUCCESS_FILE})
        std::filesystem::remove(file);
    EXPECT_EXIT(
        {
            std::string error;
            app.window = platform::windowCreate("Tavrin", &error);
            app.loadAssets();
        },
        testing::ExitedWithCode(255), MUSIC_FATAL);
}

TEST_F(AudioDeathTest, UnloadableMusicEndsTheGame) {
    headless::failAudioLoad(MUSIC_FILE);
    EXPECT_EXIT(app.initMusic(), testing::ExitedWithCode(255), MUSIC_FATAL);
}

TEST_F(AudioDeathTest, NoAudioDeviceAtAllEndsTheGameLikeMissingMusic) {
    headless::failAudioDevice(true);
    EXPECT_EXIT(app.initMusic(), testing::ExitedWithCode(255), MUSIC_FATAL);
}

TEST_F(AudioDeathTest, MissingEffectEndsTheGame) {
    std::filesystem::remove(SOUND_EXPLODE_FILE);
    EXPECT_EXIT(loadAudio(), testing::ExitedWithCode(255), EFFECT_FATAL);
}

TEST_F(AudioDeathTest, MissingEffectEndsTheGameWhenSoundIsSwitchedOn) {
    app.soundOn = false;
    loadAudio();
    writeFile(SOUND_SUCCESS_FILE, "not a sound");
    app.soundOn = true;
    EXPECT_EXIT(app.loadMissingSoundEffects(), testing::ExitedWithCode(255), EFFECT_FATAL);
}

}  // namespace
