// Events and the pointer. SDL's queue is drained here every pass, so a click
// never waits behind expose, key or other events: only the four kinds the
// game reacts to reach its own queue, one of them per pollEvent.
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/sdl_backend.h"

namespace sdlbackend {

void pumpEvents() {
    Backend& state = backend();
    if (state.window.sdl == nullptr) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:  // also what SDL makes of SIGTERM and SIGINT
                state.events.push_back(platform::EVENT_QUIT);
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT) state.events.push_back(platform::EVENT_LEFT_BUTTON_DOWN);
                break;
            case SDL_KEYDOWN:
                state.keys.press(event.key.keysym.scancode);
                break;
            case SDL_WINDOWEVENT:
                switch (event.window.event) {
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        state.keys.drop();
                        state.events.push_back(platform::EVENT_FOCUS_LOST);
                        break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        state.events.push_back(platform::EVENT_FOCUS_GAINED);
                        break;
                    case SDL_WINDOWEVENT_EXPOSED:
                        state.exposed = true;
                        break;
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                    case SDL_WINDOWEVENT_RESIZED:
                        state.surfaceLost = true;
                        break;
                    default:
                        break;
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace sdlbackend

namespace platform {

EventKind pollEvent() {
    sdlbackend::Backend& state = sdlbackend::backend();
    sdlbackend::pumpEvents();
    if (state.events.empty()) return EVENT_NONE;
    EventKind next = state.events.front();
    state.events.pop_front();
    return next;
}

bool waitForEvent(uint32_t timeoutMs) {
    sdlbackend::Backend& state = sdlbackend::backend();
    sdlbackend::pumpEvents();
    if (state.window.sdl == nullptr) return false;
    uint32_t deadline = SDL_GetTicks() + timeoutMs;
    // Expose, key and motion events wake the wait too, but only the four
    // kinds the game reacts to end it.
    while (state.events.empty()) {
        auto remaining = static_cast<int32_t>(deadline - SDL_GetTicks());
        if (remaining <= 0) break;
        // Returns early for any SDL event, and for a signal (SIGTERM is
        // queued as a quit by the pump).
        SDL_WaitEventTimeout(nullptr, remaining);
        sdlbackend::pumpEvents();
    }
    return !state.events.empty();
}

Point cursorPosition() {
    SDL_Window* window = sdlbackend::backend().window.sdl;
    if (window == nullptr) return {0, 0};
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetMouseState(&x, &y);
    // The window surface has the window's size, so this is the presenter's fit.
    SDL_GetWindowSize(window, &width, &height);
    return sdlbackend::windowToPicture(sdlbackend::fitPicture(width, height), x, y);
}

}  // namespace platform
