// The hole (a socket bored into the walnut) and the piece (an amber glass
// lamp resting in it).
#include <cmath>

#include "tools/imagegen/art.h"
#include "tools/imagegen/brass.h"
#include "tools/imagegen/shapes.h"

namespace imagegen {

namespace {

// Edges are mixed with a middle cell of the board. Other cells differ only
// in the run of the grain, which a half-covered edge pixel cannot show.
constexpr int SAMPLE_CELL_X = screen::GRID_LEFT + 4 * screen::CELL;
constexpr int SAMPLE_CELL_Y = screen::GRID_TOP + 4 * screen::CELL;

constexpr float HOLE_SIZE = 50;
constexpr float SOCKET_RADIUS = 16.5f;
constexpr float LIP_RADIUS = 19.5f;

// The piece image: 58x56, drawn 7 left of and 15 above its hole, so the
// hole's centre (25, 25) falls on (32, 40) here.
constexpr int PIECE_WIDTH = 58, PIECE_HEIGHT = 56;
constexpr float BULB_X = 32, BULB_Y = 33, BULB_RADIUS = 15;

}  // namespace

RgbImage makeHole(const RgbImage& board) {
    Layer layer(static_cast<int>(HOLE_SIZE), static_cast<int>(HOLE_SIZE), 4);
    const float c = HOLE_SIZE / 2;
    const Circle lip{c, c, LIP_RADIUS}, socket{c, c, SOCKET_RADIUS};
    // The bored lip: in shade on the side towards the light (top left), lit
    // on the far wall, with a dark cut line at its outer edge.
    layer.fill(
        lip.box(), [&](float x, float y) { return lip.contains(x, y); },
        [&](float x, float y) {
            float r = std::hypot(x - c, y - c);
            float facing = ((x - c) + (y - c)) / (r * 1.4142f + 1e-3f);
            Rgba wall = mix(colour(0x24120A), colour(0x8C5C34), 0.5f + 0.5f * facing);
            return r > LIP_RADIUS - 0.9f ? mix(wall, colour(0x140A04), 0.6f) : wall;
        });
    // The socket: dark, deepest under the near rim where the inner shadow falls.
    layer.fill(
        socket.box(), [&](float x, float y) { return socket.contains(x, y); },
        [&](float x, float y) {
            float dx = (x - c) / SOCKET_RADIUS, dy = (y - c) / SOCKET_RADIUS;
            float shadow = smoothstep(-0.2f, 0.9f, std::hypot(dx + 0.35f, dy + 0.35f));
            float floorLight = std::max(0.0f, (dx + dy) * 0.5f);
            Rgba base = mix(colour(0x1B100A), colour(0x3A2416), 0.6f * floorLight);
            return mix(base, colour(0x070302), 0.85f * shadow * (1.0f - 0.6f * floorLight));
        });
    // A brass seat in the bottom of the socket. A resting piece's shadow
    // hides it; a selected piece, drawn 5 pixels higher, uncovers it, so
    // the lifted piece shows a gleam of brass beneath it.
    const float seatInner = 12.5f, seatOuter = 15.5f;
    layer.fill(
        Box{c - seatOuter, c, c + seatOuter, c + seatOuter},
        [&](float x, float y) {
            float r = std::hypot(x - c, y - c);
            return r > seatInner && r < seatOuter && (y - c) > std::fabs(x - c);
        },
        [&](float x, float y) {
            float across = std::fabs(x - c) / (y - c);  // 0 straight down, 1 at the seat's ends
            float r = std::hypot(x - c, y - c);
            Rgba metal = brassAt(0.35f + 0.4f * std::fabs(r - 14.0f) / 1.5f, false);
            return fade(metal, 1.0f - across * across);
        });
    Beneath beneath{&board, SAMPLE_CELL_X, SAMPLE_CELL_Y, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.02f);
}

RgbImage makePiece(const RgbImage& board, const RgbImage& hole) {
    Layer layer(PIECE_WIDTH, PIECE_HEIGHT, 4);
    const Circle bulb{BULB_X, BULB_Y, BULB_RADIUS};

    // The shadow at the foot fills the socket below the glass (and covers
    // the brass seat, which shows only when the piece is lifted).
    const Ellipse foot{32, 50, 17, 7};
    layer.fill(
        foot.box(), [&](float x, float y) { return foot.contains(x, y); },
        [&](float x, float y) {
            float r = foot.radius(x, y);
            return colour(0x000000, 0.92f * (1.0f - r * r * r * r));
        });

    // A warm halo round the upper half of the glass.
    const float haloReach = 5.0f;
    layer.fill(
        Box{BULB_X - 19, BULB_Y - 19, BULB_X + 19, BULB_Y + 8},
        [&](float x, float y) {
            float d = bulb.distance(x, y);
            return d >= 0 && d < haloReach;
        },
        [&](float x, float y) {
            float f = 1.0f - bulb.distance(x, y) / haloReach;
            return colour(0xFFB040, 0.5f * f * f * smoothstep(BULB_Y + 6, BULB_Y - 2, y));
        });

    // The glass: lit from inside, its hottest point a little low and right,
    // darker amber towards the rim, with a white highlight of the light above.
    static const Gradient glass{
        {0.0f, colour(0xFFF1B0)}, {0.35f, colour(0xFFC247)}, {0.75f, colour(0xE98A16)}, {1.0f, colour(0x8E3F06)}};
    layer.fill(
        bulb.box(), [&](float x, float y) { return bulb.contains(x, y); },
        [&](float x, float y) {
            float r = std::hypot(x - (BULB_X + 2), y - (BULB_Y + 3)) / (BULB_RADIUS + 3);
            Rgba c = glass.at(r);
            // The far rim catches the glow through the glass.
            float rim = std::hypot(x - BULB_X, y - BULB_Y) / BULB_RADIUS;
            float back = std::max(0.0f, ((x - BULB_X) + (y - BULB_Y)) / (BULB_RADIUS * 1.4142f));
            return mix(c, colour(0xFFD070), 0.5f * smoothstep(0.8f, 1.0f, rim) * back);
        });
    const Ellipse highlight{BULB_X - 4.5f, BULB_Y - 5.5f, 4.6f, 3.0f};
    layer.fill(
        highlight.box(), [&](float x, float y) { return highlight.contains(x, y); },
        [&](float x, float y) { return colour(0xFFFFFF, 0.9f * smoothstep(1.0f, 0.35f, highlight.radius(x, y))); });
    const Circle glint{BULB_X + 5.5f, BULB_Y + 6.0f, 1.6f};
    layer.fill(
        glint.box(), [&](float x, float y) { return glint.contains(x, y); },
        [](float, float) { return colour(0xFFFBE8, 0.6f); });

    RgbImage cell = board;
    copyKeyedOnto(cell, hole, SAMPLE_CELL_X, SAMPLE_CELL_Y);
    Beneath beneath{&cell, SAMPLE_CELL_X + screen::PIECE_DX, SAMPLE_CELL_Y + screen::PIECE_DY, 0x000000};
    return flattenKeyed(layer.resolve(), beneath, 0.05f);
}

}  // namespace imagegen
