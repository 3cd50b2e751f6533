// The night sky behind every screen and the walnut board of the play screen.
#include <cmath>

#include "tools/imagegen/art.h"
#include "tools/imagegen/brass.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

// Places the buttons, texts and panels cover; stars there would be hidden
// or, worse, peek out beside a button's rounded corner.
bool reservedForUi(float x, float y) {
    struct Area {
        float x0, y0, x1, y1;
    };
    static const Area areas[] = {
        {170, 54, 630, 154},   // logo
        {84, 144, 716, 446},   // help panel, options and best times
        {296, 154, 520, 552},  // the main menu's column of buttons and Back
        {90, 538, 236, 590},   // clock plaque
    };
    for (const Area& a : areas)
        if (x >= a.x0 && x < a.x1 && y >= a.y0 && y < a.y1) return true;
    return false;
}

void paintSky(Layer& layer) {
    const Rgba top = colour(0x050A1C), bottom = colour(0x0B1433);
    const Rgba glow = colour(0x2A4C8E), haze = colour(0x3A2E6A);
    layer.fillAll([&](float x, float y) {
        Rgba c = mix(top, bottom, y / screen::HEIGHT);
        // A soft glow behind the middle of the screen, a little above centre.
        float d = std::hypot((x - 400.0f) / 470.0f, (y - 250.0f) / 380.0f);
        float g = std::pow(std::max(0.0f, 1.0f - d), 2.0f);
        c = mix(c, glow, 0.75f * g);
        // Faint violet haze drifting through the sky.
        float n = fractalNoise(x / 190.0f, y / 150.0f, 11, 4);
        c = mix(c, haze, 0.22f * smoothstep(0.45f, 0.8f, n) * (0.4f + 0.6f * g));
        return shade(c, 0.94f + 0.12f * fractalNoise(x / 60.0f, y / 60.0f, 29, 2));
    });
}

void paintStars(Layer& layer) {
    for (uint32_t i = 0; i < 400; ++i) {
        float x = 4.0f + hash01(i * 3 + 1) * 792.0f;
        float y = 4.0f + hash01(i * 3 + 2) * 592.0f;
        if (reservedForUi(x, y)) continue;
        float brightness = 0.25f + 0.55f * std::pow(hash01(i * 3 + 3), 2.5f);
        float radius = 0.7f + 0.9f * brightness;
        bool twinkle = brightness > 0.62f;
        Rgba tint = mix(colour(0xFFFFFF), colour(0xB8D0FF), hash01(i + 977));
        float reach = twinkle ? 5.0f : radius + 1.0f;
        layer.fill(
            Box{x - reach, y - reach, x + reach, y + reach}, [](float, float) { return true; },
            [&](float px, float py) {
                float dx = px - x, dy = py - y;
                float core = std::exp(-(dx * dx + dy * dy) / (radius * radius * 0.5f));
                float rays = 0;
                if (twinkle) {
                    rays = std::exp(-dy * dy * 6.0f) * std::max(0.0f, 1.0f - std::fabs(dx) / reach) +
                           std::exp(-dx * dx * 6.0f) * std::max(0.0f, 1.0f - std::fabs(dy) / reach);
                    rays *= 0.35f;
                }
                return fade(tint, std::min(1.0f, brightness * (core + rays)));
            });
    }
}

// Walnut with its grain running along rows, or along columns for the side
// rails: dark latewood lines wandering through lighter wood, fine fibres,
// and broad changes of tone.
Rgba walnut(float x, float y, bool alongColumns, float light, uint32_t seed) {
    float u = alongColumns ? y : x, v = alongColumns ? x : y;
    float warp = fractalNoise(u / 170.0f, v / 60.0f, seed, 3) * 16.0f;
    float ring = 0.5f + 0.5f * std::sin((v + warp) * 0.42f);
    ring = ring * ring * ring;
    float fibre = fractalNoise(u / 36.0f, v / 1.3f, seed + 9, 2) - 0.5f;
    float broad = fractalNoise(u / 220.0f, v / 70.0f, seed + 3, 2);
    Rgba dark = colour(0x2A1409), mid = colour(0x5E361A), pale = colour(0x80502A);
    Rgba c = mix(mid, dark, 0.32f * ring + 0.45f * fibre + 0.12f);
    c = mix(c, pale, 0.45f * smoothstep(0.35f, 0.8f, broad) * (1.0f - ring));
    return shade(c, light);
}

}  // namespace

