// Simple filters and envelopes, run sample by sample while a note is rendered.
#pragma once

namespace synth {

// A one-pole low-pass (6 dB per octave) with its corner at `hz`. Two in a row
// make the pad's gentle 12 dB slope.
class LowPass {
public:
    explicit LowPass(double hz);
    void setCutoff(double hz);
    float process(float in);

private:
    float coefficient_;
    float state_ = 0.0f;
};

// A one-pole high-pass: the input minus its low-passed self. Thins noise into
// a hi-hat's sizzle.
class HighPass {
public:
    explicit HighPass(double hz);
    float process(float in);

private:
    LowPass low_;
};

// Attack-decay-sustain-release level of a note, 0..1, as a function of the
// time since the note began. All times in seconds; `hold` is how long the key
// is held, after which the level falls to 0 over `release` from wherever it
// is. Attack and release are linear ramps (no click at either end); decay is
// exponential with time constant `decay` towards `sustain`.
struct Envelope {
    double attack = 0.005;
    double decay = 0.2;
    double sustain = 1.0;
    double release = 0.05;

    double levelAt(double t, double hold) const;
    // The time after which the note is silent for good.
    double length(double hold) const { return hold + release; }
};

}  // namespace synth
