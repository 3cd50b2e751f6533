// The soak's own view of the board and of the play folder.
#include <algorithm>
#include <filesystem>

#include "tests/soak/soak_session.h"
#include "tests/support/test_files.h"

namespace soak {

bool onGrid(int row, int col) {
    return row >= 0 && row < BOARD_SIZE && col >= 0 && col < BOARD_SIZE;
}

int pieces(const Board& board) {
    return static_cast<int>(std::count(board.begin(), board.end(), CELL_PIECE));
}

// The landing cells of a jump from (row, col) on `board`.
std::vector<int> landings(const Board& board, int row, int col) {
    std::vector<int> cells;
    for (const auto& d : DIRECTIONS) {
        const int landRow = row + 4 * d[0];
        const int landCol = col + 4 * d[1];
        if (!onGrid(landRow, landCol)) continue;
        if (board[cellIndex(row + 2 * d[0], col + 2 * d[1])] == CELL_PIECE &&
            board[cellIndex(landRow, landCol)] == CELL_EMPTY)
            cells.push_back(cellIndex(landRow, landCol));
    }
    return cells;
}

bool anyJump(const Board& board) {
    for (int i = 0; i < BOARD_CELLS; ++i)
        if (board[i] == CELL_PIECE && !landings(board, i / BOARD_SIZE, i % BOARD_SIZE).empty()) return true;
    return false;
}

// "GAME<n>.bmp", the screenshot names.
bool isScreenshotName(const std::string& name) {
    const std::string prefix = "GAME";
    const std::string suffix = ".bmp";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0) return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    return std::all_of(name.begin() + prefix.size(), name.end() - suffix.size(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Every file below `folder` (folders too, as empty entries) by its path;
// with `contents`, what it holds, else only its size as text.
std::map<std::string, std::string> filesBelow(const std::filesystem::path& folder, bool contents) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().lexically_relative(folder).string();
        if (!entry.is_regular_file())
            files[path] = "";
        else
            files[path] = contents ? readFile(entry.path()) : std::to_string(entry.file_size());
    }
    return files;
}

}  // namespace soak
