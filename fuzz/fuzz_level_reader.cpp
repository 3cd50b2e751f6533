// The level file reader against the C library's own "%d" reading.
//
// The level format is defined by scanf's "%d" and the line skip after each
// row, so the C library is the reference: scanDecimal must agree with
// fscanf("%lld") (clamped to 32 bits) on success, value and the text it
// leaves unread, and readLevelFile must fill exactly the cells that the same
// steps written with fscanf fill.
#include <cstdio>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "game/level_reader.h"
#include "game/scan_int.h"

namespace {

int32_t clamp32(long long v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// Reads the whole file both ways, number by number; after a failed read both
// drop one character so that reading goes on past the text that stopped it.
void compareScans(const char* path) {
    std::FILE* ours = std::fopen(path, "r");
    std::FILE* reference = std::fopen(path, "r");
    fuzz::check(ours != nullptr && reference != nullptr, "cannot open the scratch file twice");
    for (int round = 0; round < 4096; ++round) {
        int32_t value = 0x5A5A5A5A;
        long long expected = 0;
        const bool read = scanDecimal(ours, &value);
        const bool referenceRead = std::fscanf(reference, "%lld", &expected) == 1;
        fuzz::check(read == referenceRead, "scanDecimal and fscanf disagree on whether a number is there");
        if (read) fuzz::check(value == clamp32(expected), "scanDecimal and fscanf read different values");
        if (!read) fuzz::check(value == 0x5A5A5A5A, "a failed scanDecimal changed its value");
        const int next = std::fgetc(ours);
        fuzz::check(next == std::fgetc(reference), "scanDecimal and fscanf stop at different places");
        if (next == EOF) break;
        if (read) {
            std::ungetc(next, ours);
            std::ungetc(next, reference);
        }
    }
    std::fclose(ours);
    std::fclose(reference);
}

// The reading steps of the level file, literally, with the C library.
Board referenceLevel(const char* path, Board board) {
    std::FILE* file = std::fopen(path, "r");
    fuzz::check(file != nullptr, "cannot open the scratch file");
    for (int row = 0; row < BOARD_SIZE; ++row) {
        for (int col = 0; col < BOARD_SIZE; ++col) {
            long long code = 0;
            if (std::fscanf(file, "%lld", &code) == 1) board[cellIndex(row, col)] = clamp32(code);
        }
        int ch = 0;
        do {
            ch = std::fgetc(file);
        } while (ch != '\n' && ch != EOF);
    }
    std::fclose(file);
    return board;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = fuzz::writeScratchFile(data, size);
    compareScans(path);

    // Marked cells show which ones the file did not give.
    Board board{};
    for (int i = 0; i < BOARD_CELLS; ++i) board[i] = -1000 - i;
    const Board expected = referenceLevel(path, board);
    fuzz::check(readLevelFile(path, board), "an existing level file did not open");
    fuzz::check(board == expected, "readLevelFile filled other cells than the reading steps");
    return 0;
}
