// The whole program on the headless backend: how each run ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/frame_loop.h"
#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"

namespace {

class RunGameTest : public testing::Test {
protected:
    RunGameTest() { headless::reset(); }
    void SetUp() override { standin::writeAll(); }

    TempDir dir;
};

// Runs the program in the death test's child and ends it with runGame's
// result, after a line that tells what the run left behind.
[[noreturn]] void runAndReport() {
    const int code = runGame();
    std::fprintf(stderr, "runGame %d: frames %llu display %d audio %d keyboard %d window %d boxes %zu calls %zu\n",
                 code, static_cast<unsigned long long>(headless::presentCount()), headless::primarySurfacesHeld(),
                 headless::audioHandlesHeld(), headless::keyboardIsOpen() ? 1 : 0, headless::windowExists() ? 1 : 0,
                 headless::messageBoxes().size(), headless::audioCalls().size());
    std::exit(code);
}

TEST_F(RunGameTest, QuitEndsWithZeroAfterOneLastFrameAndReleasesEverything) {
    headless::pushEvent(platform::EVENT_QUIT);
    EXPECT_EXIT(runAndReport(), testing::ExitedWithCode(0),
                "runGame 0: frames 1 display 0 audio 0 keyboard 0 window 0 boxes 0");
}

TEST_F(RunGameTest, ClosingWhileSuspendedEndsWithZero) {
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    headless::pushEvent(platform::EVENT_QUIT);
    EXPECT_EXIT(runAndReport(), testing::ExitedWithCode(0),
                "runGame 0: frames 0 display 0 audio 0 keyboard 0 window 0 boxes 0");
}

TEST_F(RunGameTest, NoKeyboardEndsSilentlyBeforeTheDisplayOrAnyAsset) {
    headless::failKeyboardOpen(true);
    headless::pushEvent(platform::EVENT_QUIT);
    // Not even a sound file is looked at.
    EXPECT_EXIT(runAndReport(), testing::ExitedWithCode(0),
                "runGame 0: frames 0 display 0 audio 0 keyboard 0 window 0 boxes 0 calls 0");
}

TEST_F(RunGameTest, AMissingImageEndsWith255AndItsMessage) {
    std::remove("Tex/Help.Tex");
    headless::pushEvent(platform::EVENT_QUIT);
    EXPECT_EXIT(runAndReport(), testing::ExitedWithCode(255),
                "DirectDraw: Can't Load Tex/Help\\.Tex! Quillmara is Exiting!!");
}

TEST_F(RunGameTest, AMissingLevelEndsWith255WhenAGameStarts) {
    std::remove("Tex/Level.txt");
    headless::setCursor(400, 180);  // over Start
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    headless::pushEvent(platform::EVENT_QUIT);
    EXPECT_EXIT(runAndReport(), testing::ExitedWithCode(255), "Level file can't be opened!");
}

}  // namespace
