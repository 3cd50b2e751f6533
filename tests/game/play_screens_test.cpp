// A game from its first frame to the Won and Lost screens, and the play clock.
#include "tests/game/screen_fixture.h"

namespace screens {
namespace {

Spot cellCentre(int row, int col) {
    return {GRID_LEFT + CELL_PITCH * col + 25, GRID_TOP + CELL_PITCH * row + 25};
}

// Where the piece image of a cell shows (its top-left pixel is keyed out).
Spot pieceSpot(int row, int col) {
    return {GRID_LEFT + CELL_PITCH * col + PIECE_OFFSET_X + 2, GRID_TOP + CELL_PITCH * row + PIECE_OFFSET_Y + 2};
}

constexpr int CLOCK_X = 100;
constexpr int CLOCK_Y = 550;

class PlayTest : public ScreenTest {
protected:
    // The stand-in level's only move: (4, 0) over (4, 2) onto (4, 4).
    void playTheWinningJump() {
        clickAt(cellCentre(4, 0));
        ASSERT_TRUE(app.pieceSelected);
        clickAt(cellCentre(4, 4));
    }
};

TEST_F(PlayTest, NewGameFrameStartsTheClockReadsTheLevelAndClearsTheSelection) {
    headless::setTicks(5000);
    app.board.fill(CELL_PIECE);
    app.pieceSelected = true;
    app.selectedRow = 3;
    app.selectedCol = 4;
    app.state = STATE_NEW_GAME;
    headless::setCursor(NOWHERE.x, NOWHERE.y);

    const headless::Frame& f = frame();
    EXPECT_EQ(app.state, STATE_PLAYING);
    EXPECT_EQ(app.gameStartTick, 5000u);
    EXPECT_EQ(boardToPicture(app.board), boardToPicture(standin::defaultLevel()));
    EXPECT_FALSE(app.pieceSelected);
    EXPECT_EQ(app.selectedRow, -1);
    EXPECT_EQ(app.selectedCol, -1);
    // Background and logo only: no backdrop, board or clock yet.
    EXPECT_TRUE(pixelIs(f, 177, 61, colourOf("Tex/Quillmara.Tex"), "logo"));
    EXPECT_TRUE(pixelIs(f, 300, 400, colourOf("Tex/Background.Tex"), "background where the board will be"));
    EXPECT_TRUE(
        pixelIs(f, CLOCK_X + 5, CLOCK_Y + 10, colourOf("Tex/Background.Tex"), "background where the clock will be"));
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame)) << "pointer not shifted yet";
}

TEST_F(PlayTest, PlayScreenDrawsBackdropBoardClockAndTheShiftedPointer) {
    startGame();
    headless::setCursor(700, 100);
    const headless::Frame& f = frame();
    EXPECT_TRUE(pixelIs(f, 10, 10, colourOf("Tex/Background.Tex"), "background through the backdrop's green border"));
    EXPECT_TRUE(pixelIs(f, 151, 51, colourOf("Tex/Board.Tex"), "board backdrop"));
    const Spot piece = pieceSpot(4, 0);
    EXPECT_TRUE(pixelIs(f, piece.x, piece.y, colourOf("Tex/Lamp.Tex"), "piece at (4, 0)"));
    EXPECT_EQ(readTime(f, CLOCK_X, CLOCK_Y), "00-00-00") << "play clock";
    // The pointer sits 2 pixels left of and 10 above the sampled position.
    EXPECT_TRUE(pointerAt(f, 698, 90, app.pointerSprite.currentFrame));
    EXPECT_TRUE(pixelIsNot(f, 737, 125, rgbTo565(standin::pointerFrameColour(app.pointerSprite.currentFrame)),
                           "pointer at the unshifted position"));
    EXPECT_EQ(app.cursor.x, 700);
    EXPECT_EQ(app.cursor.y, 100);
}

TEST_F(PlayTest, ClockShowsZeroInTheFirstPlayingFrameAndCountsWholeSeconds) {
    headless::setTicks(5000);
    app.state = STATE_NEW_GAME;
    frame();
    headless::advanceTicks(33);
    EXPECT_EQ(readTime(frame(), CLOCK_X, CLOCK_Y), "00-00-00") << "first playing frame";

    struct Case {
        uint32_t msAfterStart;
        const char* shown;
    };
    for (const Case& c :
         {Case{999, "00-00-00"}, Case{1000, "00-00-01"}, Case{61999, "00-01-01"}, Case{3661000, "01-01-01"}}) {
        headless::setTicks(5000 + c.msAfterStart);
        EXPECT_EQ(readTime(frame(), CLOCK_X, CLOCK_Y), c.shown) << c.msAfterStart << " ms after the start";
        EXPECT_EQ(app.elapsedSeconds, static_cast<int32_t>(c.msAfterStart / 1000));
        EXPECT_EQ(app.finalSeconds, app.elapsedSeconds);
    }
}

TEST_F(PlayTest, ClockStaysRightAcrossTheTickWrap) {
    headless::setTicks(0xFFFFFFFFu - 1500u);
    app.state = STATE_NEW_GAME;
    frame();
    headless::setTicks(3500);  // 5001 ms later, past the wrap
    EXPECT_EQ(readTime(frame(), CLOCK_X, CLOCK_Y), "00-00-05");
    EXPECT_EQ(app.elapsedSeconds, 5);
}

