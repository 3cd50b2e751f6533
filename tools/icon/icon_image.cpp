#include "tools/icon/icon_image.h"

#include <algorithm>
#include <cmath>

namespace icon {

RgbaImage::RgbaImage(int w, int h) {
    if (w <= 0 || h <= 0) return;
    width = w;
    height = h;
    pixels.assign(static_cast<size_t>(w) * h * 4, 0);
}

void clearKeyColour(RgbaImage& image) {
    const uint8_t r = (KEY_COLOUR >> 16) & 0xFF, g = (KEY_COLOUR >> 8) & 0xFF, b = KEY_COLOUR & 0xFF;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        if (image.pixels[i] == r && image.pixels[i + 1] == g && image.pixels[i + 2] == b) image.pixels[i + 3] = 0;
    }
}

RgbaImage paintOver(const RgbaImage& bottom, const RgbaImage& top, int x, int y) {
    const int left = std::min(0, x), topEdge = std::min(0, y);
    const int right = std::max(bottom.width, x + top.width), lower = std::max(bottom.height, y + top.height);
    RgbaImage out(right - left, lower - topEdge);
    if (out.empty()) return out;
    for (int row = 0; row < bottom.height; ++row) {
        std::copy_n(&bottom.pixels[bottom.at(0, row)], static_cast<size_t>(bottom.width) * 4,
                    &out.pixels[out.at(-left, row - topEdge)]);
    }
    for (int row = 0; row < top.height; ++row) {
        for (int col = 0; col < top.width; ++col) {
            const uint8_t* src = &top.pixels[top.at(col, row)];
            uint8_t* dst = &out.pixels[out.at(x + col - left, y + row - topEdge)];
            const float sa = src[3] / 255.0f, da = dst[3] / 255.0f;
            const float a = sa + da * (1.0f - sa);
            if (a <= 0.0f) continue;
            for (int c = 0; c < 3; ++c) {
                float v = (src[c] * sa + dst[c] * da * (1.0f - sa)) / a;
                dst[c] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
            }
            dst[3] = static_cast<uint8_t>(std::lround(a * 255.0f));
        }
    }
    return out;
}

Bounds visibleBounds(const RgbaImage& image) {
    int x0 = image.width, y0 = image.height, x1 = -1, y1 = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.pixels[image.at(x, y) + 3] == 0) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

namespace {

// Tent-filter weights of the source samples for one output sample at source
// coordinate `centre`; samples outside 0..count-1 are transparent and still
// count in the total, so the icon fades out at the art's edges.
struct Taps {
    int first = 0;
    std::vector<float> weights;  // already divided by their sum
};

Taps tapsAt(float centre, float radius) {
    Taps taps;
    taps.first = static_cast<int>(std::floor(centre - radius - 0.5f));
    const int last = static_cast<int>(std::ceil(centre + radius - 0.5f));
    float total = 0;
    for (int j = taps.first; j <= last; ++j) {
        float w = std::max(0.0f, 1.0f - std::fabs(j + 0.5f - centre) / radius);
        taps.weights.push_back(w);
        total += w;
    }
    if (total > 0) {
        for (float& w : taps.weights) w /= total;
    }
    return taps;
}

// Premultiplied RGBA floats (alpha 0..255) of `size` x `size` icon pixels:
// icon pixel (col, row) samples the source at origin + (col + 0.5, row + 0.5)
// * step, with a tent filter of `radius` source pixels. Across first, then down.
struct Sampling {
    float originX, originY, step;
    int size;
};

std::vector<float> resample(const std::vector<float>& source, int width, int height, const Sampling& at, float radius) {
    const size_t size = static_cast<size_t>(at.size);
    std::vector<float> across(size * height * 4, 0.0f);
    for (size_t col = 0; col < size; ++col) {
        const Taps taps = tapsAt(at.originX + (col + 0.5f) * at.step, radius);
        for (size_t k = 0; k < taps.weights.size(); ++k) {
            const int x = taps.first + static_cast<int>(k);
            if (x < 0 || x >= width) continue;
            for (int y = 0; y < height; ++y) {
                const float* src = &source[(static_cast<size_t>(y) * width + x) * 4];
                float* dst = &across[(y * size + col) * 4];
                for (int c = 0; c < 4; ++c) dst[c] += src[c] * taps.weights[k];
            }
        }
    }
    std::vector<float> out(size * size * 4, 0.0f);
    for (size_t row = 0; row < size; ++row) {
        const Taps taps = tapsAt(at.originY + (row + 0.5f) * at.step, radius);
        for (size_t k = 0; k < taps.weights.size(); ++k) {
            const int y = taps.first + static_cast<int>(k);
            if (y < 0 || y >= height) continue;
            for (size_t col = 0; col < size; ++col) {
                const float* src = &across[(y * size + col) * 4];
                float* dst = &out[(row * size + col) * 4];
                for (int c = 0; c < 4; ++c) dst[c] += src[c] * taps.weights[k];
            }
        }
    }
    return out;
}

// The key gives the art hard, stair-stepped edges. Enlarged, the outline is
// taken from a wider blur of the alpha, cut where it crosses one half and
// faded over one icon pixel, so it comes out smooth instead of as blurred
// stairs. A tent of `radius` has a slope of 1 / radius per source pixel at
// an edge, `step` source pixels per icon pixel.
constexpr float OUTLINE_RADIUS = 2.0f;

float sharpenEdge(float alpha, float step) {
    return std::clamp((alpha / 255.0f - 0.5f) * OUTLINE_RADIUS / step + 0.5f, 0.0f, 1.0f) * 255.0f;
}

}  // namespace

RgbaImage squareIcon(const RgbaImage& art, int size) {
    const Bounds b = visibleBounds(art);
    if (b.w == 0 || size <= 0) return {};
    const float side = std::max(b.w, b.h) * (1.0f + 2.0f / 16.0f);
    const Sampling at{b.x + b.w / 2.0f - side / 2.0f, b.y + b.h / 2.0f - side / 2.0f, side / size, size};
    const bool enlarging = at.step < 1.0f;

    // Premultiplied, so transparent (key) pixels add no colour.
    std::vector<float> source(art.pixels.size());
    for (size_t i = 0; i < source.size(); i += 4) {
        const float a = art.pixels[i + 3] / 255.0f;
        for (int c = 0; c < 3; ++c) source[i + c] = art.pixels[i + c] * a;
        source[i + 3] = a * 255.0f;
    }
    // Interpolates when enlarging, averages the covered pixels when shrinking.
    const std::vector<float> colour = resample(source, art.width, art.height, at, std::max(1.0f, at.step));
    const std::vector<float> outline =
        enlarging ? resample(source, art.width, art.height, at, OUTLINE_RADIUS) : std::vector<float>();

    RgbaImage out(size, size);
    for (size_t i = 0; i < out.pixels.size(); i += 4) {
        const float alpha = enlarging ? sharpenEdge(outline[i + 3], at.step) : std::min(colour[i + 3], 255.0f);
        if (alpha < 0.5f) continue;
        // Just outside the art the narrow filter has no colour; the wide one has.
        const float* from = colour[i + 3] >= 0.5f ? &colour[i] : &outline[i];
        for (int c = 0; c < 3; ++c) {
            out.pixels[i + c] = static_cast<uint8_t>(std::lround(std::clamp(from[c] * 255.0f / from[3], 0.0f, 255.0f)));
        }
        out.pixels[i + 3] = static_cast<uint8_t>(std::lround(alpha));
    }
    return out;
}

}  // namespace icon
