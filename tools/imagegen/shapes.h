// Shapes, gradients and noise for the image generator.
//
// A shape answers two questions: is a point inside (for Layer::fill), and
// which box holds it (so fill only visits what it must). Signed distances
// (negative inside) drive bevels and glows. Noise is a hash of integer
// lattice points, so every run paints the same pixels.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "tools/imagegen/canvas.h"

namespace imagegen {

struct RoundRect {
    float x0, y0, x1, y1;  // outer edges in pixels
    float radius;          // corner radius

    float distance(float x, float y) const;  // signed: negative inside
    bool contains(float x, float y) const { return distance(x, y) < 0.0f; }
    Box box() const { return {x0, y0, x1, y1}; }
    RoundRect inset(float by) const { return {x0 + by, y0 + by, x1 - by, y1 - by, radius > by ? radius - by : 0.0f}; }
};

struct Circle {
    float cx, cy, r;

    float distance(float x, float y) const;
    bool contains(float x, float y) const { return distance(x, y) < 0.0f; }
    Box box() const { return {cx - r, cy - r, cx + r, cy + r}; }
};

struct Ellipse {
    float cx, cy, rx, ry;

    bool contains(float x, float y) const;
    // 0 at the centre, 1 on the rim: the elliptic radius.
    float radius(float x, float y) const;
    Box box() const { return {cx - rx, cy - ry, cx + rx, cy + ry}; }
};

struct Point2 {
    float x, y;
};

// A simple closed polygon (even-odd rule).
struct Polygon {
    std::vector<Point2> points;

    bool contains(float x, float y) const;
    Box box() const;
    // Distance to the nearest edge, negative inside.
    float distance(float x, float y) const;
};

// A colour ramp: stops at positions 0..1, in increasing order.
class Gradient {
public:
    Gradient(std::initializer_list<std::pair<float, Rgba>> stops);
    Rgba at(float t) const;  // clamped to the first and last stop

private:
    std::vector<std::pair<float, Rgba>> stops_;
};

// 0 below `edge0`, 1 above `edge1`, a smooth S between.
float smoothstep(float edge0, float edge1, float x);

// Deterministic hash of an integer to 0..1.
float hash01(uint32_t n);
uint32_t hashInt(uint32_t n);

// Smooth value noise in 0..1, one feature per unit of x and y.
float valueNoise(float x, float y, uint32_t seed);

// Noise summed over `octaves` octaves, each twice as fine and half as strong;
// result in 0..1.
float fractalNoise(float x, float y, uint32_t seed, int octaves);

}  // namespace imagegen
