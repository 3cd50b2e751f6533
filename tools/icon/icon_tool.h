// The icon maker as a program: reads the game's hole and piece images and
// writes the desktop icon at each requested size.
#pragma once

#include <string>
#include <vector>

namespace icon {

// args: HOLE_IMAGE PIECE_IMAGE OUT_FOLDER SIZE... (the command line without
// the program name). Writes OUT_FOLDER/<N>x<N>/apps/quillmara.png for each
// size N (16 to 1024), making the folders. Called by main() at build time
// and by tests. Returns 0, or 1 with the reason in *error (nothing is
// written when an argument or an image is bad).
int makeIcons(const std::vector<std::string>& args, std::string* error);

}  // namespace icon
