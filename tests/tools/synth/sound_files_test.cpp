// The sound files and the best-times file in the run folder, as the build
// ships them: format, length, level, and byte-identical renders.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/support/temp_dir.h"
#include "tests/tools/synth/sound_analysis.h"
#include "tests/tools/synth/wav_reader.h"
#include "tools/synth/score.h"
#include "tools/synth/sound_set.h"

namespace {

const std::string kRunDir = QM_RUN_DIR;

struct SoundSpec {
    const char* file;
    double minSeconds;
    double maxSeconds;  // exclusive
};

const SoundSpec kSounds[] = {
    {"Sound/BkGnd.mus", 91.0, 92.0},
    {"Sound/Button.aud", 0.02, 0.15},
    {"Sound/Explode.aud", 0.1, 0.6},
    {"Sound/Success.aud", 1.0, 2.5},
};

WavData shipped(const char* file) {
    return parseWav(readBytes(kRunDir + "/" + file));
}

}  // namespace

TEST(ShippedSound, EveryFileIsStereo16BitPcmAt44100OfTheRightLength) {
    for (const SoundSpec& spec : kSounds) {
        const WavData wav = shipped(spec.file);
        ASSERT_EQ(wav.error, "") << spec.file;
        EXPECT_EQ(wav.channels, 2) << spec.file;
        EXPECT_EQ(wav.sampleRate, 44100u) << spec.file;
        EXPECT_EQ(wav.bitsPerSample, 16) << spec.file;
        EXPECT_GE(wav.seconds(), spec.minSeconds) << spec.file;
        EXPECT_LT(wav.seconds(), spec.maxSeconds) << spec.file;
    }
    // 32 bars of 4 beats at 84 beats a minute, to the frame, so the loop keeps time.
    EXPECT_EQ(shipped("Sound/BkGnd.mus").frames(), 32u * 4 * 44100 * 60 / 84);
}

TEST(ShippedSound, PeaksStayUnderMinusOneDbfsYetAreClearlyHeard) {
    const float limit = 29204.0f / 32768.0f;  // -1 dBFS in 16-bit steps
    for (const SoundSpec& spec : kSounds) {
        const WavData wav = shipped(spec.file);
        ASSERT_EQ(wav.error, "") << spec.file;
        const double peak = std::max(peakOf(wav.left), peakOf(wav.right));
        EXPECT_LE(peak, limit) << spec.file << " peaks at " << toDb(peak) << " dBFS";
        EXPECT_GE(toDb(peak), -12.0) << spec.file << " is too quiet";
    }
}

TEST(ShippedSound, EffectsStartAndEndInSilence) {
    for (const SoundSpec& spec : kSounds) {
        if (std::string(spec.file) == "Sound/BkGnd.mus") continue;  // a loop: its seam is tested with the music
        const WavData wav = shipped(spec.file);
        ASSERT_GT(wav.frames(), 0u) << spec.file;
        for (const auto* channel : {&wav.left, &wav.right}) {
            EXPECT_LT(std::fabs(channel->front()), 0.002f) << spec.file << " starts with a click";
            EXPECT_LT(std::fabs(channel->back()), 0.002f) << spec.file << " ends with a click";
        }
    }
}

TEST(ShippedSound, BestTimesFileHoldsFourPlausibleTimesBestFirst) {
    const auto bytes = readBytes(kRunDir + "/config0.bst");
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    int times[4] = {};
    for (int& t : times) ASSERT_TRUE(text >> t) << "config0.bst needs four integers";
    std::string rest;
    EXPECT_FALSE(text >> rest) << "nothing after the four times, found \"" << rest << "\"";
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(times[i], 30) << "entry " << i << " is implausibly fast";
        EXPECT_LT(times[i], 3600) << "entry " << i << " is over an hour";
        if (i > 0) {
            EXPECT_LT(times[i - 1], times[i]) << "entries " << i - 1 << " and " << i << " out of order";
        }
    }
}

TEST(SoundSet, RendersIdenticalBytesEveryTimeAndMatchesTheRunFolder) {
    TempDir first(TempDir::Cwd::Keep), second(TempDir::Cwd::Keep);
    ASSERT_EQ(synth::writeGameSound(first.path()), "");
    ASSERT_EQ(synth::writeGameSound(second.path()), "");
    const auto files = synth::gameSoundFiles();
    ASSERT_EQ(files.size(), 5u);
    for (const std::string& file : files) {
        const auto bytes = readBytes(first.file(file));
        ASSERT_FALSE(bytes.empty()) << file;
        EXPECT_TRUE(bytes == readBytes(second.file(file))) << file << " differs between two renders";
        EXPECT_TRUE(bytes == readBytes(kRunDir + "/" + file))
            << file << " in the run folder is not what the synth makes";
    }
}
