#include "tools/synth/music.h"

#include <cmath>

#include "tools/synth/filters.h"
#include "tools/synth/oscillators.h"
#include "tools/synth/score.h"

namespace synth {

namespace {

constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;

std::size_t frameOfBeat(double beat) {
    return static_cast<std::size_t>(std::llround(beat * kFramesPerBeat));
}

// Two saws a few cents apart, one leaning left and one right, through two
// low-passes whose corner opens a little with the swell of the note.
void renderPad(StereoBuffer& out, const Note& note) {
    const Envelope env{0.9, 0.0, 1.0, 1.4};
    const double hold = note.beats * kSecondsPerBeat;
    const std::size_t start = frameOfBeat(note.startBeat);
    const std::size_t length = framesFor(env.length(hold));
    Oscillator a(midiToHz(note.pitch - 0.08), 0.0);
    Oscillator b(midiToHz(note.pitch + 0.08), 0.37);
    LowPass la1(900.0), la2(900.0), lb1(900.0), lb2(900.0);
    const float gain = 0.11f * note.velocity;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double level = env.levelAt(t, hold);
        if ((i & 63) == 0) {
            const double cutoff = 700.0 + 900.0 * level;
            la1.setCutoff(cutoff);
            la2.setCutoff(cutoff);
            lb1.setCutoff(cutoff);
            lb2.setCutoff(cutoff);
        }
        const float sa = la2.process(la1.process(a.saw()));
        const float sb = lb2.process(lb1.process(b.saw()));
        a.advance();
        b.advance();
        const float g = gain * static_cast<float>(level);
        out.add(start + i, g * (0.75f * sa + 0.45f * sb), g * (0.45f * sa + 0.75f * sb), true);
    }
}

// A plucked triangle with a bright square edge that dies faster than the body.
// Like a plucked string it rings on past its written length (the echo and the
// next notes cover it), fading to nothing within 0.7 s.
void renderPluck(StereoBuffer& dry, const Note& note) {
    const Envelope body{0.004, 0.22, 0.0, 0.08};
    const double hold = 0.6;
    const std::size_t start = frameOfBeat(note.startBeat);
    const std::size_t length = framesFor(body.length(hold));
    Oscillator osc(midiToHz(note.pitch));
    LowPass tone(3200.0);
    const float gain = 0.16f * note.velocity;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const float edge = static_cast<float>(std::exp(-t / 0.05));
        const float raw = osc.triangle() + 0.25f * edge * tone.process(osc.square());
        osc.advance();
        const float s = gain * static_cast<float>(body.levelAt(t, hold)) * raw;
        dry.add(start + i, 0.9f * s, s, true);
    }
}

// A sine with a little second harmonic: round, but still heard on small
// speakers.
void renderBass(StereoBuffer& out, const Note& note) {
    // Legato: each note's release overlaps the next note's attack, so the
    // bass never drops out between notes.
    const Envelope env{0.015, 0.3, 0.85, 0.04};
    const double hold = note.beats * kSecondsPerBeat - 0.02;
    const std::size_t start = frameOfBeat(note.startBeat);
    const std::size_t length = framesFor(env.length(hold));
    Oscillator fundamental(midiToHz(note.pitch));
    Oscillator second(midiToHz(note.pitch) * 2.0);
    const float gain = 0.17f * note.velocity;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const float raw = fundamental.sine() + 0.18f * second.sine();
        fundamental.advance();
        second.advance();
        const float s = gain * static_cast<float>(env.levelAt(t, hold)) * raw;
        out.add(start + i, s, s, true);
    }
}

// High-passed noise with a quick decay, a little left of centre.
void renderHiHat(StereoBuffer& out, const Note& note, Rng& rng) {
    const Envelope env{0.001, 0.018, 0.0, 0.02};
    const double hold = 0.06;
    const std::size_t start = frameOfBeat(note.startBeat);
    const std::size_t length = framesFor(env.length(hold));
    HighPass thin(6500.0);
    const float gain = 0.4f * note.velocity * (0.85f + 0.15f * rng.unit());
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const float s = gain * static_cast<float>(env.levelAt(t, hold)) * thin.process(rng.bipolar());
        out.add(start + i, s, 0.7f * s, true);
    }
}

// A dotted-eighth echo bouncing between the sides. The taps read the dry
// arpeggio around the loop, so the echoes of the last bar land on the first.
void addEcho(StereoBuffer& out, const StereoBuffer& dry) {
    struct Tap {
        double beats;
        float left;
        float right;
    };
    const Tap taps[] = {{0.75, 0.10f, 0.30f}, {1.5, 0.16f, 0.05f}, {2.25, 0.03f, 0.08f}};
    const std::size_t n = dry.frames();
    for (std::size_t i = 0; i < n; ++i) {
        float l = dry.left[i];
        float r = dry.right[i];
        for (const Tap& tap : taps) {
            const std::size_t delay = frameOfBeat(tap.beats) % n;
            const std::size_t from = (i + n - delay) % n;
            const float mono = 0.5f * (dry.left[from] + dry.right[from]);
            l += tap.left * mono;
            r += tap.right * mono;
        }
        out.left[i] += l;
        out.right[i] += r;
    }
}

}  // namespace

StereoBuffer renderMusic() {
    StereoBuffer mix(kMusicFrames);
    StereoBuffer arpeggio(kMusicFrames);
    Rng hatNoise(0x51A7E5EEDull);
    for (const Note& note : musicScore()) {
        switch (note.voice) {
            case Voice::Pad:
                renderPad(mix, note);
                break;
            case Voice::Arpeggio:
                renderPluck(arpeggio, note);
                break;
            case Voice::Bass:
                renderBass(mix, note);
                break;
            case Voice::HiHat:
                renderHiHat(mix, note, hatNoise);
                break;
        }
    }
    addEcho(mix, arpeggio);
    normalise(mix, kMusicPeak);
    return mix;
}

}  // namespace synth
