#include "tools/solver/generator.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <vector>

#include "game/moves.h"
#include "tools/solver/random_source.h"

namespace {

struct Cell {
    int row, col;
};

// The eight turns and reflections of the board about its centre cell.
Cell transformed(Cell c, int transform) {
    int r = c.row, k = c.col;
    if (transform & 1) r = BOARD_SIZE - 1 - r;
    if (transform & 2) k = BOARD_SIZE - 1 - k;
    if (transform & 4) std::swap(r, k);
    return {r, k};
}

// Symmetry groups a shape may have, as lists of transforms (the identity
// included): a mirror either way, a half turn, both mirrors, a mirror in
// either diagonal, quarter turns, and all eight.
const std::vector<std::vector<int>> GROUPS = {
    {0, 2}, {0, 1}, {0, 3}, {0, 1, 2, 3}, {0, 4}, {0, 7}, {0, 3, 5, 6}, {0, 1, 2, 3, 4, 5, 6, 7},
};

// Transforms with bit 4 swap rows and columns, so they keep only the
// lattices whose row and column parities agree.
bool groupKeepsLattice(const std::vector<int>& group, int rowParity, int colParity) {
    for (int t : group) {
        if ((t & 4) && rowParity != colParity) return false;
    }
    return true;
}

bool isHole(CellCode code) {
    return code == CELL_EMPTY || code == CELL_PIECE;
}

class Generator {
public:
    Generator(uint32_t seed, int pieces) : random_(seed), pieces_(pieces) {}

    Board run() {
        for (;;) {
            if (!growShape()) continue;
            for (int attempt = 0; attempt < 50; ++attempt) {
                if (placePieces()) return board_;
            }
        }
    }

private:
    // Lattice cells of the shape, grown from a cell by neighbours on the
    // lattice (two board cells away, in any of the eight directions), each
    // with its whole orbit under the group.
    bool growShape() {
        const int rowParity = static_cast<int>(random_.below(2));
        const int colParity = static_cast<int>(random_.below(2));
        std::vector<int> group;
        do {
            group = GROUPS[random_.below(static_cast<uint32_t>(GROUPS.size()))];
        } while (!groupKeepsLattice(group, rowParity, colParity));
        std::vector<Cell> lattice;
        for (int r = rowParity; r < BOARD_SIZE; r += 2)
            for (int c = colParity; c < BOARD_SIZE; c += 2) lattice.push_back({r, c});
        const int target = pieces_ + 2 + static_cast<int>(random_.below(4));
        if (target > static_cast<int>(lattice.size())) return false;

        board_.fill(CELL_NONE);
        auto addOrbit = [&](Cell c) {
            for (int t : group) {
                const Cell image = transformed(c, t);
                board_[cellIndex(image.row, image.col)] = CELL_EMPTY;
            }
        };
        addOrbit(lattice[random_.below(static_cast<uint32_t>(lattice.size()))]);
        for (;;) {
            const int holes = static_cast<int>(std::count(board_.begin(), board_.end(), CELL_EMPTY));
            if (holes >= target) break;
            std::vector<Cell> frontier;
            for (Cell c : lattice) {
                if (isHole(board_[cellIndex(c.row, c.col)])) continue;
                for (const moves::Direction& d : moves::DIRECTIONS) {
                    const int r = c.row + 2 * d.dRow, k = c.col + 2 * d.dCol;
                    if (moves::onGrid(r, k) && isHole(board_[cellIndex(r, k)])) {
                        frontier.push_back(c);
                        break;
                    }
                }
            }
            if (frontier.empty()) return false;
            addOrbit(frontier[random_.below(static_cast<uint32_t>(frontier.size()))]);
        }
        shape_ = board_;
        return connected();
    }

    // The orbit of the first cell need not touch itself: the shape counts
    // only when its holes are one piece on the lattice.
    bool connected() const {
        std::vector<int> stack, seen(BOARD_CELLS, 0);
        for (int i = 0; i < BOARD_CELLS && stack.empty(); ++i)
            if (isHole(shape_[i])) stack.push_back(i), seen[i] = 1;
        int reached = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++reached;
            for (const moves::Direction& d : moves::DIRECTIONS) {
                const int r = i / BOARD_SIZE + 2 * d.dRow, c = i % BOARD_SIZE + 2 * d.dCol;
                if (moves::onGrid(r, c) && isHole(shape_[cellIndex(r, c)]) && !seen[cellIndex(r, c)]) {
                    seen[cellIndex(r, c)] = 1;
                    stack.push_back(cellIndex(r, c));
                }
            }
        }
        return reached == static_cast<int>(std::count(shape_.begin(), shape_.end(), CELL_EMPTY));
    }

    // Jumps played backwards from one piece: a piece on the landing cell
    // with two empty holes behind it becomes two pieces there.
    bool placePieces() {
        board_ = shape_;
        std::vector<int> holes;
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (board_[i] == CELL_EMPTY) holes.push_back(i);
        board_[holes[random_.below(static_cast<uint32_t>(holes.size()))]] = CELL_PIECE;
        for (int placed = 1; placed < pieces_; ++placed) {
            std::vector<moves::Jump> backwards;
            for (int to : holes) {
                if (board_[to] != CELL_PIECE) continue;
                for (const moves::Direction& d : moves::DIRECTIONS) {
                    const int fromRow = to / BOARD_SIZE - 4 * d.dRow, fromCol = to % BOARD_SIZE - 4 * d.dCol;
                    if (!moves::onGrid(fromRow, fromCol)) continue;
                    if (board_[cellIndex(fromRow, fromCol)] == CELL_EMPTY &&
                        board_[cellIndex(fromRow + 2 * d.dRow, fromCol + 2 * d.dCol)] == CELL_EMPTY)
                        backwards.push_back({fromRow, fromCol, to / BOARD_SIZE, to % BOARD_SIZE});
                }
            }
            if (backwards.empty()) return false;
            const moves::Jump& j = backwards[random_.below(static_cast<uint32_t>(backwards.size()))];
            board_[cellIndex(j.fromRow, j.fromCol)] = CELL_PIECE;
            board_[cellIndex((j.fromRow + j.toRow) / 2, (j.fromCol + j.toCol) / 2)] = CELL_PIECE;
            board_[cellIndex(j.toRow, j.toCol)] = CELL_EMPTY;
        }
        drawOutline();
        return true;
    }

    // An empty hole halfway between every two neighbouring holes of the
    // shape.
    void drawOutline() {
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (!isHole(shape_[i])) continue;
            for (const moves::Direction& d : moves::DIRECTIONS) {
                const int r = i / BOARD_SIZE + 2 * d.dRow, c = i % BOARD_SIZE + 2 * d.dCol;
                if (moves::onGrid(r, c) && isHole(shape_[cellIndex(r, c)]))
                    board_[cellIndex(i / BOARD_SIZE + d.dRow, i % BOARD_SIZE + d.dCol)] = CELL_EMPTY;
            }
        }
    }

    RandomSource random_;
    int pieces_;
    Board shape_{};
    Board board_{};
};

}  // namespace

Board generateLevel(uint32_t seed, int pieces) {
    assert(pieces >= GENERATED_PIECES_MIN && pieces <= GENERATED_PIECES_MAX);
    return Generator(seed, pieces).run();
}

std::string levelText(const Board& board) {
    std::string text;
    for (int r = 0; r < BOARD_SIZE; ++r) {
        for (int c = 0; c < BOARD_SIZE; ++c) {
            if (c > 0) text += ' ';
            text += std::to_string(board[cellIndex(r, c)]);
        }
        text += '\n';
    }
    return text;
}
