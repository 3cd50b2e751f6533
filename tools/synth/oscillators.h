// Sound sources: a seeded noise generator and band-limited waveforms.
// Everything is deterministic: the same calls give the same samples on every
// run, so the generated files are identical byte for byte.
#pragma once

#include <cstdint>

namespace synth {

// A small fixed-seed generator (xorshift64*). The synthesiser's only source
// of randomness; never seeded from the clock or the system.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint32_t next();
    // Uniform in [-1, 1).
    float bipolar();
    // Uniform in [0, 1).
    float unit();

private:
    std::uint64_t state_;
};

// The frequency in Hz of a MIDI note number (69 = A4 = 440 Hz); fractional
// numbers give detuned pitches (0.07 = 7 cents).
double midiToHz(double note);

// A phase accumulator that runs in cycles (0..1). Call `advance` once per
// sample after reading the waveform; `setFrequency` may change the pitch at
// any time without a jump in phase.
class Oscillator {
public:
    Oscillator(double hz, double startPhase = 0.0);
    void setFrequency(double hz);
    void advance();

    float sine() const;
    // Sawtooth from +1 down to -1 with its jump smoothed (polyBLEP), so high
    // notes do not alias into a hiss.
    float saw() const;
    // Square (+1 for the first half cycle), smoothed the same way.
    float square() const;
    // Triangle; its corners are soft enough by nature.
    float triangle() const;

private:
    double phase_;
    double step_;
};

}  // namespace synth
