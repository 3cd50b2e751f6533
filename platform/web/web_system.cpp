// Time, message boxes, screenshots offered as downloads, and the end of the
// game, which in a page ends nothing but the program: the page stays and
// offers to play again.
#include <emscripten.h>

#include <cstdio>

#include "platform/common/sound_file_check.h"
#include "platform/web/web_backend.h"

EM_ASYNC_JS(void, showDialog, (const char* caption, const char* text),
            { await QM.showMessage(UTF8ToString(caption), UTF8ToString(text)); });

EM_JS(void, offerScreenshots, (), { QM.offerNewScreenshots(); });

EM_JS(void, tellPageEnded, (int code), { QM.end(code); });

namespace webbackend {

void offerNewScreenshots() {
    offerScreenshots();
}

void showEnded(int code) {
    tellPageEnded(code & 0xFF);
}

void endPage(int code) {
    std::fflush(nullptr);
    backend().window.open = false;  // the page's events queue nothing more
    showEnded(code);
    // The page outlives the program: its stack is parked here for good,
    // asleep, so nothing of the game runs any more.
    for (;;) emscripten_sleep(60 * 60 * 1000);
}

}  // namespace webbackend

namespace platform {

uint32_t ticks() {
    // performance.now(): milliseconds since the page started, never going back.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void waitUntil(uint32_t deadline) {
    webbackend::Backend& state = webbackend::backend();
    if (state.screenshotAsked) {
        // The game wrote its screenshot (if any) during the frame that saw F9.
        state.screenshotAsked = false;
        webbackend::offerNewScreenshots();
    }
    // Sleeping is what lets the browser deliver events and show the canvas,
    // so the loop yields even when the frame is late.
    const auto remaining = static_cast<int32_t>(deadline - ticks());
    emscripten_sleep(remaining > 0 ? static_cast<unsigned>(remaining) : 0);
}

void showMessageBox(const char* caption, const char* text) {
    writeMessageToStderr(caption, text);
    showDialog(caption != nullptr ? caption : "", text != nullptr ? text : "");
}

void exitProcessNow(int code) {
    webbackend::endPage(code);
}

void exitProcessNormally(int code) {
    windowDestroy(&webbackend::backend().window);
    webbackend::endPage(code);
}

}  // namespace platform
