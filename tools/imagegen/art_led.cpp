// The clock's LED digits and separator, and the animated pointer.
//
// These are drawn over many different places (the sky, the clock plaque,
// buttons, the board), so their edges are not mixed with one backdrop:
// each shape sits in a dark outline of its own, and the outline's edge is
// what meets the key.
#include <cmath>

#include "tools/imagegen/art.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

constexpr int SCALE = 4;
constexpr int GLYPH_WIDTH = 15, GLYPH_HEIGHT = 27;
constexpr uint32_t LED_BACKING = 0x060C18;

// One LED bar from (x0, y0) to (x1, y1), horizontal or vertical, with
// pointed ends.
Polygon bar(float x0, float y0, float x1, float y1) {
    const float h = 1.6f;
    if (y0 == y1)
        return Polygon{{{x0, y0}, {x0 + h, y0 - h}, {x1 - h, y0 - h}, {x1, y0}, {x1 - h, y0 + h}, {x0 + h, y0 + h}}};
    return Polygon{{{x0, y0}, {x0 + h, y0 + h}, {x0 + h, y1 - h}, {x0, y1}, {x0 - h, y1 - h}, {x0 - h, y0 + h}}};
}

// The seven bars of a glyph cell: top, top right, bottom right, bottom,
// bottom left, top left, middle.
std::vector<Polygon> segments(float ox) {
    const float l = ox + 2.9f, r = ox + 12.1f, t = 2.9f, m = 13.5f, b = 24.1f, g = 0.5f;
    return {bar(l + g, t, r - g, t), bar(r, t + g, r, m - g), bar(r, m + g, r, b - g), bar(l + g, b, r - g, b),
            bar(l, m + g, l, b - g), bar(l, t + g, l, m - g), bar(l + g, m, r - g, m)};
}

// Which bars each digit lights, bit 0 = top ... bit 6 = middle.
constexpr uint8_t DIGIT_BARS[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// Paints the lit bars of an LED glyph: glowing cyan-blue, each in a thin
// dark outline so it reads on the sky as well as on the clock's plaque.
void paintLed(Layer& layer, const std::vector<Polygon>& bars, uint8_t lit, Box box) {
    auto nearestLit = [&](float x, float y) {
        float best = 1e9f;
        for (size_t i = 0; i < bars.size(); ++i)
            if (lit >> i & 1) best = std::min(best, bars[i].distance(x, y));
        return best;
    };
    layer.fill(
        box, [&](float x, float y) { return nearestLit(x, y) < 1.1f; },
        [&](float x, float y) {
            float depth = -nearestLit(x, y);
            if (depth < 0.0f) return colour(LED_BACKING);
            return mix(colour(0x3A9CFF), colour(0xE0FAFF), smoothstep(0.1f, 1.1f, depth));
        });
}

}  // namespace

RgbImage makeDigits() {
    Layer layer(10 * GLYPH_WIDTH, GLYPH_HEIGHT, SCALE);
    for (int d = 0; d < 10; ++d) {
        float ox = static_cast<float>(d * GLYPH_WIDTH);
        paintLed(layer, segments(ox), DIGIT_BARS[d], Box{ox, 0, ox + GLYPH_WIDTH, GLYPH_HEIGHT});
    }
    return flattenKeyed(layer.resolve(), Beneath{nullptr, 0, 0, LED_BACKING}, 0.5f);
}

RgbImage makeSeparator() {
    // The separator lands 30 pixels after the first of two digits drawn 18
    // apart: its first three columns lie on the second digit and stay clear.
    Layer layer(GLYPH_WIDTH, GLYPH_HEIGHT, SCALE);
    paintLed(layer, {bar(5.4f, 13.5f, 12.2f, 13.5f)}, 1, Box{3, 0, GLYPH_WIDTH, GLYPH_HEIGHT});
    return flattenKeyed(layer.resolve(), Beneath{nullptr, 0, 0, LED_BACKING}, 0.5f);
}

}  // namespace imagegen
