// The page's events: the pointer and the left button on the canvas, Esc and
// F9 anywhere on the page, and the page's focus. Only the four kinds the
// game reacts to reach its own queue, one of them per pollEvent; the
// browser delivers them while the game's loop sleeps between frames.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>

#include "platform/web/web_backend.h"

// Sleeps until wakeSleeper or `ms` have passed, whichever comes first.
EM_ASYNC_JS(void, sleepUntilWoken, (uint32_t ms), { await QM.sleep(ms); });

EM_JS(void, wakeSleeper, (), { QM.wakeUp(); });

namespace webbackend {

namespace {

void queue(platform::EventKind event) {
    backend().events.push_back(event);
    wakeSleeper();
}

// The canvas's CSS size scales it to the page: map a position on it back to
// the picture pixel under it.
void movePointer(const EmscriptenMouseEvent* event) {
    double width = 0, height = 0;
    if (emscripten_get_element_css_size(CANVAS, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS || width <= 0 ||
        height <= 0)
        return;
    const auto x = static_cast<int32_t>((event->targetX + 0.5) * platform::PICTURE_WIDTH / width);
    const auto y = static_cast<int32_t>((event->targetY + 0.5) * platform::PICTURE_HEIGHT / height);
    backend().cursor = {std::clamp<int32_t>(x, 0, platform::PICTURE_WIDTH - 1),
                        std::clamp<int32_t>(y, 0, platform::PICTURE_HEIGHT - 1)};
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    movePointer(event);
    return EM_FALSE;
}

EM_BOOL onMouseDown(int, const EmscriptenMouseEvent* event, void*) {
    movePointer(event);
    if (event->button == 0 && backend().window.open) queue(platform::EVENT_LEFT_BUTTON_DOWN);
    return EM_FALSE;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    const uint8_t code = classicScanCode(event->code);
    if (code == 0) return EM_FALSE;
    // Auto-repeat adds nothing: the key is held already.
    backend().keys.held.set(code);
    backend().keys.latched.set(code);
    // The browser's own F9 (a reader view in some) would take the page away.
    return code == platform::KEY_F9 ? EM_TRUE : EM_FALSE;
}

EM_BOOL onKeyUp(int, const EmscriptenKeyboardEvent* event, void*) {
    const uint8_t code = classicScanCode(event->code);
    if (code != 0) backend().keys.held.reset(code);
    return code == platform::KEY_F9 ? EM_TRUE : EM_FALSE;
}

// The game hears of a change only, as a window manager tells a window once.
void setFocus(bool focused) {
    Backend& state = backend();
    if (state.focused == focused) return;
    state.focused = focused;
    // Presses before the loss must not act after the regain.
    if (!focused) state.keys.drop();
    if (state.window.open) queue(focused ? platform::EVENT_FOCUS_GAINED : platform::EVENT_FOCUS_LOST);
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    setFocus(false);
    return EM_FALSE;
}

EM_BOOL onFocus(int, const EmscriptenFocusEvent*, void*) {
    EmscriptenVisibilityChangeEvent visibility;
    if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS && visibility.hidden)
        return EM_FALSE;
    setFocus(true);
    return EM_FALSE;
}

// A page shown again is in front of the player, focused or not yet.
EM_BOOL onVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    setFocus(!event->hidden);
    return EM_FALSE;
}

}  // namespace

void listenToThePage() {
    emscripten_set_mousemove_callback(CANVAS, nullptr, EM_FALSE, onMouseMove);
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_FALSE, onMouseDown);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyDown);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyUp);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onFocus);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibilityChange);
}

}  // namespace webbackend

namespace platform {

EventKind pollEvent() {
    webbackend::Backend& state = webbackend::backend();
    if (state.events.empty()) return EVENT_NONE;
    const EventKind next = state.events.front();
    state.events.pop_front();
    return next;
}

bool waitForEvent(uint32_t timeoutMs) {
    webbackend::Backend& state = webbackend::backend();
    if (!state.window.open) return false;
    // The browser delivers events only while the program sleeps; a queued
    // game event ends the sleep at once.
    if (state.events.empty()) sleepUntilWoken(timeoutMs);
    return !state.events.empty();
}

Point cursorPosition() {
    return webbackend::backend().cursor;
}

}  // namespace platform
