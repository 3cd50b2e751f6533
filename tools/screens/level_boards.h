// The picture of the level set: the boards of the first twelve levels of
// the run folder's levels.order, easy first, in four columns and three rows,
// each a new game's board shrunk to a third.
#pragma once

#include <string>

#include "tools/screens/screen_tour.h"

namespace tour {

// The picture's file name stem, beside the screens of shotNames().
constexpr const char* LEVELS_PICTURE = "levels";

// Plays the levels of levels.order (in the current folder, the run folder)
// on the headless backend and composes their boards into one 800x600 shot.
// False, with the reason, when the order file or a level cannot be read.
bool takeLevelsPicture(Shot* shot, std::string* error);

}  // namespace tour
