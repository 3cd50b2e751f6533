// A tour of the game's screens on the headless backend.
//
// Plays the real game (the game library, the headless platform) with the
// data in the current folder: clicks through the menus, plays a game to a
// chosen moment, and keeps the picture of each screen worth showing. Used
// by the screens tool to write the pictures of the README, and by the art
// tests to look at whole screens made of the generated art.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tour {

// One presented picture: 800x600 RGB565, row by row.
struct Shot {
    std::string name;  // file name stem, e.g. "main_menu"
    std::vector<uint16_t> pixels;

    uint16_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * 800 + x]; }
};

// The names of the shots, in the order takeShots returns them: the main
// menu with Start hovered, the options with the sound lamp off, the best
// times, the help, a game in progress with a piece selected, a won game
// and a lost game.
const std::vector<std::string>& shotNames();

// Runs the tour in the current folder, which must hold the game's data
// (Tex/, Sound/, Tex/Level.txt, config0.bst): a missing file ends the
// process as the game itself does. Resets the headless backend first and
// leaves every device released. Returns false, with the screen that could
// not be reached in `error`, when the game does not arrive where the tour
// expects it to.
bool takeShots(std::vector<Shot>* shots, std::string* error);

// The same game, with each of `levelFiles` (paths from the current folder)
// as a new game's board: one shot per level, named by its path, the clock
// at 0:00 and no piece raised. False, with the reason, when a level cannot
// be opened or the game does not start.
bool takeLevelShots(const std::vector<std::string>& levelFiles, std::vector<Shot>* shots, std::string* error);

}  // namespace tour
