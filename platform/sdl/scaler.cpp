#include "platform/sdl/scaler.h"

#include <SDL_pixels.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/rgb565.h"

namespace sdlbackend {
namespace {

// For each picture coordinate 0..size, the first map offset that shows it or
// anything after it; entry `size` is the map's length.
std::vector<int32_t> firstOffsets(const std::vector<int32_t>& map, int32_t size) {
    std::vector<int32_t> start(static_cast<size_t>(size) + 1);
    size_t offset = 0;
    for (int32_t v = 0; v <= size; ++v) {
        while (offset < map.size() && map[offset] < v) ++offset;
        start[static_cast<size_t>(v)] = static_cast<int32_t>(offset);
    }
    return start;
}

inline void put(uint8_t* row, int32_t x, uint32_t value, std::integral_constant<int, 2>) {
    reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
}
inline void put(uint8_t* row, int32_t x, uint32_t value, std::integral_constant<int, 4>) {
    reinterpret_cast<uint32_t*>(row)[x] = value;
}
// 24-bit pixels are stored low byte first, as SDL's own fills store them.
inline void put(uint8_t* row, int32_t x, uint32_t value, std::integral_constant<int, 3>) {
    uint8_t* p = row + 3 * static_cast<size_t>(x);
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
}

template <int BPP>
void scaleRows(const uint16_t* picture, const WindowRect& out, int32_t fitX, int32_t fitY,
               const std::vector<int32_t>& columns, const std::vector<int32_t>& rows, const uint32_t* table,
               const PixelTarget& target) {
    const int32_t* cols = columns.data() + (out.x - fitX);
    const uint8_t* previousRow = nullptr;
    int32_t previousSource = -1;
    for (int32_t y = out.y; y < out.y + out.h; ++y) {
        int32_t sourceRow = rows[static_cast<size_t>(y - fitY)];
        uint8_t* dst = target.pixels + static_cast<size_t>(y) * target.pitch;
        // Enlarged pictures repeat rows: copy the window row just written.
        if (sourceRow == previousSource) {
            std::memcpy(dst + static_cast<size_t>(out.x) * BPP, previousRow + static_cast<size_t>(out.x) * BPP,
                        static_cast<size_t>(out.w) * BPP);
            continue;
        }
        const uint16_t* src = picture + static_cast<size_t>(sourceRow) * platform::PICTURE_WIDTH;
        for (int32_t i = 0; i < out.w; ++i)
            put(dst, out.x + i, table[src[cols[i]]], std::integral_constant<int, BPP>{});
        previousRow = dst;
        previousSource = sourceRow;
    }
}

template <int BPP>
void fillRows(const PixelTarget& target, uint32_t value) {
    for (int32_t y = 0; y < target.height; ++y) {
        uint8_t* row = target.pixels + static_cast<size_t>(y) * target.pitch;
        for (int32_t x = 0; x < target.width; ++x) put(row, x, value, std::integral_constant<int, BPP>{});
    }
}

}  // namespace

bool scalerServes(uint32_t format) {
    if (format == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_FOURCC(format) || SDL_ISPIXELFORMAT_INDEXED(format))
        return false;
    int bytes = SDL_BYTESPERPIXEL(format);
    return bytes >= 2 && bytes <= 4;
}

void buildColourTable(const SDL_PixelFormat* format, std::vector<uint32_t>* table) {
    table->resize(65536);
    for (uint32_t v = 0; v < 65536; ++v) {
        const uint32_t rgb = rgbFrom565(static_cast<uint16_t>(v));
        (*table)[v] = SDL_MapRGB(format, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8),
                                 static_cast<Uint8>(rgb));
    }
}

Scaler::Scaler(int32_t targetWidth, int32_t targetHeight)
    : targetWidth_(std::max(targetWidth, 0)),
      targetHeight_(std::max(targetHeight, 0)),
      fit_(fitPicture(targetWidth, targetHeight)),
      columns_(columnMap(fit_)),
      rows_(rowMap(fit_)),
      columnStart_(firstOffsets(columns_, platform::PICTURE_WIDTH)),
      rowStart_(firstOffsets(rows_, platform::PICTURE_HEIGHT)) {}

WindowRect Scaler::windowRectOf(const PictureRect& rect) const {
    auto clampX = [](int32_t v) { return std::clamp(v, 0, platform::PICTURE_WIDTH); };
    auto clampY = [](int32_t v) { return std::clamp(v, 0, platform::PICTURE_HEIGHT); };
    int32_t x0 = columnStart_[static_cast<size_t>(clampX(rect.left))];
    int32_t x1 = columnStart_[static_cast<size_t>(clampX(rect.right))];
    int32_t y0 = rowStart_[static_cast<size_t>(clampY(rect.top))];
    int32_t y1 = rowStart_[static_cast<size_t>(clampY(rect.bottom))];
    return {fit_.x + x0, fit_.y + y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

void Scaler::scale(const uint16_t* picture, const PictureRect& rect, const uint32_t* colourTable,
                   const PixelTarget& target) const {
    if (target.width != targetWidth_ || target.height != targetHeight_ || target.pixels == nullptr) return;
    WindowRect out = windowRectOf(rect);
    if (out.w <= 0 || out.h <= 0) return;
    switch (target.bytesPerPixel) {
        case 2:
            scaleRows<2>(picture, out, fit_.x, fit_.y, columns_, rows_, colourTable, target);
            break;
        case 3:
            scaleRows<3>(picture, out, fit_.x, fit_.y, columns_, rows_, colourTable, target);
            break;
        case 4:
            scaleRows<4>(picture, out, fit_.x, fit_.y, columns_, rows_, colourTable, target);
            break;
        default:
            break;
    }
}

void Scaler::fill(const PixelTarget& target, uint32_t value) {
    if (target.pixels == nullptr) return;
    switch (target.bytesPerPixel) {
        case 2:
            fillRows<2>(target, value);
            break;
        case 3:
            fillRows<3>(target, value);
            break;
        case 4:
            fillRows<4>(target, value);
            break;
        default:
            break;
    }
}

}  // namespace sdlbackend
