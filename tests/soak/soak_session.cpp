// The player's side of the soak: the input of each pass, aimed where play
// happens, and the pass itself.
#include "tests/soak/soak_session.h"

#include <iterator>
#include <vector>

#include "app/frame_loop.h"
#include "platform/headless/headless.h"

namespace soak {

namespace {

// Where a click would end the program: the Exit button's hover area, with a
// margin. The main menu judges a click by the pointer of the previous frame.
bool nearExit(platform::Point p) {
    return p.x >= 310 && p.x <= 500 && p.y >= 490 && p.y <= 556;
}

// Points inside the buttons of each screen, as a player aims.
struct Target {
    int32_t x;
    int32_t y;
};
constexpr Target MENU_TARGETS[] = {{406, 182}, {406, 182}, {406, 182}, {407, 353}, {407, 267}, {402, 437}};
constexpr Target OPTIONS_TARGETS[] = {{400, 473}, {385, 173}, {470, 173}, {390, 273}, {475, 273}};
constexpr Target BACK_TARGET{400, 473};

}  // namespace

Session::Session(GameApp& app, uint64_t seed, const Board& level)
    : app_(app), random_(seed), level_(level), dataFiles_(filesBelow(".", true)), dataSizes_(filesBelow(".", false)) {}

std::string Session::pass() {
    tappedF9_ = false;
    escape_ = escapeHeldFor_ > 0;
    chooseInput();
    const Before before{app_.state, app_.suspended,   app_.soundOn,     tappedF9_,   headless::presentCount(),
                        app_.board, app_.selectedRow, app_.selectedCol, app_.cursor, escape_};
    headless::clearAudioCalls();
    runPass(app_);
    ++tally_.passes;
    return checkPass(before);
}

void Session::chooseInput() {
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    if (escapeHeldFor_ > 0 && --escapeHeldFor_ == 0) headless::keyUp(platform::KEY_ESCAPE);

    if (app_.suspended) {
        const double roll = chance(random_);
        if (roll < 0.1) {
            headless::pushEvent(platform::EVENT_FOCUS_GAINED);
        } else if (roll < 0.15) {
            clickAt(static_cast<int32_t>(random_() % 800), static_cast<int32_t>(random_() % 600));
        }
        return;
    }
    if (clickNext_) {
        clickNext_ = false;
        const platform::Point p = platform::cursorPosition();
        clickAt(p.x, p.y);
        return;
    }

    const double roll = chance(random_);
    if (roll < 0.002) {
        headless::pushEvent(platform::EVENT_FOCUS_LOST);
        ++tally_.focusCycles;
    } else if (roll < 0.003) {
        headless::keyDown(platform::KEY_F9);  // a tap: latched, seen by exactly one read
        headless::keyUp(platform::KEY_F9);
        tappedF9_ = true;
    } else if (roll < 0.006) {
        headless::keyDown(platform::KEY_ESCAPE);
        escape_ = true;
        if (chance(random_) < 0.2) {
            escapeHeldFor_ = 1 + static_cast<int>(random_() % 5);
        } else {
            headless::keyUp(platform::KEY_ESCAPE);
        }
        ++tally_.escapes;
    } else if (roll < 0.35) {
        if (app_.state == STATE_PLAYING)
            aimAtBoard();
        else
            aimAtButton();
    } else if (roll < 0.45) {
        // Anywhere, off the picture too: the backend clamps.
        clickAt(static_cast<int32_t>(random_() % 900) - 50, static_cast<int32_t>(random_() % 700) - 50);
    } else if (roll < 0.65) {
        headless::setCursor(static_cast<int32_t>(random_() % 900) - 50, static_cast<int32_t>(random_() % 700) - 50);
    }
}

void Session::clickAt(int32_t x, int32_t y) {
    headless::setCursor(x, y);
    // Never press Exit: that ends the process, as it should.
    if (nearExit(app_.cursor)) return;
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    ++tally_.clicks;
}

// Menu screens judge hover by the pointer of the previous frame: aim now,
// click in the next pass.
void Session::aimAtButton() {
    Target t{static_cast<int32_t>(random_() % 800), static_cast<int32_t>(random_() % 600)};
    switch (app_.state) {
        case STATE_MAIN_MENU:
            t = MENU_TARGETS[random_() % std::size(MENU_TARGETS)];
            break;
        case STATE_OPTIONS:
            t = OPTIONS_TARGETS[random_() % std::size(OPTIONS_TARGETS)];
            break;
        case STATE_HIGH_SCORES:
        case STATE_HELP:
            t = BACK_TARGET;
            break;
        default:
            break;  // won, lost: a click anywhere returns to the menu
    }
    headless::setCursor(t.x, t.y);
    clickNext_ = true;
}

// Usually a piece that can jump, or a landing cell of the selected piece;
// sometimes any cell, or a grid line.
void Session::aimAtBoard() {
    std::vector<int> cells;
    if (app_.pieceSelected && random_() % 5 != 0) {
        cells = landings(app_.board, app_.selectedRow, app_.selectedCol);
    } else if (random_() % 5 != 0) {
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (app_.board[i] == CELL_PIECE && !landings(app_.board, i / BOARD_SIZE, i % BOARD_SIZE).empty())
                cells.push_back(i);
    }
    const int cell = cells.empty() ? static_cast<int>(random_() % BOARD_CELLS) : cells[random_() % cells.size()];
    int32_t x = GRID_LEFT + CELL_PITCH * (cell % BOARD_SIZE) + 1 + static_cast<int32_t>(random_() % 49);
    int32_t y = GRID_TOP + CELL_PITCH * (cell / BOARD_SIZE) + 1 + static_cast<int32_t>(random_() % 49);
    if (random_() % 20 == 0) x = GRID_LEFT + CELL_PITCH * static_cast<int32_t>(random_() % 10);  // on a line
    clickAt(x, y);
}

}  // namespace soak
