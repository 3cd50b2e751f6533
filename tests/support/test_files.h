// Small file writers and board pictures for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/board.h"
#include "platform/rgb565.h"         // rgbTo565, the game's conversion, for expected pixels
#include "tools/solver/generator.h"  // levelText: a board as a level file holds it

// Writes `content` to `path` (binary, replaced), making parent folders.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);

// A 24-bit bottom-up BMP of width x height whose pixel (x, y) is colour(x, y)
// as 0xRRGGBB.
std::string makeBmp24(int width, int height, const std::function<uint32_t(int, int)>& colour);
void writeBmp24(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& colour);

// A minimal valid 16-bit PCM WAV file (44.1 kHz, mono) of `samples` samples of silence.
std::string makeSilentWav(int samples = 441);

// A board from a picture of nine lines of nine codes separated by spaces,
// for example ". o o x . . . . ." where '.' is CELL_NONE, 'o' CELL_EMPTY and
// 'x' CELL_PIECE; digits and signed numbers stand for themselves.
Board boardFromPicture(const std::string& picture);
// The inverse, for failure messages.
std::string boardToPicture(const Board& board);
// The classic cross of 44 pieces around an empty centre: a level the reader
// and the game tests share.
extern const Board CROSS_LEVEL;
