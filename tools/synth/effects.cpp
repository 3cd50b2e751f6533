#include "tools/synth/effects.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/synth/filters.h"
#include "tools/synth/oscillators.h"

namespace synth {

namespace {

void addMono(StereoBuffer& out, std::size_t i, float s) {
    out.add(i, s, s, false);
}

// A fade over the last `seconds` so a file never ends on a step.
void fadeTail(StereoBuffer& out, double seconds) {
    const std::size_t n = out.frames();
    const std::size_t fade = std::min(n, framesFor(seconds));
    for (std::size_t k = 0; k < fade; ++k) {
        const float g = static_cast<float>(k) / static_cast<float>(fade);
        out.left[n - 1 - k] *= g;
        out.right[n - 1 - k] *= g;
    }
}

}  // namespace

StereoBuffer renderButton() {
    StereoBuffer out(framesFor(0.09));
    Oscillator blip(1800.0);
    Oscillator body(620.0);
    Rng rng(0xB077011ull);
    LowPass soften(4000.0);
    const Envelope env{0.0015, 0.012, 0.0, 0.0};
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        blip.setFrequency(1200.0 + 600.0 * std::exp(-t / 0.01));
        const float level = static_cast<float>(env.levelAt(t, 1.0));
        const float noise = soften.process(rng.bipolar()) * static_cast<float>(std::exp(-t / 0.003));
        const float bodyLevel = static_cast<float>(env.attack > t ? t / env.attack : std::exp(-t / 0.025));
        addMono(out, i, level * (0.7f * blip.sine() + 0.3f * noise) + 0.35f * bodyLevel * body.sine());
        blip.advance();
        body.advance();
    }
    fadeTail(out, 0.02);
    normalise(out, 0.70f);
    return out;
}

StereoBuffer renderExplode() {
    StereoBuffer out(framesFor(0.45));
    Oscillator pop(700.0);
    Rng rng(0xE8D1ull);
    LowPass darken1(5000.0), darken2(5000.0);
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // The pop's pitch falls from 700 Hz towards 80 Hz in about a tenth of
        // a second; its level dies a little slower.
        pop.setFrequency(80.0 + 620.0 * std::exp(-t / 0.045));
        const double attack = std::min(1.0, t / 0.002);
        const float popLevel = static_cast<float>(attack * std::exp(-t / 0.09));
        const float tone = 0.8f * pop.triangle() + 0.4f * pop.sine();
        pop.advance();
        if ((i & 31) == 0) {
            const double cutoff = 400.0 + 4600.0 * std::exp(-t / 0.06);
            darken1.setCutoff(cutoff);
            darken2.setCutoff(cutoff);
        }
        const float noiseLevel = static_cast<float>(attack * std::exp(-t / 0.07));
        const float noise = darken2.process(darken1.process(rng.bipolar())) * noiseLevel;
        addMono(out, i, popLevel * tone + 1.2f * noise);
    }
    fadeTail(out, 0.05);
    normalise(out, kEffectPeak);
    return out;
}

StereoBuffer renderSuccess() {
    StereoBuffer out(framesFor(2.3));
    // A4 C#5 E5 A5, each entering 0.11 s after the one before and then held,
    // so the run becomes the final chord.
    const std::array<int, 4> notes{69, 73, 76, 81};
    const double spacing = 0.11;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const double onset = spacing * static_cast<double>(k);
        const double hold = 1.55 - onset;
        const Envelope env{0.006, 0.35, 0.45, 0.6};
        Oscillator tone(midiToHz(notes[k]));
        Oscillator shimmer(midiToHz(notes[k]) * 2.003);
        LowPass mellow(2600.0);
        const std::size_t start = framesFor(onset);
        const std::size_t length = framesFor(env.length(hold));
        for (std::size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            // A slow vibrato that grows in as the note is held.
            const double vibrato = 1.0 + 0.003 * std::min(1.0, t / 0.6) * std::sin(2.0 * 3.14159265358979 * 5.5 * t);
            tone.setFrequency(midiToHz(notes[k]) * vibrato);
            const float raw = 0.6f * mellow.process(tone.square()) + 0.4f * tone.triangle() +
                              0.12f * shimmer.sine() * static_cast<float>(std::exp(-t / 0.15));
            tone.advance();
            shimmer.advance();
            addMono(out, start + i, 0.25f * static_cast<float>(env.levelAt(t, hold)) * raw);
        }
    }
    fadeTail(out, 0.1);
    normalise(out, kEffectPeak);
    return out;
}

}  // namespace synth
