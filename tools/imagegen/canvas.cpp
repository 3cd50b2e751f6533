#include "tools/imagegen/canvas.h"

namespace imagegen {

Rgba colour(uint32_t rgb, float alpha) {
    float r = static_cast<float>((rgb >> 16) & 0xFF) / 255.0f;
    float g = static_cast<float>((rgb >> 8) & 0xFF) / 255.0f;
    float b = static_cast<float>(rgb & 0xFF) / 255.0f;
    return {r * alpha, g * alpha, b * alpha, alpha};
}

Rgba mix(const Rgba& from, const Rgba& to, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    float u = 1.0f - t;
    return {from.r * u + to.r * t, from.g * u + to.g * t, from.b * u + to.b * t, from.a * u + to.a * t};
}

Rgba fade(const Rgba& c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor, c.a * factor};
}

Rgba shade(const Rgba& c, float factor) {
    return {std::min(c.r * factor, c.a), std::min(c.g * factor, c.a), std::min(c.b * factor, c.a), c.a};
}

Mask::Ink Mask::ink() const {
    Ink box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (at(x, y) > 0.0f) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1);
                box.y1 = std::max(box.y1, y + 1);
            }
    if (box.x1 == 0) return Ink{};
    return box;
}

Layer::Layer(int width, int height, int scale)
    : width_(width), height_(height), scale_(scale), samples_(static_cast<size_t>(width) * height * scale * scale) {}

Picture Layer::resolve() const {
    Picture picture;
    picture.width = width_;
    picture.height = height_;
    picture.pixels.resize(static_cast<size_t>(width_) * height_);
    const float weight = 1.0f / static_cast<float>(scale_ * scale_);
    const size_t rowSamples = static_cast<size_t>(width_) * scale_;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            Rgba sum;
            for (int sy = 0; sy < scale_; ++sy) {
                const Rgba* s = &samples_[(static_cast<size_t>(y) * scale_ + sy) * rowSamples + x * scale_];
                for (int sx = 0; sx < scale_; ++sx) {
                    sum.r += s[sx].r;
                    sum.g += s[sx].g;
                    sum.b += s[sx].b;
                    sum.a += s[sx].a;
                }
            }
            picture.at(x, y) = {sum.r * weight, sum.g * weight, sum.b * weight, sum.a * weight};
        }
    return picture;
}

}  // namespace imagegen
