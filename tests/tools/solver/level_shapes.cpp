#include "tests/tools/solver/level_shapes.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace shapes {

Board transformed(const Board& board, int transform) {
    Board image{};
    for (int r = 0; r < BOARD_SIZE; ++r)
        for (int c = 0; c < BOARD_SIZE; ++c) {
            int row = (transform & 1) ? BOARD_SIZE - 1 - r : r;
            int col = (transform & 2) ? BOARD_SIZE - 1 - c : c;
            if (transform & 4) std::swap(row, col);
            image[cellIndex(row, col)] = board[cellIndex(r, c)];
        }
    return image;
}

Board canonical(const Board& board) {
    Board smallest = board;
    for (int t = 1; t < 8; ++t) smallest = std::min(smallest, transformed(board, t));
    return smallest;
}

Board holesOf(const Board& board) {
    Board holes{};
    for (int i = 0; i < BOARD_CELLS; ++i) holes[i] = board[i] == CELL_EMPTY || board[i] == CELL_PIECE;
    return holes;
}

bool holesConnected(const Board& board) {
    const Board holes = holesOf(board);
    std::vector<int> stack;
    Board seen{};
    for (int i = 0; i < BOARD_CELLS && stack.empty(); ++i)
        if (holes[i]) stack.push_back(i), seen[i] = 1;
    int reached = 0;
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        ++reached;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                const int r = i / BOARD_SIZE + dr, c = i % BOARD_SIZE + dc;
                if (r < 0 || r >= BOARD_SIZE || c < 0 || c >= BOARD_SIZE) continue;
                if (holes[cellIndex(r, c)] && !seen[cellIndex(r, c)]) {
                    seen[cellIndex(r, c)] = 1;
                    stack.push_back(cellIndex(r, c));
                }
            }
    }
    return reached == std::count(holes.begin(), holes.end(), 1);
}

int pieceCount(const Board& board) {
    return static_cast<int>(std::count(board.begin(), board.end(), CELL_PIECE));
}

}  // namespace shapes
