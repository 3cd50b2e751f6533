// Events and the pointer. SDL's queue is drained here every pass, so a click
// never waits behind expose, key or other events: only the four kinds the
// game reacts to reach its own queue, one of them per pollEvent.
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/window_mode.h"
#include "platform/sdl/x_window_state.h"

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
                // The game reads only Esc and F9; F11 is the desktop's own
                // key for fullscreen. The snapshot still carries it.
                if (event.key.keysym.scancode == SDL_SCANCODE_F11 && event.key.repeat == 0) toggleFullscreen(state);
                state.keys.press(event.key.keysym.scancode);
                break;
            case SDL_SYSWMEVENT:  // switched on for x11 only
                if (isWmStateChange(event.syswm.msg, state.window.sdl)) state.wmStateChanged = true;
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
                        state.placementChanged = true;
                        break;
                    case SDL_WINDOWEVENT_MOVED:
                    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                        state.placementChanged = true;
                        break;
                    case SDL_WINDOWEVENT_MINIMIZED:
                    case SDL_WINDOWEVENT_RESTORED:
                        // SDL leaves fullscreen while minimised and asks for it
                        // again on the way back: its doing, not the player's.
                        state.ownChangeAt = SDL_GetTicks();
                        break;
                    default:
                        break;
                }
                break;
            default:
                break;
        }
    }
    followWindowChanges(state);
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
    SDL_GetMouseState(&x, &y);  // in points
    SDL_GetWindowSize(window, &width, &height);
    // The picture is fitted into the window's pixels, as the presenter fills them.
    int32_t pixelsW = 0, pixelsH = 0;
    sdlbackend::windowSizeInPixels(window, &pixelsW, &pixelsH);
    return sdlbackend::windowToPicture(sdlbackend::fitPicture(pixelsW, pixelsH),
                                       sdlbackend::pointToPixel(x, width, pixelsW),
                                       sdlbackend::pointToPixel(y, height, pixelsH));
}

}  // namespace platform
