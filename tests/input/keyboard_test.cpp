// The keyboard rule: Esc back to the main menu, F9 a screenshot, nothing
// from a failed read, and taps shorter than a frame.
#include <filesystem>
#include <tuple>

#include "app/frame_loop.h"
#include "display/screen_capture.h"
#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

class KeyboardTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        screenshotCounter = 0;  // a new run numbers from 0
    }
    void TearDown() override {
        headless::keyUp(platform::KEY_ESCAPE);
        headless::keyUp(platform::KEY_F9);
        ScreenTest::TearDown();
    }

    static int screenshotsWritten() {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            if (entry.path().filename().string().rfind("GAME", 0) == 0) ++count;
        return count;
    }

    // A game in play with a selection, a running clock and an edited board.
    void getIntoAGame() {
        headless::setTicks(10000);
        startGame();
        clickAt({200, 300});  // selects the piece at (4, 0)
        ASSERT_TRUE(app.pieceSelected);
        headless::setTicks(10000 + 7000);
        frame();
        ASSERT_EQ(app.elapsedSeconds, 7);
    }
};

class EscapeFromEveryState : public KeyboardTest, public testing::WithParamInterface<GameState> {};

TEST_P(EscapeFromEveryState, ReturnsToTheMainMenuKeepingTheGame) {
    getIntoAGame();
    app.previousState = STATE_MAIN_MENU;
    app.state = GetParam();
    const Board board = app.board;
    const GameApp& a = app;
    const auto selection = std::make_tuple(a.pieceSelected, a.selectedRow, a.selectedCol);

    headless::keyDown(platform::KEY_ESCAPE);
    headless::setCursor(NOWHERE.x, NOWHERE.y);
    ASSERT_TRUE(runPass(app));
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    const headless::Frame& f = headless::presentedFrames().back();
    EXPECT_TRUE(buttonShows(f, START, false)) << "the same pass draws the main menu";
    EXPECT_EQ(boardToPicture(app.board), boardToPicture(board));
    EXPECT_EQ(std::make_tuple(a.pieceSelected, a.selectedRow, a.selectedCol), selection);
    EXPECT_EQ(app.gameStartTick, 10000u);
    EXPECT_EQ(app.elapsedSeconds, 7);
    EXPECT_EQ(app.finalSeconds, 7);
    EXPECT_EQ(app.previousState, STATE_MAIN_MENU);
}

INSTANTIATE_TEST_SUITE_P(Keyboard, EscapeFromEveryState,
                         testing::Values(STATE_MAIN_MENU, STATE_OPTIONS, STATE_HIGH_SCORES, STATE_HELP, STATE_NEW_GAME,
                                         STATE_PLAYING, STATE_WON, STATE_LOST));

TEST_F(KeyboardTest, EscTouchesNothingButTheScreen) {
    app.state = STATE_HELP;
    app.previousState = STATE_MAIN_MENU;
    app.clickPending = true;
    headless::keyDown(platform::KEY_ESCAPE);
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    EXPECT_TRUE(app.clickPending) << "a pending click stays for the frame step";
    EXPECT_EQ(app.previousState, STATE_MAIN_MENU);
}

TEST_F(KeyboardTest, StartAfterEscBeginsAFreshGameWithTheClockAtZero) {
    getIntoAGame();
    app.board[cellIndex(0, 0)] = CELL_PIECE;
    headless::keyDown(platform::KEY_ESCAPE);
    runPass(app);
    headless::keyUp(platform::KEY_ESCAPE);
    runPass(app);  // the latched press is gone once read
    ASSERT_EQ(app.state, STATE_MAIN_MENU);

    clickAt(START.inside());
    frame();  // the new game's frame
    EXPECT_EQ(readTime(frame(), 100, 550), "00-00-00");
    EXPECT_EQ(boardToPicture(app.board), boardToPicture(standin::defaultLevel()));
    EXPECT_FALSE(app.pieceSelected);
}

