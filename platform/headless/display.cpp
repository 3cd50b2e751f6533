// The headless display device: the four set-up steps with scriptable
// failures, and a record of every presented picture.
#include <algorithm>
#include <cstring>

#include "platform/headless/headless_state.h"

namespace headless {

void failDisplayStep(DisplayStep step) {
    state().failingStep = step;
}
int primarySurfacesHeld() {
    return static_cast<int>(state().primaries.size());
}
int backBuffersHeld() {
    return state().backBuffers;
}

const std::deque<Frame>& presentedFrames() {
    return state().frames;
}

void setFrameRecordLimit(size_t limit) {
    State& s = state();
    s.frameLimit = limit;
    while (s.frames.size() > limit) s.frames.pop_front();
}

uint64_t presentCount() {
    return state().presentCount;
}

uint64_t changesMissedByHints() {
    return state().changesMissedByHints;
}

void freeDisplayHandles(State& s) {
    for (platform::PrimarySurface* primary : s.primaries) delete primary;
    s.primaries.clear();
    s.backBuffers = 0;
}

}  // namespace headless

namespace platform {

using headless::state;

namespace {

bool isWindow(Window* window) {
    return window != nullptr && window == state().window;
}

bool isPrimary(PrimarySurface* primary) {
    return primary != nullptr && state().primaries.count(primary) != 0;
}

}  // namespace

bool displaySetFullscreen(Window* window) {
    return isWindow(window) && state().failingStep != headless::DISPLAY_FAIL_FULLSCREEN;
}

bool displaySetMode(Window* window) {
    return isWindow(window) && state().failingStep != headless::DISPLAY_FAIL_MODE;
}

PrimarySurface* displayCreatePrimary(Window* window) {
    if (!isWindow(window) || state().failingStep == headless::DISPLAY_FAIL_PRIMARY) return nullptr;
    auto* primary = new PrimarySurface;
    state().primaries.insert(primary);
    return primary;
}

bool displayCreateBackBuffer(PrimarySurface* primary) {
    if (!isPrimary(primary) || state().failingStep == headless::DISPLAY_FAIL_BACK_BUFFER) return false;
    if (!primary->hasBackBuffer) {
        primary->hasBackBuffer = true;
        ++state().backBuffers;
    }
    return true;
}

void displayReleaseBackBuffer(PrimarySurface* primary) {
    if (!isPrimary(primary) || !primary->hasBackBuffer) return;
    primary->hasBackBuffer = false;
    --state().backBuffers;
}

void displayReleasePrimary(PrimarySurface* primary) {
    if (!isPrimary(primary)) return;
    // A back buffer still attached goes with its primary, as on a real device.
    displayReleaseBackBuffer(primary);
    state().primaries.erase(primary);
    delete primary;
}

void displayPresent(PrimarySurface* primary, const uint16_t* pixels) {
    if (!isPrimary(primary) || !primary->hasBackBuffer || pixels == nullptr) return;
    headless::State& s = state();
    s.lastPresented.assign(pixels, pixels + PICTURE_PIXELS);
    ++s.presentCount;
    if (s.frameLimit == 0) return;
    while (s.frames.size() >= s.frameLimit) s.frames.pop_front();
    s.frames.push_back(headless::Frame{s.lastPresented});
}

void displayPresentChanged(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* changedTiles) {
    if (!isPrimary(primary) || !primary->hasBackBuffer || pixels == nullptr) return;
    // Checks the promise a real backend relies on: nothing changed outside
    // the flagged tiles.
    headless::State& s = state();
    if (changedTiles != nullptr && !s.lastPresented.empty()) {
        for (int y = 0; y < PICTURE_HEIGHT; ++y) {
            const size_t row = static_cast<size_t>(y) * PICTURE_WIDTH;
            if (std::memcmp(pixels + row, s.lastPresented.data() + row, PICTURE_WIDTH * sizeof(uint16_t)) == 0)
                continue;
            for (int x = 0; x < PICTURE_WIDTH; ++x)
                if (pixels[row + x] != s.lastPresented[row + x] &&
                    changedTiles[(y / PRESENT_TILE) * PRESENT_TILES_X + x / PRESENT_TILE] == 0)
                    ++s.changesMissedByHints;
        }
    }
    displayPresent(primary, pixels);
}

const uint16_t* displayLastPresented() {
    const headless::State& s = state();
    return s.lastPresented.empty() ? nullptr : s.lastPresented.data();
}

}  // namespace platform
