// The SDL2_mixer audio backend, heard through SDL's disk driver: each test
// plays short sounds it wrote itself and reads the mixed output back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>

#include "platform/platform.h"
#include "tests/platform/sdl/audio/disk_capture.h"
#include "tests/support/temp_dir.h"

namespace {

struct Gains {
    float left;
    float right;
};

// The game's equal-power pan for a pointer at x.
Gains gainsFor(int x) {
    const float p = static_cast<float>(x - 400) * 0.00125f;
    const double angle = (p + 0.5) * std::numbers::pi / 2;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

constexpr int64_t SECOND = int64_t{RATE} * BYTES_PER_FRAME;

class DiskAudio : public testing::Test {
protected:
    // `delayMs` is the disk driver's pause per buffer: 0 runs flat out; tests
    // whose sounds must overlap in wall-clock time slow it down a little.
    void open(int delayMs = 0) {
        capturePath = dir.file("out.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capturePath.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
        device = platform::audioOpenDevice();
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(waitForBytes(capturePath, BUFFER_FRAMES * BYTES_PER_FRAME)) << "the disk device never wrote";
    }
    void close() {
        platform::audioCloseDevice(device);
        device = nullptr;
    }
    void TearDown() override { close(); }

    // Waits for `seconds` more of output after the current end.
    void let(double seconds) {
        ASSERT_TRUE(waitForBytes(capturePath, fileSize(capturePath) + static_cast<int64_t>(seconds * SECOND) / 4 * 4));
    }
    int64_t frameNow() const { return fileSize(capturePath) / BYTES_PER_FRAME; }

    TempDir dir;
    std::string capturePath;
    platform::AudioDevice* device = nullptr;
};

TEST_F(DiskAudio, MusicLoopsPastItsOwnLength) {
    const int length = RATE / 20;
    writeWav("music.wav", tone(length, 1000, 8000));
    open();
    platform::AudioMusic* music = platform::audioLoadMusic(device, "music.wav");
    ASSERT_NE(music, nullptr);
    const int64_t requested = frameNow();
    platform::audioPlayMusic(device, music);
    let(30.0 * length / RATE);
    close();
    platform::audioFreeMusic(music);  // after the close, as the game's teardown does

    const Capture out = readCapture(capturePath, requested);
    const int64_t start = out.firstSound(requested);
    ASSERT_GE(start, 0) << "no music at all";
    for (int lap = 0; lap < 20; ++lap) {
        EXPECT_GT(out.rms(start + lap * length, start + (lap + 1) * length, 0), 4000) << "music silent in lap " << lap;
    }
}

TEST_F(DiskAudio, EffectIsPannedByTheGainsGiven) {
    writeWav("jump.wav", tone(RATE / 20, 700, 10000));
    open();
    platform::AudioSample* jump = platform::audioLoadSample(device, "jump.wav");
    platform::AudioPath* path = platform::audioCreatePath(device);
    ASSERT_NE(jump, nullptr);
    ASSERT_NE(path, nullptr);
    struct Play {
        int x;
        int64_t requested;
    };
    std::vector<Play> plays = {{50, 0}, {750, 0}, {400, 0}};
    for (Play& play : plays) {
        play.requested = frameNow();
        const Gains g = gainsFor(play.x);
        platform::audioPlayOnPath(device, path, jump, g.left, g.right);
        let(0.2);  // well past the end of the effect
    }
    close();

    const Capture out = readCapture(capturePath, plays[0].requested);
    for (const Play& play : plays) {
        const int64_t start = out.firstSound(play.requested);
        ASSERT_GE(start, 0) << "x=" << play.x << " not heard";
        const double left = out.rms(start, start + RATE / 25, 0);
        const double right = out.rms(start, start + RATE / 25, 1);
        SCOPED_TRACE("x=" + std::to_string(play.x) + " left " + std::to_string(left) + " right " +
                     std::to_string(right));
        if (play.x == 50) {
            EXPECT_GT(left, 5 * right) << "should be clearly left";
        } else if (play.x == 750) {
            EXPECT_GT(right, 5 * left) << "should be clearly right";
        } else {
            EXPECT_NEAR(left / right, 1.0, 0.05) << "should be balanced";
        }
    }
    platform::audioFreePath(path);
    platform::audioFreeSample(jump);
}

TEST_F(DiskAudio, NewPositionMovesThatEffectOnlyAndAllItsInstances) {
    writeWav("long.wav", tone(3 * RATE, 500, 6000));
    writeWav("other.wav", tone(3 * RATE, 900, 6000));
    open(1);
    platform::AudioSample* longSound = platform::audioLoadSample(device, "long.wav");
    platform::AudioSample* otherSound = platform::audioLoadSample(device, "other.wav");
    platform::AudioPath* longPath = platform::audioCreatePath(device);
    platform::AudioPath* otherPath = platform::audioCreatePath(device);
    ASSERT_TRUE(longSound && otherSound && longPath && otherPath);

    const int64_t first = frameNow();
    platform::audioPlayOnPath(device, longPath, longSound, 1, 0);  // hard left
    let(0.1);
    platform::audioPlayOnPath(device, otherPath, otherSound, 0, 1);  // hard right: another path
    let(0.2);
    const int64_t bothPlaced = frameNow();
    let(0.2);
    platform::audioPlayOnPath(device, longPath, longSound, 0, 1);  // second instance, moved right
    let(0.2);
    const int64_t moved = frameNow();
    // Four more: the path's channels are all busy, so the oldest make way,
    // and the newcomers keep the position too.
    for (int i = 0; i < 4; ++i) platform::audioPlayOnPath(device, longPath, longSound, 0, 1);
    let(0.2);
    const int64_t crowded = frameNow();
    let(0.2);
    close();

    const Capture out = readCapture(capturePath, first);
    EXPECT_GT(out.rms(bothPlaced, bothPlaced + 4096, 0), 3000) << "the first effect left its place";
    EXPECT_GT(out.rms(bothPlaced, bothPlaced + 4096, 1), 3000) << "the other effect is not on the right";
    EXPECT_LT(out.rms(moved, moved + 4096, 0), 10) << "an instance of the moved effect stayed on the left";
    EXPECT_LT(out.rms(crowded, crowded + 4096, 0), 10) << "an instance replacing the oldest lost its position";
    EXPECT_GT(out.rms(crowded, crowded + 4096, 1), 3000);
    platform::audioFreePath(longPath);
    platform::audioFreePath(otherPath);
    platform::audioFreeSample(longSound);
    platform::audioFreeSample(otherSound);
}

TEST_F(DiskAudio, StopSilencesSoundingEffectsAndMusic) {
    writeWav("long.wav", tone(3 * RATE, 500, 6000));
    open(1);
    platform::AudioSample* sound = platform::audioLoadSample(device, "long.wav");
    platform::AudioMusic* music = platform::audioLoadMusic(device, "long.wav");
    platform::AudioPath* path = platform::audioCreatePath(device);
    const int64_t first = frameNow();
    platform::audioPlayMusic(device, music);
    platform::audioPlayOnPath(device, path, sound, 0.7f, 0.7f);
    let(0.2);
    const int64_t beforeStop = frameNow();
    platform::audioStopAll(device);
    const int64_t afterStop = frameNow();
    let(0.2);
    close();

    const Capture out = readCapture(capturePath, first);
    EXPECT_GT(out.rms(beforeStop - 2048, beforeStop, 0), 3000) << "nothing was sounding when stopped";
    const int64_t quiet = afterStop + 2 * BUFFER_FRAMES;
    EXPECT_EQ(out.firstSound(quiet), -1) << "sound two buffers after the stop, at frame " << out.firstSound(quiet);
    platform::audioFreePath(path);
    platform::audioFreeSample(sound);
    platform::audioFreeMusic(music);
}

TEST_F(DiskAudio, MusicStartsAgainFromItsBeginning) {
    std::vector<int16_t> pattern(RATE / 10);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<int16_t>(1000 + (i * 37) % 20000);
    writeWav("music.wav", pattern);
    open();
    platform::AudioMusic* music = platform::audioLoadMusic(device, "music.wav");
    const int64_t firstRequest = frameNow();
    platform::audioPlayMusic(device, music);
    let(0.15);  // stopped in its second lap, mid-way
    platform::audioStopAll(device);
    let(0.05);
    const int64_t secondRequest = frameNow();
    platform::audioPlayMusic(device, music);
    let(0.1);
    close();

    const Capture out = readCapture(capturePath, firstRequest);
    const int64_t starts[] = {out.firstSound(firstRequest), out.firstSound(secondRequest)};
    for (int64_t start : starts) {
        ASSERT_GE(start, 0);
        for (int i = 0; i < 64; ++i) {
            ASSERT_NEAR(out.at(start + i, 0), pattern[static_cast<size_t>(i)], 2)
                << "frame " << i << " of the start at " << start;
        }
    }
    platform::audioFreeMusic(music);
}

TEST_F(DiskAudio, EffectStartsWithinTwoBuffers) {
    writeWav("click.wav", tone(RATE / 50, 2000, 10000));
    open();
    platform::AudioSample* click = platform::audioLoadSample(device, "click.wav");
    platform::AudioPath* path = platform::audioCreatePath(device);
    for (int round = 0; round < 5; ++round) {
        const int64_t before = frameNow();
        platform::audioPlayOnPath(device, path, click, 1, 1);
        const int64_t after = frameNow();
        let(0.05);
        const Capture out = readCapture(capturePath, before, RATE / 10);
        const int64_t start = out.firstSound(before);
        ASSERT_GE(start, 0);
        // The tone is a sine: its first sample is zero, so it is first heard
        // one frame after it starts.
        EXPECT_LE(start - after, 2 * BUFFER_FRAMES + 1) << "round " << round;
    }
    platform::audioFreePath(path);
    platform::audioFreeSample(click);
}

TEST_F(DiskAudio, UndecodableFilesAndNullHandles) {
    writeWav("ok.wav", tone(100, 440, 1000));
    std::ofstream("text.wav") << "RIFF but not really a sound file at all";
    open();
    EXPECT_EQ(platform::audioLoadMusic(device, "missing.mus"), nullptr);
    EXPECT_EQ(platform::audioLoadMusic(device, "text.wav"), nullptr);
    EXPECT_EQ(platform::audioLoadSample(device, "text.wav"), nullptr);
    EXPECT_EQ(platform::audioLoadSample(device, nullptr), nullptr);
    EXPECT_EQ(platform::audioLoadSample(nullptr, "ok.wav"), nullptr);
    platform::AudioSample* ok = platform::audioLoadSample(device, "ok.wav");
    ASSERT_NE(ok, nullptr);
    platform::audioPlayOnPath(device, nullptr, ok, 1, 1);
    platform::audioPlayOnPath(device, platform::audioCreatePath(nullptr), ok, NAN, -3);
    platform::audioPlayMusic(device, nullptr);
    platform::audioStopAll(nullptr);
    platform::audioFreeSample(ok);
    platform::audioFreeSample(ok);  // stale: ignored
    platform::audioFreeMusic(nullptr);
    platform::audioFreePath(nullptr);
    platform::audioCloseDevice(nullptr);
}

TEST_F(DiskAudio, ReopensManyTimes) {
    writeWav("ok.wav", tone(2000, 440, 5000));
    for (int cycle = 0; cycle < 6; ++cycle) {
        open();
        platform::AudioSample* sample = platform::audioLoadSample(device, "ok.wav");
        std::vector<platform::AudioPath*> paths;
        for (int i = 0; i < 3; ++i) paths.push_back(platform::audioCreatePath(device));
        for (platform::AudioPath* path : paths) {
            ASSERT_NE(path, nullptr) << "cycle " << cycle;
            for (int i = 0; i < 6; ++i) platform::audioPlayOnPath(device, path, sample, 0.5f, 0.5f);  // > 4 at once
        }
        close();
        for (platform::AudioPath* path : paths) platform::audioFreePath(path);
        platform::audioFreeSample(sample);
    }
}

// The whole life of a silent device, as the game drives it; the first
// check that fails, or null.
const char* silentDeviceProblem() {
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    writeWav("ok.wav", tone(100, 440, 1000));
    std::ofstream("text.wav") << "not a sound";
    for (int cycle = 0; cycle < 3; ++cycle) {
        platform::AudioDevice* device = platform::audioOpenDevice();
        if (device == nullptr) return "no silent device";
        platform::AudioMusic* music = platform::audioLoadMusic(device, "ok.wav");
        platform::AudioSample* sample = platform::audioLoadSample(device, "ok.wav");
        platform::AudioPath* path = platform::audioCreatePath(device);
        if (!music || !sample || !path) return "a valid WAV was refused";
        if (platform::audioLoadMusic(device, "missing.mus")) return "a missing file was loaded";
        if (platform::audioLoadSample(device, "text.wav")) return "a text file was loaded";
        platform::audioPlayMusic(device, music);
        platform::audioPlayOnPath(device, path, sample, 0.7f, 0.7f);
        platform::audioStopAll(device);
        platform::audioCloseDevice(device);
        platform::audioFreePath(path);
        platform::audioFreeSample(sample);
        platform::audioFreeMusic(music);
    }
    return nullptr;
}

TEST(SilentAudio, UnopenableDriverGivesASilentDeviceThatStillChecksFiles) {
    // A fresh process, so the once-per-run notice has not been printed yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const char* problem = silentDeviceProblem();
            if (problem != nullptr) std::fprintf(stderr, "FAILED: %s\n", problem);
            std::exit(problem == nullptr ? 0 : 1);
        },
        testing::ExitedWithCode(0),
        "^quillmara: no audio device \\([^\n]*nonexistent[^\n]*\\); playing without sound\n$");
}

}  // namespace