TEST_F(KeyboardTest, HeldEscUndoesAMenuClickEveryFrame) {
    moveTo(OPTIONS.inside());
    headless::keyDown(platform::KEY_ESCAPE);
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
        runPass(app);
        EXPECT_EQ(app.state, STATE_OPTIONS) << "the click acts in the frame after the poll";
        runPass(app);
        EXPECT_EQ(app.state, STATE_MAIN_MENU) << "the next poll undoes it";
        EXPECT_TRUE(buttonShows(headless::presentedFrames().back(), OPTIONS, true));
    }
}

TEST_F(KeyboardTest, F9WritesAScreenshotInEveryFrameItIsHeld) {
    frame();
    headless::keyDown(platform::KEY_F9);
    app.pollKeyboard();
    EXPECT_TRUE(std::filesystem::exists("GAME0.bmp"));
    app.pollKeyboard();
    app.pollKeyboard();
    EXPECT_TRUE(std::filesystem::exists("GAME1.bmp"));
    EXPECT_TRUE(std::filesystem::exists("GAME2.bmp"));
    headless::keyUp(platform::KEY_F9);
    app.pollKeyboard();
    EXPECT_EQ(screenshotsWritten(), 3);
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
}

TEST_F(KeyboardTest, EscWithF9WritesNoScreenshot) {
    frame();
    app.state = STATE_OPTIONS;
    headless::keyDown(platform::KEY_ESCAPE);
    headless::keyDown(platform::KEY_F9);
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    EXPECT_EQ(screenshotsWritten(), 0);
}

TEST_F(KeyboardTest, ATapShorterThanAFrameActsOnce) {
    app.state = STATE_OPTIONS;
    headless::keyDown(platform::KEY_ESCAPE);
    headless::keyUp(platform::KEY_ESCAPE);
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    app.state = STATE_OPTIONS;
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_OPTIONS) << "the tap was seen by one read only";

    frame();
    headless::keyDown(platform::KEY_F9);
    headless::keyUp(platform::KEY_F9);
    app.pollKeyboard();
    app.pollKeyboard();
    EXPECT_EQ(screenshotsWritten(), 1);
}

TEST_F(KeyboardTest, NoKeyActsInAFrameWhoseReadFailed) {
    frame();
    app.state = STATE_HELP;
    headless::keyDown(platform::KEY_ESCAPE);
    headless::keyDown(platform::KEY_F9);
    const int acquiresBefore = headless::keyboardAcquireCount();
    headless::failKeyboardReads(1);
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_HELP);
    EXPECT_EQ(screenshotsWritten(), 0);
    EXPECT_EQ(headless::keyboardAcquireCount(), acquiresBefore + 1) << "a failed read gets the keyboard back";

    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_MAIN_MENU) << "the next read works again";
    EXPECT_EQ(headless::keyboardAcquireCount(), acquiresBefore + 1);
    headless::keyUp(platform::KEY_ESCAPE);
    app.pollKeyboard();
    EXPECT_EQ(screenshotsWritten(), 1);
}

TEST_F(KeyboardTest, KeysHeldWhileSuspendedAreNotRead) {
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    runPass(app);
    app.state = STATE_OPTIONS;
    headless::keyDown(platform::KEY_ESCAPE);
    headless::keyDown(platform::KEY_F9);
    runPass(app);
    runPass(app);
    EXPECT_EQ(app.state, STATE_OPTIONS);
    EXPECT_EQ(screenshotsWritten(), 0);
}

TEST_F(KeyboardTest, OpeningFailsWithoutAKeyboardAndReleaseIsRepeatable) {
    app.releaseKeyboard();
    EXPECT_FALSE(headless::keyboardIsOpen());
    app.releaseKeyboard();
    EXPECT_EQ(app.keyboard, nullptr);

    headless::failKeyboardOpen(true);
    EXPECT_LT(app.initKeyboard(), 0);
    EXPECT_EQ(app.keyboard, nullptr);
    // Polling without a keyboard acts on nothing and does not crash.
    app.state = STATE_HELP;
    headless::keyDown(platform::KEY_ESCAPE);
    app.pollKeyboard();
    EXPECT_EQ(app.state, STATE_HELP);

    headless::failKeyboardOpen(false);
    EXPECT_EQ(app.initKeyboard(), STATUS_OK);
    EXPECT_TRUE(headless::keyboardIsOpen());
}

}  // namespace
}  // namespace screens
