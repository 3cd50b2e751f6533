// One frame of the screen state machine, and the play clock.
//
// Every frame is described in full, each screen from its background up, but
// only its differences are drawn: between beginFrame and flipFrame the
// back buffer's composer (display/compose.h) skips the draws that repeat the
// previous frame, and the black clear happens only when no full-size
// background covers the picture. A state change made during a step shows
// from the next frame on; the rest of this frame is still the old screen.
#include "app/game_app.h"
#include "display/compose.h"
#include "display/draw.h"

namespace {

constexpr int32_t LOGO_X = 176;
constexpr int32_t LOGO_Y = 60;
constexpr int32_t HELP_X = 90;
constexpr int32_t HELP_Y = 150;
constexpr int32_t OVERLAY_X = 33;  // the Won and Fail overlays
constexpr int32_t OVERLAY_Y = 270;
constexpr int32_t CLOCK_X = 100;
constexpr int32_t CLOCK_Y = 550;

// Only the play screen draws the pointer shifted from the sampled point.
constexpr int32_t PLAY_POINTER_DX = -2;
constexpr int32_t PLAY_POINTER_DY = -10;

// Every screen starts with the opaque background at (0, 0). When it covers
// the whole picture the clear under it is overwritten pixel for pixel, so it
// is skipped; a smaller (or missing, or oversized and so refused) background
// leaves black around it, and then the clear must happen.
bool backgroundCoversPicture(const GameApp& app) {
    const Surface* background = app.texBackground.get();
    return background != nullptr && app.backSurface != nullptr && background->width == app.backSurface->width &&
           background->height == app.backSurface->height &&
           background->pixels.size() >= static_cast<size_t>(background->width) * background->height;
}

void drawBackground(GameApp& app) {
    drawOpaque(app, app.texBackground.get(), 0, 0);
}

void drawLogo(GameApp& app) {
    drawKeyed(app, app.texLogo.get(), LOGO_X, LOGO_Y);
}

// The finished board under the Won and Lost overlays.
void drawBoardScreen(GameApp& app) {
    drawBackground(app);
    drawKeyed(app, app.texBoard.get(), 0, 0);
    app.drawBoard();
}

// Pointer on top of everything, at the freshly sampled position; then the
// frame goes to the screen and the click, acted on or not, is used up.
void finishFrame(GameApp& app) {
    app.cursor = platform::cursorPosition();
    app.drawSprite(app.pointerSprite, app.cursor.x, app.cursor.y);
    app.flipFrame();
    app.clickPending = false;
}

}  // namespace

void GameApp::stepFrame() {
    // Draws only what differs from the previous frame; flipFrame ends it.
    beginFrame(backSurface.get());
    if (state < STATE_MAIN_MENU || state > STATE_LOST || !backgroundCoversPicture(*this)) clearBackSurface(0);

    switch (state) {
        case STATE_MAIN_MENU:
            drawMainMenu();
            drawLogo(*this);  // over the buttons on this screen
            break;

        case STATE_OPTIONS:
            drawBackground(*this);
            drawLogo(*this);
            // Each button clears the click when it acts, so one click presses
            // at most one of them.
            handleOptionsButton(OPTION_BACK);
            handleOptionsButton(OPTION_MUSIC);
            handleOptionsButton(OPTION_SOUND);
            break;

        case STATE_HIGH_SCORES:
            drawBackground(*this);
            drawLogo(*this);
            showBestTimes();
            handleOptionsButton(OPTION_BACK);
            break;

        case STATE_HELP:
            drawBackground(*this);
            drawLogo(*this);
            drawKeyed(*this, texHelp.get(), HELP_X, HELP_Y);
            handleOptionsButton(OPTION_BACK);
            break;

        case STATE_NEW_GAME:
            drawBackground(*this);
            drawLogo(*this);
            // The clock starts one frame before the first playing frame.
            gameStartTick = platform::ticks();
            loadLevel();  // ends the process when the level cannot be read
            pieceSelected = false;
            selectedRow = -1;
            selectedCol = -1;
            finishFrame(*this);
            state = STATE_PLAYING;
            return;

        case STATE_PLAYING:
            drawBackground(*this);
            drawKeyed(*this, texBoard.get(), 0, 0);
            cursor = platform::cursorPosition();
            drawBoard();
            updatePlayTimer();
            handleBoardClick();
            if (noPieceCanMove()) state = STATE_LOST;
            // Tested second so that the jump leaving a single piece, after which
            // nothing can move either, ends the game as won.
            if (fewerThanTwoPieces()) {
                state = STATE_WON;
                if (soundOn) playSoundEffect(sfxSuccess);
            }
            // The pointer stays where the board click was judged: no new sample.
            drawSprite(pointerSprite, cursor.x + PLAY_POINTER_DX, cursor.y + PLAY_POINTER_DY);
            flipFrame();
            clickPending = false;
            return;

        case STATE_WON:
            drawBoardScreen(*this);
            drawKeyed(*this, texWon.get(), OVERLAY_X, OVERLAY_Y);
            drawTime(finalSeconds, CLOCK_X, CLOCK_Y);
            if (clickPending) state = STATE_MAIN_MENU;
            break;

        case STATE_LOST:
            drawBoardScreen(*this);
            drawKeyed(*this, texFail.get(), OVERLAY_X, OVERLAY_Y);
            if (clickPending) state = STATE_MAIN_MENU;
            drawTime(elapsedSeconds, CLOCK_X, CLOCK_Y);
            break;
    }
    // The common ending also consumes the click that left Won or Lost, so
    // the main menu of the next frame never sees it.
    finishFrame(*this);
}

int32_t GameApp::updatePlayTimer() {
    // Unsigned 32-bit arithmetic keeps the difference right across the wrap
    // of the tick counter (about every 49.7 days).
    const uint32_t now = platform::ticks();
    elapsedSeconds = static_cast<int32_t>((now - gameStartTick) / 1000u);
    drawTime(elapsedSeconds, CLOCK_X, CLOCK_Y);
    finalSeconds = elapsedSeconds;
    return elapsedSeconds;
}
