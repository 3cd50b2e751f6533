#include "tools/synth/filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/synth/sample_buffer.h"

namespace synth {

LowPass::LowPass(double hz) : coefficient_(0.0f) {
    setCutoff(hz);
}

void LowPass::setCutoff(double hz) {
    const double nyquist = kSampleRate / 2.0;
    hz = std::clamp(hz, 1.0, nyquist * 0.99);
    coefficient_ = static_cast<float>(1.0 - std::exp(-2.0 * std::numbers::pi * hz / kSampleRate));
}

float LowPass::process(float in) {
    state_ += coefficient_ * (in - state_);
    return state_;
}

HighPass::HighPass(double hz) : low_(hz) {}

float HighPass::process(float in) {
    return in - low_.process(in);
}

double Envelope::levelAt(double t, double hold) const {
    if (t < 0.0) return 0.0;
    auto heldLevel = [this](double u) {
        if (u < attack) return attack > 0.0 ? u / attack : 1.0;
        const double since = u - attack;
        if (decay <= 0.0) return sustain;
        return sustain + (1.0 - sustain) * std::exp(-since / decay);
    };
    if (t < hold) return heldLevel(t);
    if (release <= 0.0 || t >= hold + release) return 0.0;
    return heldLevel(hold) * (1.0 - (t - hold) / release);
}

}  // namespace synth
