// The keyboard: Esc back to the main menu, F9 a screenshot.
//
// The rule reads held keys, not presses: an action repeats in every frame in
// which its key is down. The backend latches a press until the next read, so
// a tap shorter than a frame still acts once.
#include <array>

#include "app/game_app.h"
#include "display/screen_capture.h"

Status GameApp::initKeyboard() {
    keyboard = platform::keyboardOpen(window);
    return keyboard != nullptr ? STATUS_OK : STATUS_FAIL;
}

void GameApp::pollKeyboard() {
    if (keyboard == nullptr) return;
    std::array<uint8_t, platform::KEY_COUNT> keys{};
    if (!platform::keyboardRead(keyboard, keys.data())) {
        // The source lost the keyboard: get it back for the next frame and
        // let no key act in this one.
        platform::keyboardAcquire(keyboard);
        return;
    }
    if ((keys[platform::KEY_ESCAPE] & platform::KEY_DOWN) != 0) {
        // Only the screen changes: the board, the clock and a pending click
        // stay as they are. F9 is not looked at.
        state = STATE_MAIN_MENU;
        return;
    }
    if ((keys[platform::KEY_F9] & platform::KEY_DOWN) != 0) captureScreen();
}

void GameApp::releaseKeyboard() {
    platform::keyboardClose(keyboard);
    keyboard = nullptr;
}
