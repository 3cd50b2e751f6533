// Drawing canvases of the image generator.
//
// Every image is painted on a Layer: a grid of premultiplied RGBA samples at
// `scale` samples per pixel in each direction. Shapes decide coverage per
// sample, so once the layer is averaged down to a Picture (one value per
// pixel) their edges come out smooth. All coordinates given to a Layer are
// image pixels (floats); the layer maps them to samples itself.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace imagegen {

// A colour with coverage, premultiplied: r, g, b are already multiplied by a.
// Channels run 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with the given opacity, premultiplied.
Rgba colour(uint32_t rgb, float alpha = 1.0f);

// Linear mix of two premultiplied colours: t = 0 gives `from`, 1 gives `to`.
Rgba mix(const Rgba& from, const Rgba& to, float t);

// The same colour with its opacity scaled by `factor` (0..1).
Rgba fade(const Rgba& c, float factor);

// Brightness scaled by `factor` (values above 1 brighten, clamped at white).
Rgba shade(const Rgba& c, float factor);

// Porter-Duff "over": `top` painted over `bottom`.
inline Rgba over(const Rgba& top, const Rgba& bottom) {
    float k = 1.0f - top.a;
    return {top.r + bottom.r * k, top.g + bottom.g * k, top.b + bottom.b * k, top.a + bottom.a * k};
}

// An axis-aligned box in image pixels: x0, y0 inclusive, x1, y1 exclusive.
struct Box {
    float x0, y0, x1, y1;
};

// An image at one value per pixel, the result of averaging a Layer down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // row by row

    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Coverage values (0..1) on a grid of samples, for example rendered text. The
// grid has the sample resolution of the layer it is painted on.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> alpha;

    float at(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
    // The smallest box of samples that holds every non-zero value, in
    // samples; all zero for an empty mask.
    struct Ink {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    Ink ink() const;
};

class Layer {
public:
    // A transparent layer of width x height pixels, `scale` samples per pixel
    // each way (1 for smooth fills that need no edge treatment).
    Layer(int width, int height, int scale);

    int width() const { return width_; }
    int height() const { return height_; }
    int scale() const { return scale_; }

    // Paints paint(x, y) over every sample inside `box` whose centre (x, y),
    // in image pixels, satisfies inside(x, y). The box is clipped to the layer.
    template <class Inside, class Paint>
    void fill(const Box& box, Inside inside, Paint paint) {
        const float step = 1.0f / static_cast<float>(scale_);
        int sx0 = std::max(0, static_cast<int>(std::floor(box.x0 * scale_)));
        int sy0 = std::max(0, static_cast<int>(std::floor(box.y0 * scale_)));
        int sx1 = std::min(width_ * scale_, static_cast<int>(std::ceil(box.x1 * scale_)));
        int sy1 = std::min(height_ * scale_, static_cast<int>(std::ceil(box.y1 * scale_)));
        for (int sy = sy0; sy < sy1; ++sy) {
            float y = (static_cast<float>(sy) + 0.5f) * step;
            Rgba* row = &samples_[static_cast<size_t>(sy) * width_ * scale_];
            for (int sx = sx0; sx < sx1; ++sx) {
                float x = (static_cast<float>(sx) + 0.5f) * step;
                if (inside(x, y)) row[sx] = over(paint(x, y), row[sx]);
            }
        }
    }

    // Paints the whole layer.
    template <class Paint>
    void fillAll(Paint paint) {
        fill(
            Box{0, 0, static_cast<float>(width_), static_cast<float>(height_)}, [](float, float) { return true; },
            paint);
    }

    // Paints paint(x, y), weighted by the mask, with the mask's sample (0, 0)
    // at image pixel (x, y). The mask must have this layer's sample size.
    template <class Paint>
    void paintMask(const Mask& mask, float x, float y, Paint paint) {
        const float step = 1.0f / static_cast<float>(scale_);
        int ox = static_cast<int>(std::lround(x * scale_));
        int oy = static_cast<int>(std::lround(y * scale_));
        for (int my = 0; my < mask.height; ++my) {
            int sy = oy + my;
            if (sy < 0 || sy >= height_ * scale_) continue;
            for (int mx = 0; mx < mask.width; ++mx) {
                int sx = ox + mx;
                float a = mask.at(mx, my);
                if (a <= 0.0f || sx < 0 || sx >= width_ * scale_) continue;
                Rgba& s = samples_[static_cast<size_t>(sy) * width_ * scale_ + sx];
                s = over(fade(paint((sx + 0.5f) * step, (sy + 0.5f) * step), a), s);
            }
        }
    }

    // Averages each pixel's samples.
    Picture resolve() const;

private:
    int width_;
    int height_;
    int scale_;
    std::vector<Rgba> samples_;
};

}  // namespace imagegen
