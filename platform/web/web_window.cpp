// The window in the browser: the page's canvas. Creating it chooses the
// level from the page's address and starts listening to the page.
#include <emscripten.h>

#include <string>

#include "platform/web/web_backend.h"

namespace webbackend {

Backend& backend() {
    static Backend state;
    return state;
}

}  // namespace webbackend

EM_JS(void, setPageTitle, (const char* title), { document.title = UTF8ToString(title); });

namespace platform {

// The page always has its canvas: nothing here fails.
Window* windowCreate(const char* title, std::string* /*error*/) {
    webbackend::Backend& state = webbackend::backend();
    if (state.window.open) return &state.window;
    // Nothing of the game may start on a level the address did not ask for.
    if (!webbackend::chooseLevelFromAddress()) webbackend::endPage(2);
    static bool listening = false;
    if (!listening) {
        webbackend::listenToThePage();
        listening = true;
    }
    if (title != nullptr) setPageTitle(title);
    state.window.open = true;
    state.events.clear();
    state.keys.drop();
    return &state.window;
}

void windowDestroy(Window* window) {
    if (window == nullptr || !window->open) return;
    webbackend::Backend& state = webbackend::backend();
    window->open = false;
    state.events.clear();
    state.keys.drop();
    // The end of a normal run: the program returns from here.
    webbackend::showEnded(0);
}

}  // namespace platform
