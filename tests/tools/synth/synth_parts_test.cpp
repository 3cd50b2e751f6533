// The synthesiser's building blocks at their edges: the noise generator,
// oscillators, filters, envelopes and the wrap-around buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/synth/filters.h"
#include "tools/synth/oscillators.h"
#include "tools/synth/sample_buffer.h"

using synth::kSampleRate;

TEST(SynthRng, IsSeededRepeatableAndInRange) {
    synth::Rng a(7), b(7), c(8), zero(0);
    bool differs = false;
    double sum = 0.0;
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t va = a.next();
        ASSERT_EQ(va, b.next()) << "same seed, same sequence (draw " << i << ")";
        differs |= va != c.next();
        const float u = a.unit();
        const float s = a.bipolar();
        b.unit();
        b.bipolar();
        ASSERT_TRUE(u >= 0.0f && u < 1.0f) << u;
        ASSERT_TRUE(s >= -1.0f && s < 1.0f) << s;
        sum += s;
        ASSERT_NE(zero.next() | zero.next(), 0u) << "seed 0 must not lock the generator at zero";
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000, 0.0, 0.01) << "noise is centred";
}

TEST(SynthOscillator, WaveformsStayBoundedAtExtremeFrequencies) {
    for (double hz : {0.0, 20.0, 10000.0, 30000.0, -440.0}) {
        synth::Oscillator osc(hz, 0.9);
        for (int i = 0; i < 5000; ++i) {
            for (float v : {osc.saw(), osc.square(), osc.triangle(), osc.sine()})
                ASSERT_LE(std::fabs(v), 1.3f) << hz << " Hz, sample " << i;
            osc.advance();
        }
    }
}

TEST(SynthFilter, StaysStableAtAnyCutoff) {
    for (double hz : {-5.0, 0.0, 900.0, 1e9}) {
        synth::LowPass low(hz);
        float out = 0.0f;
        for (int i = 0; i < kSampleRate; ++i) out = low.process(i % 2 ? 1.0f : -1.0f);
        EXPECT_LE(std::fabs(out), 1.0f) << "cutoff " << hz;
    }
}

TEST(SynthEnvelope, RampsWithoutJumps) {
    const synth::Envelope env{0.1, 0.2, 0.5, 0.3};
    EXPECT_EQ(env.levelAt(-0.001, 1.0), 0.0);
    EXPECT_EQ(env.levelAt(0.0, 1.0), 0.0) << "a note starts from silence";
    EXPECT_NEAR(env.levelAt(0.05, 1.0), 0.5, 1e-9);
    EXPECT_NEAR(env.levelAt(0.1, 1.0), 1.0, 1e-9);
    EXPECT_NEAR(env.levelAt(100.0, 200.0), 0.5, 1e-9) << "settles on the sustain level";
    EXPECT_EQ(env.levelAt(1.3, 1.0), 0.0) << "silent once the release is over";
    EXPECT_DOUBLE_EQ(env.length(1.0), 1.3);

    // Released during the attack: falls from where it got to, never jumps up.
    const double atRelease = env.levelAt(0.04, 0.04);
    EXPECT_NEAR(atRelease, 0.4, 1e-9);
    EXPECT_LE(env.levelAt(0.05, 0.04), atRelease);

    // No attack, decay or release: straight to the sustain level and back to
    // silence, without dividing by a zero time.
    const synth::Envelope abrupt{0.0, 0.0, 0.7, 0.0};
    EXPECT_EQ(abrupt.levelAt(0.0, 1.0), 0.7);
    EXPECT_EQ(abrupt.levelAt(0.5, 1.0), 0.7);
    EXPECT_EQ(abrupt.levelAt(1.0, 1.0), 0.0);
}

TEST(SynthBuffer, WrapsNotesAroundTheLoopOrDropsThem) {
    synth::StereoBuffer buffer(4);
    buffer.add(6, 1.0f, 2.0f, true);
    buffer.add(5, 9.0f, 9.0f, false);
    EXPECT_EQ(buffer.left, (std::vector<float>{0, 0, 1, 0}));
    EXPECT_EQ(buffer.right, (std::vector<float>{0, 0, 2, 0}));

    synth::StereoBuffer empty;
    empty.add(3, 1.0f, 1.0f, true);  // nothing to wrap onto: ignored
    EXPECT_EQ(empty.frames(), 0u);
    EXPECT_EQ(synth::peakOf(empty), 0.0f);
}

TEST(SynthBuffer, NormaliseAndDurationsSurviveDegenerateInput) {
    synth::StereoBuffer silent(10);
    synth::normalise(silent, 0.9f);
    for (float s : silent.left) ASSERT_EQ(s, 0.0f) << "no NaN from a zero peak";

    EXPECT_EQ(synth::framesFor(1.0), 44100u);
    EXPECT_EQ(synth::framesFor(-2.0), 0u);
    EXPECT_EQ(synth::framesFor(std::numeric_limits<double>::quiet_NaN()), 0u);
}
