// The headless clock, pointer, event queue, keyboard and window.
#include <algorithm>

#include "platform/headless/headless_state.h"

namespace headless {

void setTicks(uint32_t now) {
    state().now = now;
}
void advanceTicks(uint32_t milliseconds) {
    state().now += milliseconds;
}
uint32_t waitCount() {
    return state().waitCount;
}
uint32_t lastWaitDeadline() {
    return state().lastWaitDeadline;
}
uint32_t eventWaitCount() {
    return state().eventWaitCount;
}

void setCursor(int32_t x, int32_t y) {
    state().cursor = {std::clamp(x, 0, platform::PICTURE_WIDTH - 1), std::clamp(y, 0, platform::PICTURE_HEIGHT - 1)};
}

void pushEvent(platform::EventKind kind) {
    // EVENT_NONE means "queue empty" and cannot be queued; unknown kinds
    // would reach the game as nonsense.
    if (kind <= platform::EVENT_NONE || kind > platform::EVENT_QUIT) return;
    state().events.push_back(kind);
}
size_t pendingEvents() {
    return state().events.size();
}

void keyDown(int code) {
    if (code < 0 || code >= platform::KEY_COUNT) return;
    state().held[code] = true;
    state().latched[code] = true;
}
void keyUp(int code) {
    if (code < 0 || code >= platform::KEY_COUNT) return;
    state().held[code] = false;  // the latch keeps a short tap for the next read
}
void failKeyboardReads(int count) {
    state().failingReads = std::max(count, 0);
}
void failKeyboardOpen(bool fail) {
    state().failKeyboardOpen = fail;
}
int keyboardAcquireCount() {
    return state().keyboardAcquires;
}
bool keyboardIsOpen() {
    return state().keyboard != nullptr;
}

void failWindowCreate(const char* reason) {
    state().windowFails = reason != nullptr;
    state().windowFailure = reason != nullptr ? reason : "";
}
bool windowExists() {
    return state().window != nullptr;
}

void freeInputHandles(State& s) {
    delete s.keyboard;
    s.keyboard = nullptr;
    delete s.window;
    s.window = nullptr;
}

}  // namespace headless

namespace platform {

using headless::state;

uint32_t ticks() {
    return state().now;
}

void waitUntil(uint32_t deadline) {
    headless::State& s = state();
    ++s.waitCount;
    s.lastWaitDeadline = deadline;
    // Signed difference: a deadline just past the 32-bit wrap is still ahead.
    if (static_cast<int32_t>(deadline - s.now) > 0) s.now = deadline;
}

bool waitForEvent(uint32_t timeoutMs) {
    headless::State& s = state();
    ++s.eventWaitCount;
    if (!s.events.empty()) return true;
    s.now += timeoutMs;  // nothing scripted can arrive meanwhile
    return false;
}

Point cursorPosition() {
    return state().cursor;
}

EventKind pollEvent() {
    headless::State& s = state();
    if (s.events.empty()) return EVENT_NONE;
    EventKind kind = s.events.front();
    s.events.pop_front();
    if (kind == EVENT_FOCUS_LOST) {
        // A window without focus gets no key-up events, so nothing it held
        // may stay down, and no press may act after the focus comes back.
        s.held.fill(false);
        s.latched.fill(false);
    }
    return kind;
}

Keyboard* keyboardOpen(Window* window) {
    headless::State& s = state();
    if (window == nullptr || window != s.window || s.failKeyboardOpen) return nullptr;
    if (s.keyboard == nullptr) s.keyboard = new Keyboard;
    return s.keyboard;
}

bool keyboardRead(Keyboard* keyboard, uint8_t* snapshot) {
    headless::State& s = state();
    if (keyboard == nullptr || keyboard != s.keyboard || snapshot == nullptr) return false;
    if (s.failingReads > 0) {
        // Latched presses wait for the next successful read.
        --s.failingReads;
        return false;
    }
    for (int code = 0; code < KEY_COUNT; ++code) {
        if (s.held[code] || s.latched[code]) snapshot[code] |= KEY_DOWN;
    }
    s.latched.fill(false);
    return true;
}

bool keyboardAcquire(Keyboard* keyboard) {
    headless::State& s = state();
    if (keyboard == nullptr || keyboard != s.keyboard) return false;
    ++s.keyboardAcquires;
    return s.failingReads == 0;
}

void keyboardClose(Keyboard* keyboard) {
    headless::State& s = state();
    if (keyboard == nullptr || keyboard != s.keyboard) return;
    delete s.keyboard;
    s.keyboard = nullptr;
}

Window* windowCreate(const char* /*title*/, std::string* error) {
    headless::State& s = state();
    // The game has one window; a second would mean a start-up ran twice.
    if (s.windowFails || s.window != nullptr) {
        if (error != nullptr) *error = s.windowFails ? s.windowFailure : "the game's window already exists";
        return nullptr;
    }
    s.window = new Window;
    return s.window;
}

void windowDestroy(Window* window) {
    headless::State& s = state();
    if (window == nullptr || window != s.window) return;
    delete s.window;
    s.window = nullptr;
}

}  // namespace platform
