#include "platform/sdl/picture_fit.h"

#include <algorithm>

namespace sdlbackend {
namespace {

constexpr int64_t W = platform::PICTURE_WIDTH;
constexpr int64_t H = platform::PICTURE_HEIGHT;

// Floor division that also rounds negative offsets (the left and top bars)
// down, so a bar pixel never maps onto picture column or row 0.
int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The picture coordinate under the centre of fit offset `offset` along an axis
// of `span` window pixels showing `size` picture pixels.
int32_t sampleAt(int64_t offset, int64_t span, int64_t size) {
    if (span <= 0) return 0;
    return static_cast<int32_t>(floorDiv((2 * offset + 1) * size, 2 * span));
}

}  // namespace

PictureFit fitPicture(int32_t windowWidth, int32_t windowHeight) {
    PictureFit fit;
    if (windowWidth <= 0 || windowHeight <= 0) return fit;
    // Compare the aspects in integers: width-limited when W/H >= w/h.
    if (static_cast<int64_t>(windowWidth) * H <= static_cast<int64_t>(windowHeight) * W) {
        fit.width = windowWidth;
        fit.height = static_cast<int32_t>(static_cast<int64_t>(windowWidth) * H / W);
    } else {
        fit.height = windowHeight;
        fit.width = static_cast<int32_t>(static_cast<int64_t>(windowHeight) * W / H);
    }
    // A window a few pixels tall would round to nothing; keep one pixel.
    fit.width = std::max(fit.width, 1);
    fit.height = std::max(fit.height, 1);
    fit.x = (windowWidth - fit.width) / 2;
    fit.y = (windowHeight - fit.height) / 2;
    return fit;
}

int32_t pictureColumnAt(const PictureFit& fit, int32_t windowX) {
    return sampleAt(static_cast<int64_t>(windowX) - fit.x, fit.width, W);
}

int32_t pictureRowAt(const PictureFit& fit, int32_t windowY) {
    return sampleAt(static_cast<int64_t>(windowY) - fit.y, fit.height, H);
}

platform::Point windowToPicture(const PictureFit& fit, int32_t windowX, int32_t windowY) {
    if (fit.width <= 0 || fit.height <= 0) return {0, 0};
    return {std::clamp<int32_t>(pictureColumnAt(fit, windowX), 0, platform::PICTURE_WIDTH - 1),
            std::clamp<int32_t>(pictureRowAt(fit, windowY), 0, platform::PICTURE_HEIGHT - 1)};
}

int32_t pointToPixel(int32_t point, int32_t points, int32_t pixels) {
    if (points <= 0 || pixels <= 0) return point;
    return static_cast<int32_t>(
        floorDiv((2 * static_cast<int64_t>(point) + 1) * pixels, 2 * static_cast<int64_t>(points)));
}

std::vector<int32_t> columnMap(const PictureFit& fit) {
    std::vector<int32_t> map(static_cast<size_t>(std::max(fit.width, 0)));
    for (size_t i = 0; i < map.size(); ++i) map[i] = sampleAt(static_cast<int64_t>(i), fit.width, W);
    return map;
}

std::vector<int32_t> rowMap(const PictureFit& fit) {
    std::vector<int32_t> map(static_cast<size_t>(std::max(fit.height, 0)));
    for (size_t i = 0; i < map.size(); ++i) map[i] = sampleAt(static_cast<int64_t>(i), fit.height, H);
    return map;
}

}  // namespace sdlbackend
