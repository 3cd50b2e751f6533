#include "game/scan_int.h"

#include <cctype>

bool scanDecimal(std::FILE* file, int32_t* value) {
    int ch = std::fgetc(file);
    while (ch != EOF && std::isspace(ch)) ch = std::fgetc(file);

    bool negative = false;
    if (ch == '+' || ch == '-') {
        negative = (ch == '-');
        ch = std::fgetc(file);
    }
    if (ch == EOF || !std::isdigit(ch)) {
        // Only one character can be pushed back reliably; a lone sign stays
        // consumed, as with scanf, and the character after it is the text at
        // which the next read stops again.
        if (ch != EOF) std::ungetc(ch, file);
        return false;
    }

    // Accumulate the magnitude with a ceiling just above the 32-bit range, so
    // any number of digits saturates instead of overflowing.
    constexpr int64_t ceiling = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    while (ch != EOF && std::isdigit(ch)) {
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > ceiling) magnitude = ceiling;
        ch = std::fgetc(file);
    }
    if (ch != EOF) std::ungetc(ch, file);

    if (negative) {
        *value = static_cast<int32_t>(-magnitude);  // -2^31 at most: fits
    } else {
        *value = magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
    }
    return true;
}
