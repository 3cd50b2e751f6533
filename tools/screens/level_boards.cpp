#include "tools/screens/level_boards.h"

#include <fstream>
#include <vector>

namespace tour {

namespace {

// A sheet of COLUMNS x ROWS boards, centred in one picture.
constexpr int WIDTH = 800, HEIGHT = 600;
constexpr int COLUMNS = 4, ROWS = 3;
// The board with the pieces that stand up out of the top row's holes: a
// square of 480 pixels from (160, 55), shrunk by 3 to 160.
constexpr int CROP_LEFT = 160, CROP_TOP = 55;
constexpr int SHRINK = 3, TILE = 480 / SHRINK, GAP = 16;
constexpr int LEFT = (WIDTH - COLUMNS * TILE - (COLUMNS - 1) * GAP) / 2;
constexpr int TOP = (HEIGHT - ROWS * TILE - (ROWS - 1) * GAP) / 2;

// The mean of SHRINK x SHRINK RGB565 pixels.
uint16_t meanOfBlock(const Shot& board, int x0, int y0) {
    int red = 0, green = 0, blue = 0;
    for (int y = y0; y < y0 + SHRINK; ++y)
        for (int x = x0; x < x0 + SHRINK; ++x) {
            const uint16_t p = board.at(x, y);
            red += p >> 11;
            green += (p >> 5) & 0x3F;
            blue += p & 0x1F;
        }
    constexpr int n = SHRINK * SHRINK;
    return static_cast<uint16_t>(((red + n / 2) / n) << 11 | ((green + n / 2) / n) << 5 | (blue + n / 2) / n);
}

}  // namespace

bool takeLevelsPicture(Shot* shot, std::string* error) {
    std::ifstream order("levels.order");
    if (!order) {
        *error = "cannot open levels.order";
        return false;
    }
    std::vector<std::string> files;
    for (std::string line; std::getline(order, line) && files.size() < COLUMNS * ROWS;)
        files.push_back("levels/" + line.substr(0, line.find('\t')) + ".txt");

    std::vector<Shot> boards;
    if (!takeLevelShots(files, &boards, error)) return false;

    shot->name = LEVELS_PICTURE;
    shot->pixels.assign(static_cast<size_t>(WIDTH) * HEIGHT, boards.empty() ? 0 : boards.front().at(0, 0));
    for (size_t i = 0; i < boards.size(); ++i) {
        const int left = LEFT + static_cast<int>(i % COLUMNS) * (TILE + GAP);
        const int top = TOP + static_cast<int>(i / COLUMNS) * (TILE + GAP);
        for (int y = 0; y < TILE; ++y)
            for (int x = 0; x < TILE; ++x)
                shot->pixels[static_cast<size_t>(top + y) * WIDTH + left + x] =
                    meanOfBlock(boards[i], CROP_LEFT + SHRINK * x, CROP_TOP + SHRINK * y);
    }
    return true;
}

}  // namespace tour
