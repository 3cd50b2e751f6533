#include "tests/support/bmp_writer.h"

#include "tests/support/little_endian.h"

namespace {

// Splits one row into encoded runs (count, value) and absolute stretches.
template <typename EmitRun, typename EmitAbsolute>
void splitRow(const std::vector<uint32_t>& row, EmitRun run, EmitAbsolute absolute) {
    size_t x = 0;
    while (x < row.size()) {
        size_t same = 1;
        while (x + same < row.size() && row[x + same] == row[x] && same < 255) ++same;
        if (same >= 2) {
            run(same, row[x]);
            x += same;
            continue;
        }
        size_t end = x + 1;
        while (end < row.size() && end - x < 255 && !(end + 1 < row.size() && row[end] == row[end + 1])) ++end;
        std::vector<uint32_t> stretch(row.begin() + x, row.begin() + end);
        if (stretch.size() >= 3) {
            absolute(stretch);
        } else {
            for (uint32_t v : stretch) run(1, v);
        }
        x = end;
    }
}

std::vector<uint32_t> rowOf(int width, int y, const std::function<uint32_t(int, int)>& index) {
    std::vector<uint32_t> row;
    for (int x = 0; x < width; ++x) row.push_back(index(x, y));
    return row;
}

}  // namespace

std::string buildBmp(const BmpLayout& layout) {
    const bool core = layout.headerSize == 12;
    const bool masksInHeader = layout.headerSize >= 108;
    std::string info;
    put32(info, layout.headerSize);
    if (core) {
        put16(info, static_cast<uint32_t>(layout.width));
        put16(info, static_cast<uint32_t>(layout.height));
        put16(info, 1);
        put16(info, layout.bits);
    } else {
        put32(info, static_cast<uint32_t>(layout.width));
        put32(info, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
        put16(info, 1);
        put16(info, layout.bits);
        put32(info, layout.compression);
        put32(info, static_cast<uint32_t>(layout.pixels.size()));
        put32(info, 2835);
        put32(info, 2835);
        put32(info, static_cast<uint32_t>(layout.palette.size()));
        put32(info, 0);
        if (masksInHeader) {
            for (size_t i = 0; i < 4; ++i) put32(info, i < layout.masks.size() ? layout.masks[i] : 0);
            put32(info, 0x73524742);  // 'sRGB'
        }
        info.resize(layout.headerSize, '\0');
        if (!masksInHeader) {
            for (uint32_t mask : layout.masks) put32(info, mask);
        }
    }
    for (uint32_t colour : layout.palette) {
        info += static_cast<char>(colour & 0xFF);
        info += static_cast<char>((colour >> 8) & 0xFF);
        info += static_cast<char>((colour >> 16) & 0xFF);
        if (!core) info += '\0';
    }
    const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
    std::string file = "BM";
    put32(file, offset + static_cast<uint32_t>(layout.pixels.size()));
    put32(file, 0);
    put32(file, offset);
    return file + info + layout.pixels;
}

std::string packRows(int width, int height, int bits, bool topDown, const std::function<uint32_t(int, int)>& value) {
    const size_t rowBytes = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    std::string out;
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            if (bits < 8) {
                const size_t bit = static_cast<size_t>(x) * bits;
                const int shift = 8 - bits - static_cast<int>(bit % 8);
                row[bit / 8] = static_cast<char>(static_cast<uint8_t>(row[bit / 8]) | (v << shift));
            } else {
                for (int b = 0; b < bits / 8; ++b)
                    row[static_cast<size_t>(x) * (bits / 8) + b] = static_cast<char>(v >> (8 * b));
            }
        }
        out += row;
    }
    return out;
}

namespace {

// RLE8 (bits 8) or RLE4 (bits 4). A run repeats one index (RLE4 alternates
// two nibbles, here both the same); absolute data packs the indexes and ends
// on a 16-bit boundary.
std::string encodeRle(int width, int height, const std::function<uint32_t(int, int)>& index, int bits) {
    std::string out;
    for (int y = height - 1; y >= 0; --y) {
        splitRow(
            rowOf(width, y, index),
            [&](size_t count, uint32_t v) {
                out += static_cast<char>(count);
                out += static_cast<char>(bits == 4 ? (v << 4) | v : v);
            },
            [&](const std::vector<uint32_t>& stretch) {
                std::string packed;
                for (size_t i = 0; i < stretch.size(); i += 8 / bits) {
                    uint32_t byte = stretch[i];
                    if (bits == 4) byte = byte << 4 | (i + 1 < stretch.size() ? stretch[i + 1] : 0);
                    packed += static_cast<char>(byte);
                }
                if (packed.size() % 2) packed += '\0';
                out += '\0';
                out += static_cast<char>(stretch.size());
                out += packed;
            });
        out += std::string("\0\0", 2);
    }
    out += std::string("\0\1", 2);
    return out;
}

}  // namespace

std::string encodeRle8(int width, int height, const std::function<uint32_t(int, int)>& index) {
    return encodeRle(width, height, index, 8);
}

std::string encodeRle4(int width, int height, const std::function<uint32_t(int, int)>& index) {
    return encodeRle(width, height, index, 4);
}
