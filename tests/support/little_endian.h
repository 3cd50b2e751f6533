// Appends little-endian integers to a byte string: the test-written BMP and
// WAV files are built with these.
#pragma once

#include <cstdint>
#include <string>

inline void put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
