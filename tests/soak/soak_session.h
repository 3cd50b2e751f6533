// The soak's player and referee: random input for one pass of the frame
// loop, biased so that real games are played, and the checks of everything
// the game promises after that pass.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/game_app.h"

namespace soak {

// The eight directions of a jump, as (row, column) steps. Written out here
// on purpose rather than taken from game/moves.h: the referee checks the
// game's rules, so a slip in the game's direction table must not reach it.
constexpr int DIRECTIONS[8][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};

// The board as the soak's own eyes see it (soak_board.cpp), independent of
// the game's rule code.
bool onGrid(int row, int col);
int pieces(const Board& board);
std::vector<int> landings(const Board& board, int row, int col);  // landing cells of a jump from (row, col)
bool anyJump(const Board& board);

// Files: screenshot names "GAME<n>.bmp", and every file below `folder`
// (folders as empty entries) by path, with its content or, without
// `contents`, its size as text.
bool isScreenshotName(const std::string& name);
std::map<std::string, std::string> filesBelow(const std::filesystem::path& folder, bool contents);

// What a session did, for the summary line and the test's sanity checks.
struct Tally {
    uint64_t passes = 0;
    uint64_t framesPresented = 0;
    uint64_t clicks = 0;
    uint64_t gamesStarted = 0;
    uint64_t jumps = 0;
    uint64_t wins = 0;
    uint64_t losses = 0;
    uint64_t focusCycles = 0;
    uint64_t screenshots = 0;  // written by the game, found and removed
    uint64_t escapes = 0;
};

// Drives a loaded GameApp on the headless backend inside the current folder,
// which holds the game's data (with `level` as its level file) and nothing
// else. Owns no device: the caller opens the window, the keyboard and the
// assets before the first pass, and releases them after the last.
class Session {
public:
    Session(GameApp& app, uint64_t seed, const Board& level);

    // Chooses and queues this pass's input, runs one pass of the frame loop
    // and checks what it did. Returns an empty string, or what went wrong.
    std::string pass();

    // The folder holds the data files, unchanged (compared by size, or by
    // content with `contents`), and otherwise only screenshots, which are
    // removed. Returns an empty string, or what is wrong.
    std::string checkFolder(bool contents);

    const Tally& tally() const { return tally_; }

private:
    // What a pass is judged against: the game as it was before it.
    struct Before {
        GameState state;
        bool suspended;
        bool soundOn;
        bool tappedF9;
        uint64_t presents;
        Board board;
        int32_t selectedRow;
        int32_t selectedCol;
        platform::Point cursor;  // as sampled by the previous frame
        bool escape;             // Esc is down for this pass's keyboard read
    };

    void chooseInput();
    void clickAt(int32_t x, int32_t y);
    void aimAtButton();
    void aimAtBoard();
    std::string checkPass(const Before& before);
    std::string checkBoard(const Before& before);
    std::string checkDevices() const;
    std::string checkPicture(const Before& before) const;

    GameApp& app_;
    std::mt19937_64 random_;
    Board level_;
    Tally tally_;
    std::map<std::string, std::string> dataFiles_;  // path -> content, as at the start
    std::map<std::string, std::string> dataSizes_;  // path -> size, as at the start
    bool clickNext_ = false;                        // the pointer was aimed at a menu button: click in the next pass
    int escapeHeldFor_ = 0;                         // passes until a held Esc is released
    bool tappedF9_ = false;                         // F9 went down and up before this pass
    bool escape_ = false;                           // Esc went down before this pass, or is held
};

}  // namespace soak
