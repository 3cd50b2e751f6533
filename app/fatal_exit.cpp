#include "app/fatal_exit.h"

#include "app/game_app.h"

void endWithMessage(GameApp& app, const char* caption, const char* text, void (*beforeTeardown)(GameApp&)) {
    platform::showMessageBox(caption, text);
    if (beforeTeardown != nullptr) beforeTeardown(app);
    app.releaseAll();
    platform::exitProcessNow(EXIT_FATAL);
}

void closeAudioDevice(GameApp& app) {
    if (app.performance != nullptr) platform::audioCloseDevice(app.performance);
    app.performance = nullptr;
}
