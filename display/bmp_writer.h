// The one 24-bit BMP writer: F9's screenshots and the image generator's files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 14-byte file header and 40-byte info header.
constexpr uint32_t BMP24_HEADER_BYTES = 54;

// One row in the file: 3 bytes a pixel, padded to a multiple of 4.
constexpr uint32_t bmp24RowBytes(int32_t width) {
    return (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
}

constexpr uint32_t bmp24FileBytes(int32_t width, int32_t height) {
    return BMP24_HEADER_BYTES + bmp24RowBytes(width) * static_cast<uint32_t>(height);
}

// Writes both headers of a width x height file (uncompressed, bottom-up
// rows; resolution and colour counts 0) to the first BMP24_HEADER_BYTES of
// `file`.
void writeBmp24Headers(uint8_t* file, int32_t width, int32_t height);

// The whole file of a width x height picture (both at least 1).
// `fillRow(y, bgr)` writes picture row y (0 is the top) as `width` triples
// B, G, R; the padding stays 0. Throws std::bad_alloc only when the buffer
// cannot be had.
template <typename FillRow>
std::vector<uint8_t> encodeBmp24(int32_t width, int32_t height, FillRow&& fillRow) {
    std::vector<uint8_t> file(bmp24FileBytes(width, height), 0);
    writeBmp24Headers(file.data(), width, height);
    // A positive height in the header means the file holds the bottom row first.
    for (int32_t y = 0; y < height; ++y)
        fillRow(y, file.data() + BMP24_HEADER_BYTES + static_cast<size_t>(height - 1 - y) * bmp24RowBytes(width));
    return file;
}

enum class NewFileResult { WRITTEN, EXISTS, FAILED };

// Creates `path` and writes all of `bytes` to it. An existing file is never
// replaced (EXISTS). A file that cannot be written whole (a full disk, the
// file size limit) is removed again, so no short file is ever left (FAILED,
// as when it cannot be created). On FAILED, `error` (when not null) gets
// the errno of the failing call.
NewFileResult writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes, int* error);
