// The frame loop on the headless clock: one event per pass, clicks seen by
// exactly one frame, suspension, quitting and the 33 ms pacing.
#include "app/frame_loop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

using FrameLoopTest = ScreenTest;

TEST(GameAppStart, FreshObjectIsOnTheMainMenuWithBothOptionsOnAndAnEmptyBoard) {
    const GameApp app;
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    EXPECT_TRUE(app.musicOn);
    EXPECT_TRUE(app.soundOn);
    EXPECT_FALSE(app.clickPending);
    EXPECT_FALSE(app.suspended);
    EXPECT_EQ(app.cursor.x, 0);
    EXPECT_EQ(app.cursor.y, 0);
    for (CellCode code : app.board) ASSERT_EQ(code, CELL_NONE) << boardToPicture(app.board);
    EXPECT_EQ(app.bestTimes, (std::array<int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(app.window, nullptr);
    EXPECT_EQ(app.keyboard, nullptr);
    EXPECT_EQ(app.backSurface, nullptr);
    EXPECT_EQ(app.texBackground, nullptr);
    EXPECT_EQ(app.performance, nullptr);
    EXPECT_EQ(app.sfxButton.segment, nullptr);
    EXPECT_EQ(app.sfxSuccess.audioPath, nullptr);
}

TEST_F(FrameLoopTest, EachPassHandlesOneEventThenOneFrame) {
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    const uint64_t before = headless::presentCount();
    EXPECT_TRUE(runPass(app));
    EXPECT_EQ(headless::pendingEvents(), 1u);
    EXPECT_EQ(headless::presentCount(), before + 1);
    EXPECT_TRUE(runPass(app));
    EXPECT_EQ(headless::pendingEvents(), 0u);
    EXPECT_TRUE(runPass(app)) << "a pass without an event still runs its frame";
    EXPECT_EQ(headless::presentCount(), before + 3);
}

TEST_F(FrameLoopTest, AClickIsSeenByExactlyOneFrame) {
    moveTo(OPTIONS.inside());
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    runPass(app);
    EXPECT_EQ(app.state, STATE_OPTIONS);
    EXPECT_FALSE(app.clickPending);
    // Back lies under the pointer on the next screen; the old click must not press it.
    headless::setCursor(BACK.inside().x, BACK.inside().y);
    runPass(app);
    EXPECT_EQ(app.state, STATE_OPTIONS);
}

TEST_F(FrameLoopTest, NoFrameRunsWhileSuspendedAndTheGameSurvivesTheFocusCycle) {
    startGame();
    app.board[cellIndex(0, 0)] = CELL_PIECE;
    const Board board = app.board;
    const uint32_t started = app.gameStartTick;

    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    const uint64_t before = headless::presentCount();
    const uint32_t waitsBefore = headless::waitCount();
    runPass(app);
    runPass(app);
    EXPECT_TRUE(app.suspended);
    EXPECT_EQ(headless::presentCount(), before);
    EXPECT_EQ(headless::waitCount(), waitsBefore + 2) << "the loop still paces while suspended";
    EXPECT_EQ(app.texBackground, nullptr);
    EXPECT_EQ(headless::primarySurfacesHeld(), 0);
    EXPECT_EQ(headless::audioHandlesHeld(), 0);
    EXPECT_TRUE(headless::keyboardIsOpen()) << "the keyboard stays open through a focus cycle";

    headless::advanceTicks(20000);
    headless::pushEvent(platform::EVENT_FOCUS_GAINED);
    runPass(app);
    EXPECT_FALSE(app.suspended);
    EXPECT_EQ(headless::presentCount(), before + 1);
    EXPECT_EQ(app.state, STATE_PLAYING);
    EXPECT_EQ(boardToPicture(app.board), boardToPicture(board));
    EXPECT_EQ(app.gameStartTick, started);
    EXPECT_GE(app.elapsedSeconds, 20) << "the time away counts";
}

TEST_F(FrameLoopTest, ASuspendedPassSleepsUntilAnEventAndThenKeepsThePacing) {
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    runPass(app);
    ASSERT_TRUE(app.suspended);

    // Nothing queued: the pass sleeps its bounded wait, then paces as usual.
    const uint32_t waitsBefore = headless::eventWaitCount();
    const uint32_t start = platform::ticks();
    runPass(app);
    EXPECT_EQ(headless::eventWaitCount(), waitsBefore + 1);
    EXPECT_EQ(platform::ticks(), start + SUSPENDED_WAIT_MS + FRAME_PERIOD_MS);

    // An event queued: no sleep before it, and its pass ends 33 ms after it.
    headless::pushEvent(platform::EVENT_FOCUS_GAINED);
    const uint32_t eventAt = platform::ticks();
    runPass(app);
    EXPECT_FALSE(app.suspended);
    EXPECT_EQ(platform::ticks(), eventAt + FRAME_PERIOD_MS);

    // Running again, a pass never waits for events.
    const uint32_t waitsRunning = headless::eventWaitCount();
    runPass(app);
    EXPECT_EQ(headless::eventWaitCount(), waitsRunning);
}

TEST_F(FrameLoopTest, AClickWhileSuspendedActsInTheFirstFrameAfterTheReload) {
    moveTo(HELP.inside());
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    headless::pushEvent(platform::EVENT_FOCUS_GAINED);
    runPass(app);
    runPass(app);
    EXPECT_EQ(app.state, STATE_MAIN_MENU);
    EXPECT_TRUE(app.clickPending) << "kept while no frame runs";
    runPass(app);
    EXPECT_EQ(app.state, STATE_HELP);
    EXPECT_FALSE(app.clickPending);
}

TEST_F(FrameLoopTest, ThePassThatReceivesQuitStillStepsItsFrame) {
    moveTo(START.inside());
    headless::pushEvent(platform::EVENT_QUIT);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    app.clickPending = true;
    const uint64_t before = headless::presentCount();
    EXPECT_FALSE(runPass(app));
    EXPECT_EQ(headless::presentCount(), before + 1);
    EXPECT_EQ(app.state, STATE_NEW_GAME) << "its frame acted on the pending click";
    EXPECT_EQ(headless::pendingEvents(), 1u) << "events after the quit stay unread";
}

TEST_F(FrameLoopTest, ClosingWhileSuspendedReleasesASecondTimeHarmlessly) {
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    headless::pushEvent(platform::EVENT_QUIT);
    runPass(app);
    const uint64_t before = headless::presentCount();
    EXPECT_FALSE(runPass(app));
    EXPECT_EQ(headless::presentCount(), before) << "no frame while suspended, not even the last";
    app.releaseAll();
    app.releaseKeyboard();
    app.releaseAll();
    EXPECT_EQ(headless::primarySurfacesHeld(), 0);
    EXPECT_EQ(headless::backBuffersHeld(), 0);
    EXPECT_EQ(headless::audioHandlesHeld(), 0);
    EXPECT_FALSE(headless::keyboardIsOpen());
}

TEST_F(FrameLoopTest, EachPassWaitsUntil33MillisecondsAfterItsEventStep) {
    for (uint32_t start : {1000u, 0xFFFFFFF0u}) {  // the second pass crosses the wrap
        SCOPED_TRACE(start);
        headless::setTicks(start);
        headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
        runPass(app);
        EXPECT_EQ(headless::lastWaitDeadline(), start + 33u);
        EXPECT_EQ(platform::ticks(), start + 33u);
    }
    // Suspended passes that handle an event are paced the same way.
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    const uint32_t now = platform::ticks();
    runPass(app);
    EXPECT_EQ(headless::lastWaitDeadline(), now + 33u);
    runPass(app);
    EXPECT_EQ(platform::ticks(), now + 66u);
}

// The frame of the pass blocks on reading a level file that is a pipe; the
// writer lets 50 ms pass on the clock before it hands over the level, so the
// frame takes longer than the period.
TEST_F(FrameLoopTest, AFrameLongerThanThePeriodMakesThePassLongerWithoutAWait) {
    std::remove("Tex/Level.txt");
    ASSERT_EQ(mkfifo("Tex/Level.txt", 0600), 0);
    headless::setTicks(1000);
    app.state = STATE_NEW_GAME;

    std::thread slowDisk([] {
        // Opening for writing waits until the frame opens the pipe to read.
        const int fd = open("Tex/Level.txt", O_WRONLY);
        if (fd < 0) return;
        headless::advanceTicks(50);
        const std::string level = levelText(standin::defaultLevel());
        if (write(fd, level.data(), level.size()) < 0) {
            // The frame then reads an empty level; the tick checks still hold.
        }
        close(fd);
    });
    runPass(app);
    slowDisk.join();

    EXPECT_EQ(app.gameStartTick, 1000u) << "the clock started before the level was read";
    EXPECT_EQ(headless::lastWaitDeadline(), 1033u);
    EXPECT_EQ(platform::ticks(), 1050u) << "a late frame is not padded further";
    EXPECT_EQ(app.state, STATE_PLAYING);
}

}  // namespace
}  // namespace screens
