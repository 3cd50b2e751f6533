// The help panel: the rules in a few lines, a drawing of one jump, the keys.
#include <cmath>
#include <sstream>

#include "tools/imagegen/art.h"
#include "tools/imagegen/brass.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

constexpr int SCALE = 4;
constexpr int WIDTH = 620, HEIGHT = 290;
constexpr const char* SERIF = "DejaVuSerif-Bold.ttf";
constexpr const char* SANS = "DejaVuSans.ttf";
constexpr const char* SANS_BOLD = "DejaVuSans-Bold.ttf";
constexpr float BODY_SIZE = 15.0f;
constexpr float LINE_HEIGHT = 21.0f;

const char* const RULES[] = {
    "Click a piece that can jump, then the empty hole four cells away from it "
    "along a row, a column or a diagonal. The piece leaps over the piece two "
    "cells away, which is removed.",
    "Leave fewer than two pieces and you win. When no piece can jump, the game is lost.",
};

// Splits `paragraph` into lines no wider than `width` pixels.
std::vector<std::string> wrap(TextRenderer& text, const std::string& paragraph, float width) {
    std::vector<std::string> lines;
    std::istringstream words(paragraph);
    std::string word, line;
    while (words >> word) {
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && text.width(SANS, BODY_SIZE, SCALE, longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

const Rgba INK = colour(0xE8DEC4);

void paintPanel(Layer& layer) {
    const RoundRect frame{1, 1, WIDTH - 1.0f, HEIGHT - 1.0f, 18};
    const RoundRect inner = frame.inset(4.0f);
    layer.fill(
        frame.box(), [&](float x, float y) { return frame.contains(x, y); },
        [&](float x, float y) {
            if (frame.distance(x, y) > -1.0f) return colour(0x2A1606);
            if (inner.contains(x, y)) return colour(0x0B1530, 0.88f);
            return brassAt((y - frame.y0) / (frame.y1 - frame.y0), false);
        });
    // A faint light from the top of the glass.
    layer.fill(
        inner.box(), [&](float x, float y) { return inner.contains(x, y); },
        [&](float, float y) { return colour(0x6A88C8, 0.10f * (1.0f - y / HEIGHT)); });
}

void paintTitle(TextRenderer& text, Layer& layer) {
    TextMask title = text.render(SERIF, 26.0f, SCALE, "How to play");
    auto [x, y] = centredAt(title, WIDTH / 2.0f, 30.0f);
    paintText(layer, title, x, y,
              [&](float, float py) { return mix(colour(0xFFE9A6), colour(0xD49A3A), (py - 18.0f) / 24.0f); });
    // A brass rule under the title, fading at both ends.
    layer.fill(
        Box{40, 51, WIDTH - 40.0f, 53}, [](float, float) { return true; },
        [](float x, float) {
            float fromMiddle = std::fabs(x - WIDTH / 2.0f) / (WIDTH / 2.0f - 40.0f);
            return fade(brassAt(0.3f, false), 0.9f * (1.0f - fromMiddle * fromMiddle));
        });
}

void paintRules(TextRenderer& text, Layer& layer) {
    float y = 62.0f;
    for (const char* paragraph : RULES) {
        for (const std::string& line : wrap(text, paragraph, 350.0f)) {
            paintText(layer, text.render(SANS, BODY_SIZE, SCALE, line), 28.0f, y, [](float, float) { return INK; });
            y += LINE_HEIGHT;
        }
        y += LINE_HEIGHT * 0.45f;
    }
}

// A mini hole at (cx, cy), holding a piece if `piece`, faded by `alpha`.
void paintMiniCell(Layer& layer, float cx, float cy, bool piece, float alpha) {
    const Circle socket{cx, cy, 11.0f};
    layer.fill(
        socket.box(), [&](float x, float y) { return socket.contains(x, y); },
        [&](float x, float y) {
            float facing = ((x - cx) + (y - cy)) / 15.0f;
            return colour(socket.distance(x, y) > -1.6f ? (facing > 0 ? 0x7A4C2A : 0x2A160A) : 0x120A06, alpha);
        });
    if (!piece) return;
    const Circle glass{cx, cy - 1.0f, 9.5f};
    static const Gradient amber{
        {0.0f, colour(0xFFF1B0)}, {0.5f, colour(0xFFBE40)}, {0.85f, colour(0xE98A16)}, {1.0f, colour(0xA04A08)}};
    layer.fill(
        glass.box(), [&](float x, float y) { return glass.contains(x, y); },
        [&](float x, float y) {
            Rgba c = amber.at(std::hypot(x - cx - 1.0f, y - cy) / 10.5f);
            if (std::hypot(x - (cx - 3), y - (cy - 5)) < 2.2f) c = mix(c, colour(0xFFFFFF), 0.8f);
            return fade(c, alpha);
        });
}

// Five cells in a row: the piece, any cell, the piece it jumps, any cell,
// the empty landing hole; an arc shows the leap.
void paintDiagram(TextRenderer& text, Layer& layer) {
    const float y = 128.0f, x0 = 418.0f, step = 42.0f;
    const RoundRect tray{x0 - 20, y - 20, x0 + 4 * step + 20, y + 20, 10};
    layer.fill(
        tray.box(), [&](float x, float yy) { return tray.contains(x, yy); },
        [&](float x, float yy) { return shade(colour(0x5A3319), 0.9f + 0.1f * fractalNoise(x / 20, yy / 2, 3, 2)); });
    paintMiniCell(layer, x0, y, true, 1.0f);
    paintMiniCell(layer, x0 + step, y, false, 1.0f);
    paintMiniCell(layer, x0 + 2 * step, y, true, 1.0f);
    paintMiniCell(layer, x0 + 3 * step, y, false, 1.0f);
    paintMiniCell(layer, x0 + 4 * step, y, false, 1.0f);
    // The landing hole is ringed in cyan.
    const Circle ring{x0 + 4 * step, y, 13.5f};
    layer.fill(
        ring.box(), [&](float x, float yy) { return std::fabs(ring.distance(x, yy)) < 1.1f; },
        [](float, float) { return colour(0x7FE0FF); });
    // A red cross on the piece that is removed.
    const float cx = x0 + 2 * step, cy = y - 1.5f;
    layer.fill(
        Box{cx - 8, cy - 8, cx + 8, cy + 8},
        [&](float x, float yy) { return std::fabs(std::fabs(x - cx) - std::fabs(yy - cy)) < 1.3f; },
        [](float, float) { return colour(0xD02818, 0.9f); });
    // The leap: an arc from the first cell to the landing hole, with a head.
    const float ax = x0, bx = x0 + 4 * step, top = y - 58.0f, base = y - 16.0f;
    auto arcY = [&](float x) {
        float t = (x - ax) / (bx - ax);
        return base - (base - top) * 4.0f * t * (1.0f - t);
    };
    layer.fill(
        Box{ax, top - 3, bx, base + 3}, [&](float x, float yy) { return std::fabs(yy - arcY(x)) < 1.4f; },
        [](float, float) { return colour(0x7FE0FF); });
    Polygon head{{{bx + 1, base + 4}, {bx - 9, base - 5}, {bx + 3, base - 9}}};
    layer.fill(
        head.box(), [&](float x, float yy) { return head.contains(x, yy); },
        [](float, float) { return colour(0x7FE0FF); });
    TextMask note = text.render(SANS, 13.0f, SCALE, "over the 2nd cell, onto the 4th");
    auto [nx, ny] = centredAt(note, x0 + 2 * step, y + 36.0f);
    paintText(layer, note, nx, ny, [](float, float) { return colour(0xB8C8E0); });
}

// A brass key cap with `key` on it, then `meaning`; returns the x after it.
float paintKey(TextRenderer& text, Layer& layer, float x, float y, const char* key, const char* meaning) {
    TextMask cap = text.render(SANS_BOLD, 14.0f, SCALE, key);
    Box ink = cap.inkBox();
    float capWidth = std::max(34.0f, ink.x1 - ink.x0 + 18.0f);
    paintBrassPlate(layer, RoundRect{x, y - 14, x + capWidth, y + 14, 6}, false);
    auto [kx, ky] = centredAt(cap, x + capWidth / 2, y);
    paintEngraved(layer, cap, std::round(kx), std::round(ky), false);
    TextMask words = text.render(SANS, BODY_SIZE, SCALE, meaning);
    float wy = centredAt(words, 0, y).second;
    paintText(layer, words, x + capWidth + 10, wy, [](float, float) { return INK; });
    return x + capWidth + 10 + words.inkBox().x1;
}

}  // namespace

RgbImage makeHelp(TextRenderer& text, const RgbImage& background) {
    Layer layer(WIDTH, HEIGHT, SCALE);
    paintPanel(layer);
    paintTitle(text, layer);
    paintRules(text, layer);
    paintDiagram(text, layer);
    float x = paintKey(text, layer, 60.0f, 250.0f, "Esc", "back to the menu");
    paintKey(text, layer, std::max(x + 60.0f, 340.0f), 250.0f, "F9", "screenshot");
    Beneath beneath{&background, screen::HELP_X, screen::HELP_Y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

}  // namespace imagegen
