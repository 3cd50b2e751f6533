#include "tools/imagegen/shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace imagegen {

float RoundRect::distance(float x, float y) const {
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Circle::distance(float x, float y) const {
    return std::hypot(x - cx, y - cy) - r;
}

float Ellipse::radius(float x, float y) const {
    return std::hypot((x - cx) / rx, (y - cy) / ry);
}

bool Ellipse::contains(float x, float y) const {
    return radius(x, y) < 1.0f;
}

bool Polygon::contains(float x, float y) const {
    bool in = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Point2& a = points[i];
        const Point2& b = points[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

Box Polygon::box() const {
    Box b{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
          std::numeric_limits<float>::lowest()};
    for (const Point2& p : points) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

float Polygon::distance(float x, float y) const {
    float best = std::numeric_limits<float>::max();
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Point2& a = points[j];
        const Point2& b = points[i];
        float ex = b.x - a.x, ey = b.y - a.y;
        float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? std::clamp(((x - a.x) * ex + (y - a.y) * ey) / len2, 0.0f, 1.0f) : 0.0f;
        best = std::min(best, std::hypot(x - (a.x + t * ex), y - (a.y + t * ey)));
    }
    return contains(x, y) ? -best : best;
}

Gradient::Gradient(std::initializer_list<std::pair<float, Rgba>> stops) : stops_(stops) {}

Rgba Gradient::at(float t) const {
    if (t <= stops_.front().first) return stops_.front().second;
    for (size_t i = 1; i < stops_.size(); ++i)
        if (t <= stops_[i].first) {
            float span = stops_[i].first - stops_[i - 1].first;
            return mix(stops_[i - 1].second, stops_[i].second, span > 0 ? (t - stops_[i - 1].first) / span : 1.0f);
        }
    return stops_.back().second;
}

float smoothstep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

uint32_t hashInt(uint32_t n) {
    n ^= n >> 16;
    n *= 0x7FEB352Du;
    n ^= n >> 15;
    n *= 0x846CA68Bu;
    n ^= n >> 16;
    return n;
}

float hash01(uint32_t n) {
    return static_cast<float>(hashInt(n) >> 8) / static_cast<float>(1u << 24);
}

namespace {
float lattice(int x, int y, uint32_t seed) {
    return hash01(static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^ seed * 83492791u);
}
}  // namespace

float valueNoise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = smoothstep(0.0f, 1.0f, x - fx), ty = smoothstep(0.0f, 1.0f, y - fy);
    float top = lattice(ix, iy, seed) * (1 - tx) + lattice(ix + 1, iy, seed) * tx;
    float bottom = lattice(ix, iy + 1, seed) * (1 - tx) + lattice(ix + 1, iy + 1, seed) * tx;
    return top * (1 - ty) + bottom * ty;
}

float fractalNoise(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, weight = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + static_cast<uint32_t>(i)) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
    }
    return sum / total;
}

}  // namespace imagegen
