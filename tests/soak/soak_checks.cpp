// The referee's side of the soak: what must hold after every pass.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "display/screen_capture.h"
#include "platform/headless/headless.h"
#include "tests/soak/soak_session.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/test_files.h"

namespace soak {

std::string Session::checkPass(const Before& before) {
    std::ostringstream error;
    if (app_.state < STATE_MAIN_MENU || app_.state > STATE_LOST) error << "state " << app_.state << " is no state; ";
    if (app_.previousState < STATE_MAIN_MENU || app_.previousState > STATE_LOST)
        error << "previous state " << app_.previousState << " is no state; ";
    const uint64_t presents = headless::presentCount() - before.presents;
    const bool stepped = !app_.suspended;  // the pass's event came first, then the frame if not suspended
    if (presents != (stepped ? 1u : 0u)) error << presents << " frames presented in one pass; ";
    tally_.framesPresented += presents;
    error << checkDevices();
    error << checkBoard(before);
    if (presents == 1) error << checkPicture(before);
    if (headless::changesMissedByHints() != 0)
        error << headless::changesMissedByHints() << " changed pixels lay outside the tiles flagged as changed; ";
    if (app_.pieceSelected && (!onGrid(app_.selectedRow, app_.selectedCol) ||
                               app_.board[cellIndex(app_.selectedRow, app_.selectedCol)] != CELL_PIECE))
        error << "the selection (" << app_.selectedRow << ", " << app_.selectedCol << ") holds no piece; ";
    if (!headless::keyboardIsOpen()) error << "the keyboard was closed; ";
    if (!headless::messageBoxes().empty()) error << "a message box: " << headless::messageBoxes().back().text << "; ";
    // Look at the folder after every F9, and now and again anyway.
    if (before.tappedF9 || tally_.passes % 1000 == 0) error << checkFolder(false);
    return error.str();
}

std::string Session::checkDevices() const {
    std::ostringstream error;
    const std::unique_ptr<Surface>* images[] = {
        &app_.texFail,       &app_.texWon,         &app_.texLogo,           &app_.texMousePtr,
        &app_.texMenuStart,  &app_.texMenuOptions, &app_.texMenuHighScores, &app_.texMenuHelp,
        &app_.texMenuExit,   &app_.texMenuMusic,   &app_.texMenuSound,      &app_.texMenuButton,
        &app_.texMenuBack,   &app_.texBackground,  &app_.texHelp,           &app_.texDigit,
        &app_.texHyphenBlue, &app_.texLamp,        &app_.texButton1,        &app_.texBoard,
    };
    const size_t held = static_cast<size_t>(std::count_if(
        std::begin(images), std::end(images), [](const std::unique_ptr<Surface>* i) { return *i != nullptr; }));
    if (app_.suspended) {
        if (held != 0) error << held << " images held while suspended; ";
        if (app_.backSurface != nullptr) error << "back buffer held while suspended; ";
        if (headless::primarySurfacesHeld() != 0 || headless::backBuffersHeld() != 0)
            error << "display held while suspended; ";
        if (headless::audioHandlesHeld() != 0)
            error << headless::audioHandlesHeld() << " audio handles held while suspended; ";
        if (app_.performance != nullptr || app_.musicSegment != nullptr) error << "audio fields set while suspended; ";
    } else {
        if (held != 20) error << "only " << held << " of 20 images held while playing; ";
        if (headless::primarySurfacesHeld() != 1 || headless::backBuffersHeld() != 1)
            error << headless::primarySurfacesHeld() << " primaries and " << headless::backBuffersHeld()
                  << " back buffers held while playing; ";
    }
    return error.str();
}

std::string Session::checkBoard(const Before& before) {
    std::ostringstream error;
    const Board& now = app_.board;
    if (before.state == STATE_NEW_GAME && app_.state == STATE_PLAYING) {
        // The new-game frame read the level file, which gives every cell. (An
        // Esc in that pass shows the menu instead, and nothing is read.)
        ++tally_.gamesStarted;
        if (now != level_) error << "a new game did not start from the level:\n" << boardToPicture(now);
        return error.str();
    }
    const int lost = pieces(before.board) - pieces(now);
    if (lost == 0) {
        if (now != before.board) error << "the board changed without a jump:\n" << boardToPicture(now);
    } else if (lost == 1 && before.state == STATE_PLAYING) {
        ++tally_.jumps;
        // Exactly the start, the jumped and the landing cell change, four
        // cells apart in one of the eight directions.
        std::vector<int> changed;
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (now[i] != before.board[i]) changed.push_back(i);
        bool shaped = false;
        for (int start : changed) {
            for (const auto& d : DIRECTIONS) {
                const int row = start / BOARD_SIZE + 4 * d[0];
                const int col = start % BOARD_SIZE + 4 * d[1];
                if (!onGrid(row, col)) continue;
                const int over = cellIndex(start / BOARD_SIZE + 2 * d[0], start % BOARD_SIZE + 2 * d[1]);
                const int land = cellIndex(row, col);
                shaped = shaped || (changed.size() == 3 && before.board[start] == CELL_PIECE &&
                                    before.board[over] == CELL_PIECE && before.board[land] == CELL_EMPTY &&
                                    now[start] == CELL_EMPTY && now[over] == CELL_EMPTY && now[land] == CELL_PIECE);
            }
        }
        if (!shaped)
            error << "a jump of another shape:\n" << boardToPicture(before.board) << "became\n" << boardToPicture(now);
        const auto& calls = headless::audioCalls();
        const bool exploded = std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("play Sound/Explode.aud", 0) == 0;
        });
        if (exploded != before.soundOn)
            error << "the jump sound " << (exploded ? "played with sound off" : "is missing") << "; ";
    } else {
        error << "the piece count went from " << pieces(before.board) << " to " << pieces(now) << " in state "
              << before.state << "; ";
    }
    if (before.state == STATE_PLAYING && app_.state == STATE_WON) {
        ++tally_.wins;
        if (pieces(now) >= 2) error << "won with " << pieces(now) << " pieces; ";
    }
    if (before.state == STATE_PLAYING && app_.state == STATE_LOST) {
        ++tally_.losses;
        if (anyJump(now) || pieces(now) < 2) error << "lost on a board with a jump or under two pieces; ";
    }
    return error.str();
}