TEST_F(PlayTest, JumpLeavingOnePieceWinsAndPlaysTheSuccessSoundOnce) {
    startGame();
    headless::advanceTicks(65000);
    playTheWinningJump();
    EXPECT_EQ(app.state, STATE_WON) << "no piece can move, yet one piece left is a win";
    EXPECT_EQ(app.board[cellIndex(4, 4)], CELL_PIECE);
    EXPECT_EQ(audioCallsStartingWith("play Sound/Explode.aud"), 1);
    EXPECT_EQ(audioCallsStartingWith("play Sound/Success.aud"), 1);
    EXPECT_EQ(app.finalSeconds, 65);

    // The Won screen keeps the final time while the clock runs on.
    headless::advanceTicks(30000);
    headless::setCursor(NOWHERE.x, NOWHERE.y);
    const headless::Frame& f = frame();
    EXPECT_EQ(app.state, STATE_WON);
    EXPECT_TRUE(pixelIs(f, 35, 272, colourOf("Tex/Won.Tex"), "Won overlay"));
    EXPECT_TRUE(pixelIs(f, 766, 329, colourOf("Tex/Won.Tex"), "Won overlay, last pixel"));
    EXPECT_TRUE(pixelIs(f, 32, 300, colourOf("Tex/Background.Tex"), "background left of the overlay"));
    EXPECT_TRUE(pixelIs(f, 151, 51, colourOf("Tex/Board.Tex"), "board backdrop under the Won screen"));
    const Spot piece = pieceSpot(4, 4);
    EXPECT_TRUE(pixelIs(f, piece.x, piece.y, colourOf("Tex/Lamp.Tex"), "the last piece"));
    EXPECT_EQ(readTime(f, CLOCK_X, CLOCK_Y), "00-01-05") << "final time";
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame)) << "pointer unshifted again";
    EXPECT_EQ(audioCallsStartingWith("play Sound/Success.aud"), 1) << "the win sounds only once";
}

TEST_F(PlayTest, WinIsSilentWithSoundOff) {
    app.soundOn = false;
    startGame();
    playTheWinningJump();
    EXPECT_EQ(app.state, STATE_WON);
    EXPECT_EQ(audioCallsStartingWith("play "), 0);
}

TEST_F(PlayTest, LevelsThatEndAtOnceEndInTheFirstPlayingFrame) {
    struct Case {
        const char* name;
        const char* row4;
        GameState end;
    };
    for (const Case& c :
         {Case{"one piece", "x . . . . . . . .", STATE_WON}, Case{"no piece", ". . . . . . . . .", STATE_WON},
          Case{"two stuck pieces", "x x o o o . . . .", STATE_LOST}}) {
        SCOPED_TRACE(c.name);
        const std::string empty = ". . . . . . . . .\n";
        std::string picture;
        for (int row = 0; row < 9; ++row) picture += row == 4 ? std::string(c.row4) + "\n" : empty;
        standin::writeLevel(boardFromPicture(picture));
        headless::clearAudioCalls();
        app.state = STATE_NEW_GAME;
        frame();
        frame();
        EXPECT_EQ(app.state, c.end);
        EXPECT_EQ(audioCallsStartingWith("play Sound/Success.aud"), c.end == STATE_WON ? 1 : 0);
    }
}

TEST_F(PlayTest, LostScreenShowsTheFailOverlayAndTheTimeOfTheGame) {
    standin::writeLevel(
        boardFromPicture(". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
                         "x x o o o . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
                         ". . . . . . . . .\n. . . . . . . . .\n"));
    headless::setTicks(1000);
    app.state = STATE_NEW_GAME;
    frame();
    headless::setTicks(1000 + 42000);
    frame();
    ASSERT_EQ(app.state, STATE_LOST);
    headless::advanceTicks(10000);
    headless::setCursor(NOWHERE.x, NOWHERE.y);
    const headless::Frame& f = frame();
    EXPECT_TRUE(pixelIs(f, 35, 272, colourOf("Tex/Fail.Tex"), "Fail overlay"));
    EXPECT_TRUE(pixelIs(f, 33, 270, colourOf("Tex/Background.Tex"), "background under the overlay's keyed corner"));
    EXPECT_EQ(readTime(f, CLOCK_X, CLOCK_Y), "00-00-42") << "time of the lost game";
    EXPECT_TRUE(pointerAt(f, NOWHERE.x, NOWHERE.y, app.pointerSprite.currentFrame));
}

TEST_F(PlayTest, ClickOnWonOrLostReturnsToTheMenuWithoutPressingAMenuButton) {
    for (GameState end : {STATE_WON, STATE_LOST}) {
        SCOPED_TRACE(testing::Message() << "state " << end);
        app.state = end;
        headless::clearAudioCalls();
        const headless::Frame& clicked = clickAt(START.inside());
        EXPECT_EQ(app.state, STATE_MAIN_MENU);
        EXPECT_FALSE(app.clickPending);
        const uint16_t overlay = colourOf(end == STATE_WON ? "Tex/Won.Tex" : "Tex/Fail.Tex");
        EXPECT_TRUE(pixelIs(clicked, 35, 272, overlay, "overlay still drawn in the click's frame"));

        const headless::Frame& menu = frame();
        EXPECT_EQ(app.state, STATE_MAIN_MENU) << "Start under the pointer must not see the same click";
        EXPECT_TRUE(buttonShows(menu, START, true));
        EXPECT_EQ(audioCallsStartingWith("play "), 0);
    }
}

}  // namespace
}  // namespace screens
