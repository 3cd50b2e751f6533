#include "game/level_reader.h"

#include <cstdio>

#include "game/scan_int.h"

bool readLevelFile(const char* path, Board& board) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;

    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            // A failed read keeps the cell; the text that stopped it stays
            // unread, so the rest of the row fails there as well.
            int32_t code = 0;
            if (scanDecimal(file, &code)) board[cellIndex(row, col)] = code;
        }
        // Drop the rest of the line: extra numbers, remarks, a carriage return.
        int ch = 0;
        do {
            ch = std::fgetc(file);
        } while (ch != '\n' && ch != EOF);
    }
    std::fclose(file);
    return true;
}
