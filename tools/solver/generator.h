// Winnable levels made from a seed.
//
// The pieces' holes are grown on one lattice as a connected shape that a
// rotation or reflection of the board keeps; the pieces are then placed by
// playing jumps backwards from a single piece, so the level is winnable by
// construction. The holes halfway between neighbouring holes of the shape
// (on the other lattices, never reached by a piece) draw its outline, so
// the holes of the level form one 8-connected shape with that symmetry.
#pragma once

#include <cstdint>
#include <string>

#include "game/board.h"

constexpr int GENERATED_PIECES_MIN = 8;
constexpr int GENERATED_PIECES_MAX = 20;
constexpr int GENERATED_PIECES_DEFAULT = 12;

// The same seed and piece count give the same board. `pieces` must lie in
// GENERATED_PIECES_MIN..GENERATED_PIECES_MAX.
Board generateLevel(uint32_t seed, int pieces);

// A board as a level file holds it: nine lines of nine codes.
std::string levelText(const Board& board);
