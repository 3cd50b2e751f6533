// The shipped background music heard as music: a seamless loop, a bass that
// follows the chords, a middle section that differs, hi-hats from the second
// section on, and effects that stand out above it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tests/tools/synth/sound_analysis.h"
#include "tests/tools/synth/wav_reader.h"
#include "tools/synth/score.h"

namespace {

const std::string kRunDir = QM_RUN_DIR;
constexpr std::size_t kBar = synth::kFramesPerBar;
const char* const kPitchClassNames[12] = {"A", "A#", "B", "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#"};

const WavData& music() {
    static const WavData wav = parseWav(readBytes(kRunDir + "/Sound/BkGnd.mus"));
    return wav;
}

const std::vector<float>& musicMono() {
    static const std::vector<float> mono = monoOf(music());
    return mono;
}

std::size_t strongest(const std::array<double, 12>& profile) {
    return static_cast<std::size_t>(std::max_element(profile.begin(), profile.end()) - profile.begin());
}

std::array<double, 12> sectionProfile(int firstBar) {
    const int low = 45, high = 88;
    return pitchClassProfile(pitchEnergy(musicMono(), firstBar * kBar, (firstBar + 8) * kBar, low, high), low);
}

}  // namespace

TEST(MusicLoop, SeamHasNoClickAndNoJumpInLevel) {
    const WavData& wav = music();
    ASSERT_EQ(wav.error, "");
    ASSERT_GT(wav.frames(), 44100u);
    for (const auto* channel : {&wav.left, &wav.right}) {
        EXPECT_LT(std::fabs(channel->back() - channel->front()), 0.01f)
            << "the step from the last sample back to the first clicks";
        const std::size_t window = 2205;  // 50 ms
        const double head = toDb(rmsOf(*channel, 0, window));
        const double tail = toDb(rmsOf(*channel, channel->size() - window, channel->size()));
        EXPECT_NEAR(head, tail, 3.0) << "level of the first and the last 50 ms";
        EXPECT_GT(tail, -35.0) << "the music must not fade out to loop";
    }
}

TEST(MusicForm, BassFollowsTheChordRootsTwoBarsAtATime) {
    const char* const roots[16] = {"A", "F", "C", "G", "A", "F", "C", "G", "D", "A", "E", "A", "A", "F", "C", "G"};
    for (int chord = 0; chord < 16; ++chord) {
        const int low = 36, high = 52;
        const auto bass =
            pitchClassProfile(pitchEnergy(musicMono(), chord * 2 * kBar, (chord + 1) * 2 * kBar, low, high), low);
        EXPECT_STREQ(kPitchClassNames[strongest(bass)], roots[chord])
            << "bass of bars " << chord * 2 + 1 << "-" << chord * 2 + 2;
    }
}

TEST(MusicForm, MiddleSectionSoundsDifferentFromTheOthers) {
    const auto first = sectionProfile(0);
    const auto middle = sectionProfile(16);
    const auto last = sectionProfile(24);
    EXPECT_GT(cosineSimilarity(first, last), 0.98) << "the A sections share their harmony";
    EXPECT_LT(cosineSimilarity(first, middle), 0.9) << "the B section must not repeat the A section";
    // Only the B section's E major chord has a G#.
    const std::size_t gSharp = 11;
    EXPECT_GT(middle[gSharp], 0.02);
    EXPECT_GT(middle[gSharp], 10.0 * first[gSharp]);
}

TEST(MusicForm, AtLeastEightDistinctPitchesSound) {
    // A pitch counts where, within some two-bar chord, its energy stands above
    // both neighbouring semitones and reaches 5% of that chord's strongest.
    const int low = 36, high = 90;
    std::set<int> pitches;
    for (int chord = 0; chord < 16; ++chord) {
        const auto e = pitchEnergy(musicMono(), chord * 2 * kBar, (chord + 1) * 2 * kBar, low, high);
        const double top = *std::max_element(e.begin(), e.end());
        for (std::size_t k = 1; k + 1 < e.size(); ++k)
            if (e[k] >= 0.05 * top && e[k] > e[k - 1] && e[k] > e[k + 1]) pitches.insert(low + static_cast<int>(k));
    }
    std::set<int> classes;
    for (int p : pitches) classes.insert(((p - 69) % 12 + 12) % 12);
    EXPECT_GE(pitches.size(), 8u);
    EXPECT_GE(classes.size(), 7u) << "the A minor scale should be heard";
}

TEST(MusicForm, HiHatsJoinFromTheSecondSectionOn) {
    const std::vector<float>& x = musicMono();
    const double without = highBandRms(x, 0, 8 * kBar);
    for (int section = 1; section < 4; ++section)
        EXPECT_GT(highBandRms(x, section * 8 * kBar, (section + 1) * 8 * kBar), 4.0 * without)
            << "section " << section + 1;
}

TEST(SoundBalance, EveryEffectStandsOutAboveTheMusic) {
    const double musicPeak = peakOf(musicMono());
    const double musicRms = rmsOf(musicMono(), 0, musicMono().size());
    for (const char* file : {"Sound/Button.aud", "Sound/Explode.aud", "Sound/Success.aud"}) {
        const WavData wav = parseWav(readBytes(kRunDir + "/" + file));
        ASSERT_EQ(wav.error, "") << file;
        const std::vector<float> effect = monoOf(wav);
        EXPECT_GE(peakOf(effect), musicPeak) << file;
        EXPECT_GE(toDb(activeRms(effect)), toDb(musicRms) + 3.0) << file << " would drown in the music";
    }
}
