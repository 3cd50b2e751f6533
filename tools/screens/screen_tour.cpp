#include "tools/screens/screen_tour.h"

#include <memory>

#include "app/frame_loop.h"
#include "app/game_app.h"
#include "game/level_reader.h"
#include "game/moves.h"
#include "platform/headless/headless.h"

namespace tour {

namespace {

struct Cell {
    int row, col;
};

struct Jump {
    Cell from, over, to;
};

using moves::DIRECTIONS;
using moves::onGrid;

class Tour {
public:
    bool run(std::vector<Shot>* shots, std::string* error);
    bool open(std::string* error);
    bool levelBoards(const std::vector<std::string>& levelFiles, std::vector<Shot>* shots, std::string* error);
    void close();

private:
    // One pass of the game's loop, as the real program runs it.
    void pass() { runPass(app_); }

    // The pointer to (x, y) for a frame, then a press handled by the next:
    // the menus act on the position sampled at the end of the frame before.
    void moveTo(int x, int y) {
        headless::setCursor(x, y);
        pass();
    }
    void click(int x, int y) {
        moveTo(x, y);
        headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
        pass();
    }
    void clickCell(Cell cell) { click(GRID_LEFT + CELL_PITCH * cell.col + 25, GRID_TOP + CELL_PITCH * cell.row + 25); }
    void pressEscape() {
        headless::keyDown(platform::KEY_ESCAPE);
        pass();
        headless::keyUp(platform::KEY_ESCAPE);
    }

    // Sets the clock so the next frame of the game in progress shows `seconds`.
    void clockAt(int seconds) { headless::setTicks(app_.gameStartTick + static_cast<uint32_t>(seconds) * 1000 + 400); }

    bool expect(GameState state, const char* screen, std::string* error) {
        if (app_.state == state) return true;
        *error = std::string("the tour did not reach ") + screen + " (state " + std::to_string(app_.state) + ")";
        return false;
    }

    void keep(const char* name, std::vector<Shot>* shots) {
        shots->push_back(Shot{name, headless::presentedFrames().back().pixels});
    }

    CellCode& cell(Cell c) { return app_.board[static_cast<size_t>(cellIndex(c.row, c.col))]; }
    bool isHole(Cell c) { return cell(c) == CELL_EMPTY || cell(c) == CELL_PIECE; }

    // The first legal jump in board order, as a player scanning the board
    // would find it.
    bool firstJump(Jump* jump) {
        const std::vector<moves::Jump> jumps = moves::legalJumps(app_.board);
        if (jumps.empty()) return false;
        const moves::Jump& j = jumps.front();
        *jump =
            Jump{{j.fromRow, j.fromCol}, {(j.fromRow + j.toRow) / 2, (j.fromCol + j.toCol) / 2}, {j.toRow, j.toCol}};
        return true;
    }

    void play(const Jump& jump) {
        clickCell(jump.from);
        clickCell(jump.to);
    }

    void startGame() {
        pressEscape();
        click(406, 182);  // Start
        pass();           // the new game's frame
    }

    bool mainMenuAndSubScreens(std::vector<Shot>* shots, std::string* error);
    bool gameInProgress(std::vector<Shot>* shots, std::string* error);
    bool wonGame(std::vector<Shot>* shots, std::string* error);
    bool lostGame(std::vector<Shot>* shots, std::string* error);

