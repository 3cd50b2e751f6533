#include "tools/imagegen/brass.h"

#include <cmath>

namespace imagegen {

Rgba brassAt(float t, bool bright) {
    static const Gradient normal{
        {0.0f, colour(0xF6DD9A)}, {0.3f, colour(0xD9AE5C)}, {0.65f, colour(0xB07A30)}, {1.0f, colour(0x7E5220)}};
    static const Gradient lit{
        {0.0f, colour(0xFFFBE0)}, {0.3f, colour(0xFFE08C)}, {0.65f, colour(0xF4B44C)}, {1.0f, colour(0xC0802A)}};
    return (bright ? lit : normal).at(t);
}

void paintBrassPlate(Layer& layer, const RoundRect& plate, bool bright) {
    const float height = plate.y1 - plate.y0;
    const float middle = (plate.y0 + plate.y1) * 0.5f;
    const RoundRect body = plate.inset(1.2f);
    // The rim: dark on a resting plate, warm amber on a lit one.
    layer.fill(
        plate.box(), [&](float x, float y) { return plate.contains(x, y); },
        [&](float, float) { return colour(bright ? 0xA86A1C : 0x3A2208); });
    layer.fill(
        body.box(), [&](float x, float y) { return body.contains(x, y); },
        [&](float x, float y) {
            float depth = -body.distance(x, y);
            Rgba c = brassAt((y - plate.y0) / height, bright);
            // Brushed metal: fine streaks along the plate.
            c = shade(c, 0.96f + 0.08f * fractalNoise(x / 28.0f, y / 0.9f, 7, 2));
            if (depth < 2.6f) {
                float edge = 1.0f - depth / 2.6f;
                c = shade(c, y < middle ? 1.0f + 0.35f * edge : 1.0f - 0.35f * edge);
            }
            // An engraved line inside the bevel: a dark cut with a light lip.
            if (std::fabs(depth - 4.2f) < 0.55f) c = shade(c, 0.72f);
            if (std::fabs(depth - 5.1f) < 0.45f) c = shade(c, 1.12f);
            return c;
        });
}

void paintWarmGlow(Layer& layer, const RoundRect& plate, float reach, float strength) {
    Box b = plate.box();
    layer.fill(
        Box{b.x0 - reach, b.y0 - reach, b.x1 + reach, b.y1 + reach},
        [&](float x, float y) { return plate.distance(x, y) < reach; },
        [&](float x, float y) {
            float d = std::max(0.0f, plate.distance(x, y));
            float f = 1.0f - d / reach;
            return colour(0xFFD27A, strength * std::pow(f, 1.1f));
        });
}

void paintEngraved(Layer& layer, const TextMask& text, float x, float y, bool bright) {
    paintText(layer, text, x, y + 1.0f, [&](float, float) { return colour(0xFFF2C8, bright ? 0.75f : 0.55f); });
    paintText(layer, text, x, y,
              [&](float, float py) { return mix(colour(0x2A1604), colour(0x4A2A0A), (py - y) / 30.0f); });
}

}  // namespace imagegen
