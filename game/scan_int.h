// Reading decimal integers from text files the way the game's files are read.
#pragma once

#include <cstdint>
#include <cstdio>

// Reads one integer like scanf's "%d": skips white space (line ends
// included), takes an optional sign and the decimal digits, and stops at the
// first character that cannot continue the number. A value beyond 32 bits
// saturates at INT32_MIN / INT32_MAX instead of being undefined. Returns
// false when no integer can be read there (end of file, or text that is not a
// number); the text at which reading stopped stays unread, so the next read
// fails there too.
bool scanDecimal(std::FILE* file, int32_t* value);
