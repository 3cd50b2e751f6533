// Reading a level file into a board.
#pragma once

#include "game/board.h"

// The level file the game reads at every new game.
constexpr const char* LEVEL_FILE = "Tex/Level.txt";

// Reads the level file at `path` into `board`, row by row: nine integers per
// row with scanf's "%d" (white space and line ends skipped first), then the
// rest of the line is dropped. A cell whose integer cannot be read keeps its
// code; a number too large for 32 bits saturates. Returns false, leaving
// `board` untouched, only when the file cannot be opened. Malformed content
// is never an error.
bool readLevelFile(const char* path, Board& board);
