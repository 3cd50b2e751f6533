// The WAV writer: header fields, sample conversion at and beyond full scale,
// degenerate buffers and write failures.
#include "tools/synth/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/temp_dir.h"
#include "tests/tools/synth/wav_reader.h"

namespace {

std::int16_t sampleAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    return static_cast<std::int16_t>(bytes[44 + 2 * index] | (bytes[45 + 2 * index] << 8));
}

synth::StereoBuffer bufferOf(std::vector<float> left, std::vector<float> right) {
    synth::StereoBuffer buffer;
    buffer.left = std::move(left);
    buffer.right = std::move(right);
    return buffer;
}

}  // namespace

TEST(WavFile, HeaderDescribesStereo16BitPcmAt44100) {
    const auto bytes = synth::encodeWav(bufferOf({0.0f, 0.1f, 0.2f}, {0.0f, -0.1f, -0.2f}));
    ASSERT_EQ(bytes.size(), 44u + 3 * 4);
    const WavData wav = parseWav(bytes);
    ASSERT_EQ(wav.error, "");
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sampleRate, 44100u);
    EXPECT_EQ(wav.bitsPerSample, 16);
    ASSERT_EQ(wav.frames(), 3u);
    EXPECT_NEAR(wav.right[2], -0.2f, 1.0f / 32768);
}

TEST(WavFile, SamplesRoundAndClipWithoutWrapping) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const auto bytes = synth::encodeWav(
        bufferOf({0.5f, 1.0f, 1.5f, -1.0f, -7.0f, nan, inf, -inf}, {0.6f / 32767, -0.6f / 32767, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sampleAt(bytes, 0), 16384) << "0.5 rounds to the nearest step";
    EXPECT_EQ(sampleAt(bytes, 2), 32767) << "full scale";
    EXPECT_EQ(sampleAt(bytes, 4), 32767) << "1.5 clips instead of wrapping to a negative sample";
    EXPECT_EQ(sampleAt(bytes, 6), -32767) << "-1.0 stays symmetric with +1.0";
    EXPECT_EQ(sampleAt(bytes, 8), -32767) << "-7.0 clips";
    EXPECT_EQ(sampleAt(bytes, 10), 0) << "NaN becomes silence";
    EXPECT_EQ(sampleAt(bytes, 12), 32767) << "+inf clips";
    EXPECT_EQ(sampleAt(bytes, 14), -32767) << "-inf clips";
    EXPECT_EQ(sampleAt(bytes, 1), 1) << "0.6 of a step rounds to one step, not down to 0";
    EXPECT_EQ(sampleAt(bytes, 3), -1);
}

TEST(WavFile, DegenerateBuffersStillGiveValidFiles) {
    const WavData empty = parseWav(synth::encodeWav(synth::StereoBuffer()));
    EXPECT_EQ(empty.error, "");
    EXPECT_EQ(empty.frames(), 0u);

    // Channels of different lengths: only the frames both have are written.
    const WavData uneven = parseWav(synth::encodeWav(bufferOf({0.1f, 0.2f, 0.3f}, {0.1f})));
    EXPECT_EQ(uneven.error, "");
    EXPECT_EQ(uneven.frames(), 1u);
}

TEST(WavFile, WriteFailuresNameThePath) {
    TempDir folder(TempDir::Cwd::Keep);
    ASSERT_FALSE(folder.path().empty());
    const std::string missing = folder.file("no/such/folder/x.aud");
    const std::string error = synth::writeFileBytes(missing, {1, 2, 3});
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    const std::string intoFolder = synth::writeFileBytes(folder.path(), {1, 2, 3});
    EXPECT_NE(intoFolder.find("cannot create"), std::string::npos) << intoFolder;

    const std::string file = folder.file("x.aud");
    ASSERT_EQ(synth::writeFileBytes(file, {1, 2, 3}), "");
    ASSERT_EQ(synth::writeFileBytes(file, {9}), "");
    EXPECT_EQ(readBytes(file), std::vector<std::uint8_t>{9}) << "a second write replaces the file";
}
