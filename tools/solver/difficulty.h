// How hard a level is, measured: the share of uniformly random playouts that
// win, and how many first jumps still leave the level winnable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"

// Playouts per level and their seed: fixed, so the figures are reproducible.
constexpr int PLAYOUTS = 10000;
constexpr uint64_t PLAYOUT_SEED = 1;

struct Difficulty {
    int pieces = 0;
    bool winnable = false;
    int winningPlayouts = 0;  // of PLAYOUTS
    int firstJumps = 0;
    int winningFirstJumps = 0;

    double share() const { return static_cast<double>(winningPlayouts) / PLAYOUTS; }
};

// Plays PLAYOUTS games of uniformly chosen legal jumps from `board` until no
// jump is left, and solves the board after each legal first jump.
Difficulty measureDifficulty(const Board& board);

// Easy first: by share, more first; ties by fewer winning first jumps, then
// by name.
struct RankedLevel {
    std::string name;
    Difficulty difficulty;
};
void sortEasyFirst(std::vector<RankedLevel>& levels);

// The share as the order file and --stats print it.
std::string shareText(const Difficulty& difficulty);
