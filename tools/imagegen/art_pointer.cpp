// The pointer: a gold arrow with a twinkling spark at its tip.
//
// The game draws a frame with its corner on the pointer in the menus, and
// 2 left of and 10 above it in play, so the tip and its spark sit a few
// pixels in from the corner, where both readings meet. Twenty frames: the
// spark turns a quarter turn (a whole cycle for a four-rayed star) and
// swells and shrinks once, and a gleam runs down the arrow and rests.
#include <cmath>
#include <numbers>

#include "tools/imagegen/art.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

constexpr int SCALE = 4;
constexpr int FRAMES = 20, FRAME_WIDTH = 38, FRAME_HEIGHT = 27;
constexpr float TIP_X = 3.0f, TIP_Y = 5.0f;
constexpr uint32_t OUTLINE = 0x140A02;

Polygon arrow() {
    const float x = TIP_X, y = TIP_Y;
    return Polygon{{{x, y},
                    {x, y + 16.5f},
                    {x + 4.0f, y + 12.8f},
                    {x + 6.8f, y + 19.0f},
                    {x + 9.6f, y + 17.7f},
                    {x + 6.9f, y + 11.6f},
                    {x + 12.2f, y + 11.6f}}};
}

// A four-rayed star of outer radius `reach`, turned by `angle`.
Polygon spark(float reach, float angle) {
    Polygon p;
    for (int i = 0; i < 8; ++i) {
        float a = angle + static_cast<float>(i) * std::numbers::pi_v<float> / 4.0f;
        float r = i % 2 == 0 ? reach : reach * 0.28f;
        p.points.push_back({TIP_X + r * std::cos(a), TIP_Y + r * std::sin(a)});
    }
    return p;
}

RgbImage makeFrame(int frame) {
    Layer layer(FRAME_WIDTH, FRAME_HEIGHT, SCALE);
    const float phase = static_cast<float>(frame) / FRAMES;
    const Polygon body = arrow();
    const Polygon star = spark(4.4f + 1.6f * std::sin(phase * 2.0f * std::numbers::pi_v<float>),
                               phase * std::numbers::pi_v<float> / 2.0f);
    const Box all{0, 0, FRAME_WIDTH, FRAME_HEIGHT};

    layer.fill(
        all, [&](float x, float y) { return body.distance(x, y) < 1.2f || star.distance(x, y) < 1.0f; },
        [](float, float) { return colour(OUTLINE); });

    // The gleam runs along the arrow during the first two thirds of the cycle.
    const float gleam = phase * 1.5f - 0.2f;
    static const Gradient gold{{0.0f, colour(0xFFF0B0)}, {0.5f, colour(0xF2BE4A)}, {1.0f, colour(0xB7781E)}};
    layer.fill(
        body.box(), [&](float x, float y) { return body.contains(x, y); },
        [&](float x, float y) {
            float along = ((x - TIP_X) * 0.45f + (y - TIP_Y)) / 19.0f;
            Rgba c = gold.at(along);
            float across = -body.distance(x, y);
            c = shade(c, 0.85f + 0.25f * smoothstep(0.0f, 1.6f, across));
            return mix(c, colour(0xFFFFF0), 0.8f * std::exp(-std::pow((along - gleam) / 0.09f, 2.0f)));
        });

    layer.fill(
        star.box(), [&](float x, float y) { return star.contains(x, y); },
        [&](float x, float y) {
            float r = std::hypot(x - TIP_X, y - TIP_Y);
            return mix(colour(0xFFFFFF), colour(0x7FE0FF), smoothstep(0.5f, 4.5f, r));
        });
    return flattenKeyed(layer.resolve(), Beneath{nullptr, 0, 0, OUTLINE}, 0.5f);
}

}  // namespace

RgbImage makePointer() {
    std::vector<RgbImage> frames;
    for (int f = 0; f < FRAMES; ++f) frames.push_back(makeFrame(f));
    return joinStrip(frames);
}

}  // namespace imagegen
