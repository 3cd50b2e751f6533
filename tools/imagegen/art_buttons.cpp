// The menu buttons (brass plates, normal and hovered) and the options lamps.
#include <algorithm>
#include <cmath>

#include "tools/imagegen/art.h"
#include "tools/imagegen/brass.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

constexpr int SCALE = 4;
constexpr const char* LABEL_FONT = "DejaVuSerif-Bold.ttf";
constexpr float LABEL_SIZE = 24.0f;
// Room between the frame's edge and the plate, for the hovered glow.
constexpr float GLOW_MARGIN = 3.0f;

RgbImage makeButtonFrame(TextRenderer& text, const ButtonSpec& spec, bool hovered, const RgbImage& background) {
    const float w = static_cast<float>(spec.frameWidth), h = static_cast<float>(spec.frameHeight);
    Layer layer(spec.frameWidth, spec.frameHeight, SCALE);
    const RoundRect plate{GLOW_MARGIN, GLOW_MARGIN, w - GLOW_MARGIN, h - GLOW_MARGIN, 11.0f};
    if (hovered) paintWarmGlow(layer, plate, GLOW_MARGIN, 1.0f);
    paintBrassPlate(layer, plate, hovered);

    // The label fills the plate's width at most, never the bevel and the
    // engraved line beside it.
    float room = plate.x1 - plate.x0 - 22.0f;
    float size = LABEL_SIZE;
    while (size > 12.0f && text.width(LABEL_FONT, size, SCALE, spec.label) > room) size -= 1.0f;
    TextMask label = text.render(LABEL_FONT, size, SCALE, spec.label);
    auto [x, y] = centredAt(label, w / 2, h / 2 + 0.5f);
    paintEngraved(layer, label, std::round(x), std::round(y), hovered);

    Beneath beneath{&background, spec.x, spec.y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

RgbImage makeLampFrame(bool lit, const RgbImage& background) {
    Layer layer(30, 31, SCALE);
    const float cx = 15, cy = 15.5f;
    const Circle bezel{cx, cy, 13.5f}, glass{cx, cy, 9.5f};
    // A brass bezel, lit on its upper rim.
    layer.fill(
        bezel.box(), [&](float x, float y) { return bezel.contains(x, y); },
        [&](float x, float y) {
            float r = std::hypot(x - cx, y - cy);
            if (r > 12.7f) return colour(0x3A2208);
            Rgba c = brassAt(0.15f + 0.7f * (y - (cy - 13)) / 26.0f, false);
            if (r < 10.6f) c = shade(c, 0.55f);  // the seat of the glass
            return c;
        });
    static const Gradient on{
        {0.0f, colour(0xE8FFD8)}, {0.3f, colour(0x7CF27A)}, {0.75f, colour(0x22B83C)}, {1.0f, colour(0x0E6A20)}};
    static const Gradient off{
        {0.0f, colour(0x9A9E9C)}, {0.4f, colour(0x6C706E)}, {0.8f, colour(0x484B4A)}, {1.0f, colour(0x2C2E2E)}};
    layer.fill(
        glass.box(), [&](float x, float y) { return glass.contains(x, y); },
        [&](float x, float y) {
            float r = std::hypot(x - (cx + 1), y - (cy + 1)) / 10.5f;
            return (lit ? on : off).at(r);
        });
    const Ellipse highlight{cx - 3.0f, cy - 4.0f, 3.6f, 2.4f};
    layer.fill(
        highlight.box(), [&](float x, float y) { return highlight.contains(x, y); },
        [&](float x, float y) {
            return colour(0xFFFFFF, (lit ? 0.85f : 0.45f) * smoothstep(1.0f, 0.3f, highlight.radius(x, y)));
        });
    // Both frames are shown beside the Music and the Sound button; the sky
    // there is the same smooth glow, so the Music lamp's place stands for both.
    Beneath beneath{&background, screen::MUSIC_LAMP_X, screen::MUSIC_LAMP_Y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

}  // namespace

const std::vector<ButtonSpec>& buttonSpecs() {
    static const std::vector<ButtonSpec> specs = {
        {"Tex/Menu/Start.Tex", "Start", 152, 45, 330, 160},
        {"Tex/Menu/Options.Tex", "Options", 185, 46, 315, 330},
        {"Tex/Menu/HighScores.Tex", "High Scores", 204, 45, 305, 245},
        {"Tex/Menu/Help.Tex", "Help", 105, 45, 350, 415},
        {"Tex/Menu/Exit.Tex", "Exit", 170, 46, 320, 500},
        {"Tex/Menu/Music.Tex", "Music", 130, 46, 320, 150},
        {"Tex/Menu/Sound.Tex", "Sound", 121, 46, 330, 250},
        {"Tex/Menu/Back.Tex", "Back", 100, 46, 350, 450},
    };
    return specs;
}

RgbImage makeButton(TextRenderer& text, const ButtonSpec& spec, const RgbImage& background) {
    return joinStrip({makeButtonFrame(text, spec, false, background), makeButtonFrame(text, spec, true, background)});
}

RgbImage makeLampStrip(const RgbImage& background) {
    return joinStrip({makeLampFrame(true, background), makeLampFrame(false, background)});
}

}  // namespace imagegen
