#include "tools/synth/sample_buffer.h"

#include <algorithm>
#include <cmath>

namespace synth {

std::size_t framesFor(double seconds) {
    if (!(seconds > 0.0)) return 0;
    return static_cast<std::size_t>(std::llround(seconds * kSampleRate));
}

void StereoBuffer::add(std::size_t index, float l, float r, bool wrap) {
    const std::size_t n = frames();
    if (n == 0) return;
    if (index >= n) {
        if (!wrap) return;
        index %= n;
    }
    left[index] += l;
    right[index] += r;
}

float peakOf(const StereoBuffer& buffer) {
    float peak = 0.0f;
    for (float s : buffer.left) peak = std::max(peak, std::fabs(s));
    for (float s : buffer.right) peak = std::max(peak, std::fabs(s));
    return peak;
}

void normalise(StereoBuffer& buffer, float peak) {
    const float current = peakOf(buffer);
    if (current <= 0.0f) return;
    const float gain = peak / current;
    for (float& s : buffer.left) s *= gain;
    for (float& s : buffer.right) s *= gain;
}

float dbToLinear(double db) {
    return static_cast<float>(std::pow(10.0, db / 20.0));
}

}  // namespace synth
