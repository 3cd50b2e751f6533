#include "app/game_app.h"

#include "display/image_list.h"

GameApp* theGameApp = nullptr;

GameApp::GameApp() {
    board.fill(CELL_NONE);
}

void GameApp::releaseAll() {
    // Images go before the display device that they are drawn onto.
    for (const ImageEntry* image : IMAGES_IN_RELEASE_ORDER) (this->*image->field).reset();
    releaseAudio();
    releaseDisplay();
}
