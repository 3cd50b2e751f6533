// The 9x9 board and its pixel geometry.
#pragma once

#include <array>
#include <cstdint>

// The content of one cell. The level reader stores whatever integer the file
// holds; only CELL_EMPTY and CELL_PIECE mean anything, every other value
// (3, -1, 1000) behaves exactly like CELL_NONE everywhere.
using CellCode = int32_t;
constexpr CellCode CELL_NONE = 0;   // no hole
constexpr CellCode CELL_EMPTY = 1;  // an empty hole
constexpr CellCode CELL_PIECE = 2;  // a hole holding a piece

constexpr int BOARD_SIZE = 9;
constexpr int BOARD_CELLS = BOARD_SIZE * BOARD_SIZE;

// 81 codes in row-major order: cell (row r, column c) is element r * 9 + c,
// row 0 at the top, column 0 at the left.
using Board = std::array<CellCode, BOARD_CELLS>;

inline int cellIndex(int row, int col) { return row * BOARD_SIZE + col; }

// Grid geometry in picture pixels: cell (r, c) has its top-left corner at
// (175 + 50c, 75 + 50r). The 81 cells cover x 175..624, y 75..524.
constexpr int GRID_LEFT = 175;
constexpr int GRID_TOP = 75;
constexpr int CELL_PITCH = 50;

// Offsets of the piece image from its hole image.
constexpr int PIECE_OFFSET_X = -7;
constexpr int PIECE_OFFSET_Y = -15;
constexpr int SELECTED_PIECE_OFFSET_Y = -20;
