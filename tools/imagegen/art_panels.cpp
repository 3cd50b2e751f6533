// The logo and the two end-of-game banners.
#include <cmath>

#include "tools/imagegen/art.h"
#include "tools/imagegen/brass.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

constexpr int SCALE = 4;
constexpr const char* SERIF = "DejaVuSerif-Bold.ttf";

const Gradient& goldRamp() {
    static const Gradient gold{{0.0f, colour(0xFFF8D0)},
                               {0.42f, colour(0xFBD466)},
                               {0.55f, colour(0xE0A034)},
                               {0.8f, colour(0xC0801E)},
                               {1.0f, colour(0x8A5210)}};
    return gold;
}

}  // namespace

RgbImage makeLogo(TextRenderer& text, const RgbImage& background) {
    const int width = 448, height = 88;
    Layer layer(width, height, SCALE);
    float size = 66.0f;
    while (text.width(SERIF, size, SCALE, "Quillmara") > 404.0f) size -= 1.0f;
    TextMask fill = text.render(SERIF, size, SCALE, "Quillmara");
    TextMask outline = text.render(SERIF, size, SCALE, "Quillmara", 2.5f);
    auto [x, y] = centredAt(outline, width / 2.0f, height / 2.0f - 1.0f);
    const Box ink = fill.inkBox();
    const float top = y + ink.y0, span = ink.y1 - ink.y0;

    paintText(layer, outline, x + 3.0f, y + 3.5f, [](float, float) { return colour(0x000000, 0.45f); });
    paintText(layer, outline, x, y, [](float, float) { return colour(0x241002); });
    paintText(layer, fill, x, y, [&](float, float py) { return goldRamp().at((py - top) / span); });

    Beneath beneath{&background, screen::LOGO_X, screen::LOGO_Y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

RgbImage makeBanner(TextRenderer& text, const char* caption, bool won, const RgbImage& playScreen) {
    const int width = 734, height = 96;
    Layer layer(width, height, SCALE);
    const float w = static_cast<float>(width);

    // Ribbon tails behind both ends of the plate, cut in a swallowtail.
    for (int side = 0; side < 2; ++side) {
        auto sx = [&](float x) { return side == 0 ? x : w - x; };
        Polygon tail{{{sx(2), 24}, {sx(70), 24}, {sx(70), 80}, {sx(2), 80}, {sx(22), 52}}};
        layer.fill(
            tail.box(), [&](float x, float y) { return tail.distance(x, y) < 1.2f; },
            [&](float x, float y) {
                if (!tail.contains(x, y)) return colour(0x2A1606);
                Rgba c = shade(brassAt((y - 24.0f) / 56.0f * 0.8f + 0.2f, false), 0.72f);
                return shade(c, 1.0f - 0.25f * smoothstep(-4.0f, 0.0f, tail.distance(x, y)));
            });
    }

    const RoundRect plate{40, 6, w - 40, 90, 16};
    paintBrassPlate(layer, plate, won);
    if (!won)  // a duller, tarnished plate for a lost game
        layer.fill(
            plate.inset(1.2f).box(), [&](float x, float y) { return plate.inset(1.2f).contains(x, y); },
            [](float, float) { return colour(0x2A1A10, 0.3f); });

    // Brass rivets in the plate's four corners.
    for (float rx : {58.0f, w - 58.0f})
        for (float ry : {24.0f, 72.0f}) {
            const Circle rivet{rx, ry, 3.2f};
            layer.fill(
                rivet.box(), [&](float x, float y) { return rivet.contains(x, y); },
                [&](float x, float y) {
                    float lit = ((rx - x) + (ry - y)) / 6.4f;
                    return shade(brassAt(0.4f - 0.3f * lit, won), 0.9f + 0.3f * lit);
                });
        }

    TextMask label = text.render(SERIF, 50.0f, SCALE, caption);
    auto [x, y] = centredAt(label, w / 2.0f, height / 2.0f);
    paintEngraved(layer, label, std::round(x), std::round(y), won);

    Beneath beneath{&playScreen, screen::BANNER_X, screen::BANNER_Y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.5f);
}

}  // namespace imagegen