    GameApp app_;
};

bool Tour::mainMenuAndSubScreens(std::vector<Shot>* shots, std::string* error) {
    moveTo(446, 188);  // on Start, right of its label
    pass();
    if (!expect(STATE_MAIN_MENU, "the main menu", error)) return false;
    keep("main_menu", shots);

    click(407, 353);  // Options
    pass();
    click(390, 273);   // Sound: its lamp goes out
    moveTo(430, 182);  // on Music
    if (!expect(STATE_OPTIONS, "the options", error)) return false;
    if (app_.soundOn) {
        *error = "the Sound button did not switch the sound off";
        return false;
    }
    keep("options", shots);

    click(400, 473);  // Back
    click(407, 267);  // High Scores
    moveTo(620, 420);
    if (!expect(STATE_HIGH_SCORES, "the best times", error)) return false;
    keep("best_times", shots);

    click(400, 473);   // Back
    click(402, 437);   // Help
    moveTo(436, 482);  // on Back
    if (!expect(STATE_HELP, "the help", error)) return false;
    keep("help", shots);
    click(400, 473);  // Back
    return expect(STATE_MAIN_MENU, "the main menu again", error);
}

bool Tour::gameInProgress(std::vector<Shot>* shots, std::string* error) {
    startGame();
    if (!expect(STATE_PLAYING, "a new game", error)) return false;
    // Two jumps into the game, unless one of them would end it.
    for (int i = 0; i < 2; ++i) {
        Jump jump;
        if (!firstJump(&jump)) break;
        Board before = app_.board;
        clockAt(41 + 58 * i);
        play(jump);
        if (app_.state != STATE_PLAYING) {
            app_.board = before;
            app_.state = STATE_PLAYING;
            break;
        }
    }
    Jump next;
    if (!firstJump(&next)) {
        *error = "the game in progress has no jump to show";
        return false;
    }
    clickCell(next.from);
    clockAt(3 * 60 + 27);
    moveTo(GRID_LEFT + CELL_PITCH * next.to.col + 30, GRID_TOP + CELL_PITCH * next.to.row + 30);
    if (!expect(STATE_PLAYING, "the game in progress", error)) return false;
    if (!app_.pieceSelected) {
        *error = "no piece is selected in the game in progress";
        return false;
    }
    keep("playing", shots);
    return true;
}

bool Tour::wonGame(std::vector<Shot>* shots, std::string* error) {
    startGame();
    // Empty every hole but two pieces with a landing beyond: the last jump.
    for (int r = 0; r < BOARD_SIZE; ++r)
        for (int c = 0; c < BOARD_SIZE; ++c)
            if (isHole({r, c})) cell({r, c}) = CELL_EMPTY;
    bool placed = false;
    for (int r = BOARD_SIZE - 1; r >= 0 && !placed; --r)
        for (int c = 0; c < BOARD_SIZE && !placed; ++c)
            for (const auto& d : DIRECTIONS) {
                Cell from{r, c}, over{r + 2 * d.dRow, c + 2 * d.dCol}, to{r + 4 * d.dRow, c + 4 * d.dCol};
                if (isHole(from) && onGrid(to.row, to.col) && isHole(over) && isHole(to)) {
                    cell(from) = CELL_PIECE;
                    cell(over) = CELL_PIECE;
                    placed = true;
                    break;
                }
            }
    Jump last;
    if (!placed || !firstJump(&last)) {
        *error = "the level has no place for a last jump";
        return false;
    }
    clickCell(last.from);
    headless::setCursor(GRID_LEFT + CELL_PITCH * last.to.col + 25, GRID_TOP + CELL_PITCH * last.to.row + 25);
    pass();
    clockAt(7 * 60 + 42);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    pass();
    moveTo(690, 470);
    if (!expect(STATE_WON, "a won game", error)) return false;
    keep("won", shots);
    return true;
}

bool Tour::lostGame(std::vector<Shot>* shots, std::string* error) {
    startGame();
    // Always the first jump found, until none is left.
    Jump jump;
    int jumps = 0;
    while (app_.state == STATE_PLAYING && firstJump(&jump) && jumps < BOARD_CELLS) {
        Board before = app_.board;
        clockAt(23 + 19 * jumps);
        play(jump);
        ++jumps;
        if (app_.state == STATE_WON) {  // too good: undo the last jump and strand two pieces
            app_.board = before;
            app_.state = STATE_PLAYING;
            break;
        }
    }
    if (app_.state == STATE_PLAYING) {
        // Strand two pieces side by side: neither has a piece two cells away.
        for (int r = 0; r < BOARD_SIZE; ++r)
            for (int c = 0; c < BOARD_SIZE; ++c)
                if (isHole({r, c})) cell({r, c}) = CELL_EMPTY;
        for (int r = 0, placed = 0; r < BOARD_SIZE && placed < 2; ++r)
            for (int c = 0; c < BOARD_SIZE && placed < 2; ++c)
                if (isHole({r, c}) && (placed == 0 || (c > 0 && cell({r, c - 1}) == CELL_PIECE))) {
                    cell({r, c}) = CELL_PIECE;
                    ++placed;
                }
        clockAt(12 * 60 + 34);
        pass();
    }
    moveTo(690, 470);
    if (!expect(STATE_LOST, "a lost game", error)) return false;
    keep("lost", shots);
    return true;
}

bool Tour::levelBoards(const std::vector<std::string>& levelFiles, std::vector<Shot>* shots, std::string* error) {
    for (const std::string& file : levelFiles) {
        startGame();
        if (!expect(STATE_PLAYING, "a new game", error)) return false;
        // The board as a new game with this level file would read it.
        app_.board.fill(CELL_NONE);
        if (!readLevelFile(file.c_str(), app_.board)) {
            *error = "cannot open the level " + file;
            return false;
        }
        clockAt(0);
        moveTo(0, 0);
        keep(file.c_str(), shots);
    }
    return true;
}

bool Tour::open(std::string* error) {
    headless::reset();
    headless::setTicks(1000);
    theGameApp = &app_;
    std::string reason;
    app_.window = platform::windowCreate("Tavrin", &reason);
    if (!app_.window) {
        *error = "no window: " + reason;
        return false;
    }
    const bool ok = app_.initKeyboard() >= 0 && app_.loadAssets() >= 0;
    if (!ok) *error = "the game could not load its devices and data";
    return ok;
}

void Tour::close() {
    app_.releaseAll();
    app_.releaseKeyboard();
    if (app_.window) platform::windowDestroy(app_.window);
    app_.window = nullptr;
    theGameApp = nullptr;
}

bool Tour::run(std::vector<Shot>* shots, std::string* error) {
    const bool ok = open(error) && mainMenuAndSubScreens(shots, error) && gameInProgress(shots, error) &&
                    wonGame(shots, error) && lostGame(shots, error);
    close();
    return ok;
}

}  // namespace

const std::vector<std::string>& shotNames() {
    static const std::vector<std::string> names = {"main_menu", "options", "best_times", "help",
                                                   "playing",   "won",     "lost"};
    return names;
}

bool takeShots(std::vector<Shot>* shots, std::string* error) {
    shots->clear();
    auto tour = std::make_unique<Tour>();
    return tour->run(shots, error);
}

bool takeLevelShots(const std::vector<std::string>& levelFiles, std::vector<Shot>* shots, std::string* error) {
    shots->clear();
    auto tour = std::make_unique<Tour>();
    const bool ok = tour->open(error) && tour->levelBoards(levelFiles, shots, error);
    tour->close();
    return ok;
}

}  // namespace tour
