#include "tools/synth/oscillators.h"

#include <cmath>
#include <numbers>

#include "tools/synth/sample_buffer.h"

namespace synth {

Rng::Rng(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}

std::uint32_t Rng::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::unit() {
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

float Rng::bipolar() {
    return unit() * 2.0f - 1.0f;
}

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

Oscillator::Oscillator(double hz, double startPhase) : phase_(startPhase - std::floor(startPhase)), step_(0.0) {
    setFrequency(hz);
}

void Oscillator::setFrequency(double hz) {
    step_ = hz / kSampleRate;
}

void Oscillator::advance() {
    phase_ += step_;
    // A negative frequency runs the phase backwards; keep it in 0..1 either way.
    if (phase_ >= 1.0 || phase_ < 0.0) phase_ -= std::floor(phase_);
}

namespace {

// The polyBLEP correction around a jump at phase 0, for a phase step `dt`.
double blep(double t, double dt) {
    if (dt <= 0.0) return 0.0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

float Oscillator::sine() const {
    return static_cast<float>(std::sin(2.0 * std::numbers::pi * phase_));
}

float Oscillator::saw() const {
    return static_cast<float>(1.0 - 2.0 * phase_ + blep(phase_, step_));
}

float Oscillator::square() const {
    double value = phase_ < 0.5 ? 1.0 : -1.0;
    value += blep(phase_, step_);
    double shifted = phase_ + 0.5;
    if (shifted >= 1.0) shifted -= 1.0;
    value -= blep(shifted, step_);
    return static_cast<float>(value);
}

float Oscillator::triangle() const {
    const double t = phase_ < 0.5 ? phase_ : 1.0 - phase_;
    return static_cast<float>(4.0 * t - 1.0);
}

}  // namespace synth
