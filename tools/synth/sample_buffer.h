// A block of stereo sound as floating-point samples, full scale +-1.0, at the
// one sample rate the game's files use.
#pragma once

#include <cstddef>
#include <vector>

namespace synth {

constexpr int kSampleRate = 44100;

// Converts seconds to a whole number of sample frames (rounded to nearest).
std::size_t framesFor(double seconds);

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    StereoBuffer() = default;
    explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t frames() const { return left.size(); }

    // Adds one frame at `index`. With `wrap` set, an index past the end folds
    // back to the start, so a note ringing over the end of a loop sounds at
    // its beginning; without it, frames past the end are dropped.
    void add(std::size_t index, float l, float r, bool wrap);
};

// The largest absolute sample of either channel; 0 for an empty buffer.
float peakOf(const StereoBuffer& buffer);

// Scales the buffer so its peak is `peak` (full scale 1.0). A silent buffer
// stays silent.
void normalise(StereoBuffer& buffer, float peak);

// Converts decibels relative to full scale into a linear level (-1 -> 0.891).
float dbToLinear(double db);

}  // namespace synth
