// State shared by the pieces of the browser backend (window, events,
// keyboard, display, page). Internal to platform/web; the game sees only
// platform.h. The page's own JavaScript (web_page.js) keeps the browser's
// side: the canvas, the sounds, the dialog and the page's state.
#pragma once

#include <bitset>
#include <cstdint>
#include <deque>

#include "platform/platform.h"

namespace platform {

// The game's one window: the page's canvas.
struct Window {
    bool open = false;
};

}  // namespace platform

namespace webbackend {

// The canvas the picture goes to, 1:1.
constexpr const char* CANVAS = "#screen";

// Keys seen since the last snapshot and keys held now, by classic scan code.
// Fed by the key events, read and emptied by keyboardRead once per frame.
struct KeyState {
    std::bitset<platform::KEY_COUNT> held;
    std::bitset<platform::KEY_COUNT> latched;
    void drop() {
        held.reset();
        latched.reset();
    }
};

struct Backend {
    platform::Window window;
    std::deque<platform::EventKind> events;  // the game's own queue, oldest first
    KeyState keys;
    platform::Point cursor{0, 0};  // in picture pixels
    bool focused = true;           // what the game was last told
    bool screenshotAsked = false;  // F9 was in a snapshot: offer what the game writes
};

// The one backend state of the page.
Backend& backend();

// Registers the page's mouse, key, focus and visibility events. Called once
// by windowCreate.
void listenToThePage();

// The classic scan code of a KeyboardEvent.code ("Escape", "F9", ...), or 0.
uint8_t classicScanCode(const char* code);

// Chooses Tex/Level.txt from the page's address (?level=NAME or
// ?random=SEED) before the game starts. False when the address asks for
// something that cannot be had: the page then says why and nothing starts.
bool chooseLevelFromAddress();

// Offers every screenshot file (GAME0.bmp, ...) that appeared in the working
// folder since the last offer as a download. Called after a frame in which
// the game saw F9.
void offerNewScreenshots();

// The page says that the game ended with `code` (its exit code, -1 as 255)
// and offers to play again; a refusal stays as it is. Called by
// windowDestroy and endPage.
void showEnded(int code);

// Ends the page's program: the page says that the game ended (or keeps its
// refusal) with `code`, and nothing runs any more. Never returns.
[[noreturn]] void endPage(int code);

}  // namespace webbackend
