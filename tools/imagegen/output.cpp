#include "tools/imagegen/output.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "display/bmp_writer.h"

namespace imagegen {

namespace {

// 4x4 ordered-dither thresholds, 0..1.
float bayer(int x, int y) {
    static const int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (static_cast<float>(matrix[y & 3][x & 3]) + 0.5f) / 16.0f;
}

// One channel (0..1) to a byte whose top `bits` bits hold the dithered level;
// the low bits repeat the level so the file itself looks right too.
uint32_t channel(float value, int bits, float threshold) {
    int levels = (1 << bits) - 1;
    float level = std::clamp(value, 0.0f, 1.0f) * static_cast<float>(levels);
    // A value already on a level (a backdrop pixel seen through an edge)
    // stays on it, whatever the threshold.
    if (std::fabs(level - std::round(level)) < 0.2f) level = std::round(level);
    int q = static_cast<int>(std::floor(level + threshold));
    q = std::clamp(q, 0, levels);
    return static_cast<uint32_t>((q << (8 - bits)) | (q >> (2 * bits - 8)));
}

uint32_t quantise(float r, float g, float b, int x, int y) {
    float t = bayer(x, y);
    return channel(r, 5, t) << 16 | channel(g, 6, t) << 8 | channel(b, 5, t);
}

// A colour the loader would turn into the key's 16-bit value gets one more
// step of red, which no eye can see on a green this bright.
uint32_t avoidKey(uint32_t rgb) {
    return rgbTo565(rgb) == KEY_565 ? (rgb & 0x00FFFF) | 0x080000 : rgb;
}

}  // namespace

RgbImage flattenOpaque(const Picture& picture) {
    RgbImage image{picture.width, picture.height, std::vector<uint32_t>(picture.pixels.size())};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            image.at(x, y) = quantise(p.r, p.g, p.b, x, y);
        }
    return image;
}

RgbImage flattenKeyed(const Picture& picture, const Beneath& beneath, float threshold) {
    RgbImage image{picture.width, picture.height, std::vector<uint32_t>(picture.pixels.size())};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            if (p.a < threshold) {
                image.at(x, y) = KEY_GREEN;
                continue;
            }
            uint32_t under = beneath.matte;
            int bx = beneath.x + x, by = beneath.y + y;
            if (beneath.image && bx >= 0 && by >= 0 && bx < beneath.image->width && by < beneath.image->height)
                under = beneath.image->at(bx, by);
            Rgba bottom = colour(under);
            Rgba mixed = over(p, bottom);
            image.at(x, y) = avoidKey(quantise(mixed.r, mixed.g, mixed.b, bx, by));
        }
    return image;
}

bool writeBmp24(const std::string& path, const RgbImage& image, std::string* error) {
    const std::vector<uint8_t> file = encodeBmp24(image.width, image.height, [&image](int32_t y, uint8_t* bgr) {
        for (int x = 0; x < image.width; ++x, bgr += 3) {
            const uint32_t p = image.at(x, y);
            bgr[0] = static_cast<uint8_t>(p);
            bgr[1] = static_cast<uint8_t>(p >> 8);
            bgr[2] = static_cast<uint8_t>(p >> 16);
        }
    });
    // The writer never replaces a file; the generator's own output from an
    // earlier build is meant to be replaced, so it goes first.
    std::error_code removeError;
    std::filesystem::remove(path, removeError);
    int writeErrno = 0;
    switch (writeNewFile(path, file, &writeErrno)) {
        case NewFileResult::WRITTEN:
            return true;
        case NewFileResult::EXISTS:
            *error = "cannot replace " + path + (removeError ? ": " + removeError.message() : "");
            return false;
        case NewFileResult::FAILED:
            break;
    }
    *error = "cannot write " + path + ": " + std::strerror(writeErrno);
    return false;
}

void copyKeyedOnto(RgbImage& target, const RgbImage& source, int x, int y) {
    for (int sy = 0; sy < source.height; ++sy)
        for (int sx = 0; sx < source.width; ++sx) {
            int tx = x + sx, ty = y + sy;
            uint32_t p = source.at(sx, sy);
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height || rgbTo565(p) == KEY_565) continue;
            target.at(tx, ty) = p;
        }
}

}  // namespace imagegen
