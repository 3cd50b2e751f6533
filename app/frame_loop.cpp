#include "app/frame_loop.h"

#include <cstdio>
#include <string>

#include "app/game_app.h"

bool handleEvent(GameApp& app, platform::EventKind event) {
    switch (event) {
        case platform::EVENT_FOCUS_LOST:
            // Suspended before anything is released, so nothing draws meanwhile.
            app.suspended = true;
            app.releaseAll();
            return false;
        case platform::EVENT_FOCUS_GAINED:
            // Window managers send focus events in surprising orders: only a
            // suspended game reloads, and the reload's status changes nothing.
            if (app.suspended) {
                app.suspended = false;
                app.loadAssets();
            }
            return false;
        case platform::EVENT_LEFT_BUTTON_DOWN:
            // Where the click happened is not kept: the frame reads the pointer.
            app.clickPending = true;
            return false;
        case platform::EVENT_QUIT:
            return true;
        case platform::EVENT_NONE:
            break;
    }
    return false;
}

bool runPass(GameApp& app) {
    // Suspended, a pass without an event does nothing at all; sleeping until
    // one comes spares a minimised game thirty empty wake-ups a second, and
    // the pass that handles it keeps the usual pacing.
    if (app.suspended) platform::waitForEvent(SUSPENDED_WAIT_MS);
    bool quit = handleEvent(app, platform::pollEvent());
    uint32_t passStart = platform::ticks();
    if (!app.suspended) {
        app.pollKeyboard();
        app.stepFrame();
    }
    platform::waitUntil(passStart + FRAME_PERIOD_MS);
    return !quit;
}

int runGame() {
    static GameApp app;
    theGameApp = &app;  // published before the window exists

    std::string error;
    app.window = platform::windowCreate("Tavrin", &error);
    if (app.window == nullptr) {
        std::fprintf(stderr, "quillmara: cannot open the display: %s\n", error.c_str());
        platform::exitProcessNow(EXIT_FATAL);
    }
    // Fails when the backend has no keyboard for the window.
    if (app.initKeyboard() < 0) {
        platform::windowDestroy(app.window);
        return EXIT_WINDOW_CLOSED;  // ends silently, as when the keyboard cannot be had
    }
    // loadAssets passes on initMusic's status. Every failure of the display,
    // an image, the music or an effect ends the process inside it through
    // endWithMessage, so today nothing makes this fail; the check stays so
    // that a status the loader may report never starts a game without assets.
    if (app.loadAssets() < 0) {
        app.releaseKeyboard();
        platform::windowDestroy(app.window);
        return EXIT_WINDOW_CLOSED;
    }
    while (runPass(app)) {
    }
    app.releaseAll();
    app.releaseKeyboard();
    platform::windowDestroy(app.window);
    app.window = nullptr;
    return EXIT_WINDOW_CLOSED;
}
