// The keyboard source: SDL's held-key array plus the presses latched by the
// event pump, in the classic scan-code numbering.
#include "platform/common/startup_trace.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

struct Keyboard {
    bool open = false;
};

namespace {
Keyboard theKeyboard;
}

Keyboard* keyboardOpen(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return nullptr;
    theKeyboard.open = true;
    sdlbackend::backend().keys.drop();
    startuptrace::stage("keyboard");
    return &theKeyboard;
}

// SDL keeps the keyboard across focus changes (and clears held keys itself
// when the focus goes), so a read of an open source always succeeds.
bool keyboardRead(Keyboard* keyboard, uint8_t* state) {
    if (keyboard == nullptr || !keyboard->open || state == nullptr) return false;
    int count = 0;
    const Uint8* held = SDL_GetKeyboardState(&count);
    sdlbackend::backend().keys.snapshot(held, count, state);
    return true;
}

bool keyboardAcquire(Keyboard* keyboard) {
    return keyboard != nullptr && keyboard->open;
}

void keyboardClose(Keyboard* keyboard) {
    if (keyboard == nullptr) return;
    keyboard->open = false;
    sdlbackend::backend().keys.drop();
}

}  // namespace platform