RgbImage makeBackground() {
    Layer layer(screen::WIDTH, screen::HEIGHT, 1);
    paintSky(layer);
    paintStars(layer);
    return flattenOpaque(layer.resolve());
}

RgbImage makeBoard(const RgbImage& background) {
    Layer layer(screen::WIDTH, screen::HEIGHT, 3);
    const RoundRect frame{147, 47, 653, 553, 16};
    const RoundRect grid{175, 75, 625, 525, 0};
    const float cx = 400, cy = 300;

    // The frame: four mitred walnut rails, the grain along each rail, with a
    // rounded outer bevel lit from the top left.
    layer.fill(
        frame.box(), [&](float x, float y) { return frame.contains(x, y) && !grid.contains(x, y); },
        [&](float x, float y) {
            bool sideRail = std::fabs(x - cx) > std::fabs(y - cy);
            float d = -frame.distance(x, y);  // depth inside the outer edge
            float light = 1.0f;
            if (d < 5.0f) {
                float e = 1.0f - d / 5.0f;
                float facing = ((cx - x) + (cy - y)) / (std::fabs(x - cx) + std::fabs(y - cy) + 1.0f);
                light += 0.7f * e * facing;
            }
            // The rails end in shadow at the inlay, a step down to the field.
            light *= 0.65f + 0.35f * smoothstep(0.0f, 7.0f, grid.distance(x, y));
            return walnut(x, y, sideRail, light * 0.72f, sideRail ? 40 : 70);
        });
    // A thin dark line where the rails meet at the corners.
    layer.fill(
        frame.box(),
        [&](float x, float y) {
            return frame.contains(x, y) && !grid.contains(x, y) &&
                   std::fabs(std::fabs(x - cx) - std::fabs(y - cy)) < 0.6f;
        },
        [](float, float) { return colour(0x1A0C05, 0.7f); });

    // The playing field: a lighter walnut panel, darkening towards its edge.
    layer.fill(
        grid.box(), [](float, float) { return true; },
        [&](float x, float y) {
            float edge = std::min(std::min(x - 175.0f, 625.0f - x), std::min(y - 75.0f, 525.0f - y));
            return walnut(x, y, false, 1.2f - 0.25f * (1.0f - smoothstep(0.0f, 24.0f, edge)), 90);
        });

    // The brass inlay around the field, with a dark groove on either side.
    const RoundRect inlayOuter{169, 69, 631, 531, 2}, inlayInner{172, 72, 628, 528, 0};
    layer.fill(
        inlayOuter.box(), [&](float x, float y) { return inlayOuter.contains(x, y) && !grid.contains(x, y); },
        [&](float x, float y) {
            if (!inlayInner.contains(x, y)) return colour(0x1C0E06);
            if (x < 173 || y < 73 || x > 627 || y > 527) return colour(0x1C0E06);
            return brassAt((y - 72.0f) / 456.0f * 0.4f + (x - 172.0f) / 456.0f * 0.4f + 0.1f, false);
        });

    // The clock's plaque below the frame's left corner: brass rim, dark window.
    const float cx0 = screen::CLOCK_X, cy0 = screen::CLOCK_Y;  // the clock is 123x27 from here
    const RoundRect plaque{cx0 - 10, cy0 - 12, cx0 + 134, cy0 + 40, 7},
        window{cx0 - 5, cy0 - 7, cx0 + 129, cy0 + 35, 4};
    paintBrassPlate(layer, plaque, false);
    layer.fill(
        window.box(), [&](float x, float y) { return window.contains(x, y); },
        [&](float x, float y) {
            float depth = -window.distance(x, y);
            return shade(colour(0x0A1420),
                         0.6f + 0.4f * smoothstep(0.0f, 4.0f, depth) + 0.1f * (y - window.y0) / 42.0f);
        });

    Beneath beneath{&background, 0, 0, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

}  // namespace imagegen
