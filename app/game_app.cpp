#include "app/game_app.h"

GameApp* theGameApp = nullptr;

GameApp::GameApp() {
    board.fill(CELL_NONE);
}

void GameApp::releaseAll() {
    // Images go before the display device that they are drawn onto.
    std::unique_ptr<Surface>* images[] = {
        &texFail,       &texWon,       &texLogo,      &texBackground,  &texMousePtr,
        &texHelp,       &texMenuHelp,  &texMenuExit,  &texMenuStart,   &texMenuMusic,
        &texMenuSound,  &texMenuButton, &texMenuBack, &texMenuOptions, &texMenuHighScores,
        &texDigit,      &texHyphenBlue, &texLamp,     &texButton1,     &texBoard,
    };
    for (std::unique_ptr<Surface>* image : images) image->reset();
    releaseAudio();
    releaseDisplay();
}