// Probes of the presented picture, with the stand-in art's flat colours:
// the pointer where the frame drew it, and on the board screens every cell
// as the board stood when it was drawn (a playing frame draws the board
// before the click acts). A frame that kept pixels of an earlier one shows
// up here.
std::string Session::checkPicture(const Before& before) const {
    std::ostringstream error;
    const uint16_t* picture = platform::displayLastPresented();
    auto at = [picture](int32_t x, int32_t y) { return picture[static_cast<size_t>(y) * platform::PICTURE_WIDTH + x]; };

    // The screen the frame drew: the state it began in, unless Esc was read.
    const GameState drawn = before.escape ? STATE_MAIN_MENU : before.state;
    const bool play = drawn == STATE_PLAYING;
    const int32_t px = app_.cursor.x + (play ? -2 : 0);
    const int32_t py = app_.cursor.y + (play ? -10 : 0);
    const uint16_t pointer = rgbTo565(standin::pointerFrameColour(app_.pointerSprite.currentFrame));
    if (px >= 0 && py >= 0 && px + 38 <= platform::PICTURE_WIDTH && py + 27 <= platform::PICTURE_HEIGHT &&
        (at(px + 1, py + 1) != pointer || at(px + 37, py + 26) != pointer))
        error << "the pointer is not at (" << px << ", " << py << ") in frame " << app_.pointerSprite.currentFrame
              << "; ";

    if (drawn != STATE_PLAYING && drawn != STATE_WON && drawn != STATE_LOST) return error.str();
    const Board& board = play ? before.board : app_.board;
    const int32_t raisedRow = play ? before.selectedRow : app_.selectedRow;
    const int32_t raisedCol = play ? before.selectedCol : app_.selectedCol;
    const uint16_t lamp = rgbTo565(standin::image("Tex/Lamp.Tex").colour);
    const uint16_t hole = rgbTo565(standin::image("Tex/Button1.Tex").colour);
    const uint16_t wood = rgbTo565(standin::image("Tex/Board.Tex").colour);
    auto hidden = [&](int32_t x, int32_t y) {
        const bool underPointer = x >= px && x < px + 38 && y >= py && y < py + 27;
        const bool underOverlay = !play && y >= 270 && y < 330;  // the Won or Fail overlay
        return underPointer || underOverlay;
    };
    auto probe = [&](int32_t x, int32_t y, uint16_t expected, int row, int col, const char* what) {
        if (hidden(x, y) || at(x, y) == expected) return;
        error << what << " of cell (" << row << ", " << col << ") missing at (" << x << ", " << y << "); ";
    };
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            const int32_t x = GRID_LEFT + CELL_PITCH * col;
            const int32_t y = GRID_TOP + CELL_PITCH * row;
            const CellCode code = board[cellIndex(row, col)];
            if (code == CELL_PIECE) {
                const bool raised = row == raisedRow && col == raisedCol;
                probe(x - 5, y - 13, lamp, row, col, "piece");
                probe(x - 5, y + 26, raised ? wood : lamp, row, col, raised ? "raised piece" : "resting piece");
            } else if (code == CELL_EMPTY) {
                probe(x + 5, y + 5, hole, row, col, "empty hole");
            } else {
                probe(x + 20, y + 20, wood, row, col, "board without a hole");
            }
        }
    }
    return error.str();
}

std::string Session::checkFolder(bool contents) {
    std::ostringstream error;
    std::map<std::string, std::string> files = filesBelow(".", contents);
    for (auto it = files.begin(); it != files.end();) {
        if (isScreenshotName(it->first)) {
            const uintmax_t size = std::filesystem::file_size(it->first);
            if (size != SCREENSHOT_FILE_BYTES) error << it->first << " has " << size << " bytes; ";
            std::filesystem::remove(it->first);
            ++tally_.screenshots;
            it = files.erase(it);
        } else {
            ++it;
        }
    }
    const std::map<std::string, std::string>& expected = contents ? dataFiles_ : dataSizes_;
    for (const auto& [path, found] : files) {
        const auto kept = expected.find(path);
        if (kept == expected.end())
            error << "the game wrote " << path << "; ";
        else if (kept->second != found)
            error << "the game changed " << path << "; ";
    }
    for (const auto& [path, unused] : expected)
        if (files.count(path) == 0) error << "the game removed " << path << "; ";
    return error.str();
}

}  // namespace soak
