// The quick check that decides whether a sound file is worth loading.
#include "platform/common/sound_file_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

// A string literal with embedded zero bytes, kept whole.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

bool playable(const char* path, std::string* error = nullptr) {
    return platform::soundFileLooksPlayable(path, error);
}

TEST(SoundFileCheck, AcceptsWavAndOggHeadersOnly) {
    TempDir dir;
    writeFile("a.aud", makeSilentWav());
    writeFile("b.aud", "OggS");
    writeFile("avi.aud", bytes("RIFF\x10\0\0\0AVI LIST"));
    writeFile("short.aud", bytes("RIFF\x04\0\0\0WAV"));
    writeFile("empty.aud", "");
    writeFile("text.mus", "WAVE RIFF OggS");
    EXPECT_TRUE(playable("a.aud"));
    EXPECT_TRUE(playable("b.aud"));
    std::string error;
    EXPECT_FALSE(playable("avi.aud", &error)) << "RIFF but not WAVE";
    EXPECT_NE(error.find("neither a WAV nor an Ogg"), std::string::npos) << error;
    EXPECT_FALSE(playable("short.aud"));
    EXPECT_FALSE(playable("empty.aud"));
    EXPECT_FALSE(playable("text.mus"));
}

TEST(SoundFileCheck, UnreadablePathsSayWhy) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(playable("Sound/Button.aud", &error));
    EXPECT_EQ(error, "cannot open Sound/Button.aud: No such file or directory");
    mkdir("Sound", 0755);
    EXPECT_FALSE(playable("Sound", &error));
    EXPECT_NE(error.find("cannot read Sound"), std::string::npos) << error;
    EXPECT_FALSE(playable(nullptr, &error));
    EXPECT_FALSE(playable("", &error));
}

}  // namespace
