// Writes Windows bitmap files of every variant the decoder must read, so each
// test states its file in a few lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BmpLayout {
    int width = 0;
    int height = 0;            // written negated when topDown
    uint32_t headerSize = 40;  // 12 (OS/2 core), 40, 108 (v4) or 124 (v5)
    uint16_t bits = 24;
    uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bitfields
    bool topDown = false;
    std::vector<uint32_t> palette;  // 0xRRGGBB entries
    std::vector<uint32_t> masks;    // red, green, blue[, alpha]: inside a v4/v5 header, else after it
    std::string pixels;             // the pixel bytes exactly as stored
};

std::string buildBmp(const BmpLayout& layout);

// Uncompressed pixel bytes: value(x, y) is a palette index or a raw pixel of
// `bits` bits (little-endian); rows are padded to 4 bytes and stored
// bottom-up unless `topDown`.
std::string packRows(int width, int height, int bits, bool topDown, const std::function<uint32_t(int, int)>& value);

// RLE8 / RLE4 streams of the palette indices index(x, y), bottom-up: runs of
// equal indices are encoded, stretches of three or more unequal ones use
// absolute mode. Each row ends with an end-of-line, the image with
// end-of-bitmap.
std::string encodeRle8(int width, int height, const std::function<uint32_t(int, int)>& index);
std::string encodeRle4(int width, int height, const std::function<uint32_t(int, int)>& index);
