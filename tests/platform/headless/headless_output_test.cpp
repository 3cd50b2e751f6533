// The headless records of the display, message boxes, audio and process end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

class HeadlessOutput : public testing::Test {
protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }

    // A ready display: window, primary and back buffer.
    platform::PrimarySurface* readyDisplay() {
        if (window == nullptr) window = platform::windowCreate("Tavrin", nullptr);
        platform::PrimarySurface* primary = platform::displayCreatePrimary(window);
        EXPECT_TRUE(platform::displayCreateBackBuffer(primary));
        return primary;
    }

    static std::vector<uint16_t> picture(uint16_t fill) {
        return std::vector<uint16_t>(platform::PICTURE_PIXELS, fill);
    }

    platform::Window* window = nullptr;
};

TEST_F(HeadlessOutput, EachDisplayStepFailsOnRequest) {
    window = platform::windowCreate("Tavrin", nullptr);
    EXPECT_TRUE(platform::displaySetFullscreen(window));
    EXPECT_TRUE(platform::displaySetMode(window));
    headless::failDisplayStep(headless::DISPLAY_FAIL_FULLSCREEN);
    EXPECT_FALSE(platform::displaySetFullscreen(window));
    EXPECT_TRUE(platform::displaySetMode(window));
    headless::failDisplayStep(headless::DISPLAY_FAIL_MODE);
    EXPECT_TRUE(platform::displaySetFullscreen(window));
    EXPECT_FALSE(platform::displaySetMode(window));
    headless::failDisplayStep(headless::DISPLAY_FAIL_PRIMARY);
    EXPECT_EQ(platform::displayCreatePrimary(window), nullptr);
    headless::failDisplayStep(headless::DISPLAY_FAIL_BACK_BUFFER);
    platform::PrimarySurface* primary = platform::displayCreatePrimary(window);
    ASSERT_NE(primary, nullptr);
    EXPECT_FALSE(platform::displayCreateBackBuffer(primary));
    EXPECT_EQ(headless::backBuffersHeld(), 0);

    EXPECT_FALSE(platform::displaySetFullscreen(nullptr)) << "no window";
    EXPECT_EQ(platform::displayCreatePrimary(nullptr), nullptr);
    EXPECT_FALSE(platform::displayCreateBackBuffer(nullptr));
}

TEST_F(HeadlessOutput, ReleasesCountDownAndIgnoreStaleHandles) {
    platform::PrimarySurface* primary = readyDisplay();
    EXPECT_EQ(headless::primarySurfacesHeld(), 1);
    EXPECT_EQ(headless::backBuffersHeld(), 1);
    EXPECT_TRUE(platform::displayCreateBackBuffer(primary)) << "a second back buffer on the same primary";
    EXPECT_EQ(headless::backBuffersHeld(), 1);
    platform::displayReleaseBackBuffer(primary);
    platform::displayReleaseBackBuffer(primary);
    EXPECT_EQ(headless::backBuffersHeld(), 0);
    platform::displayReleasePrimary(primary);
    platform::displayReleasePrimary(primary);
    platform::displayReleasePrimary(nullptr);
    EXPECT_EQ(headless::primarySurfacesHeld(), 0);

    // A primary released with its back buffer attached takes it along.
    primary = readyDisplay();
    platform::displayReleasePrimary(primary);
    EXPECT_EQ(headless::backBuffersHeld(), 0);
}

TEST_F(HeadlessOutput, FrameRecordKeepsTheNewestUpToItsBound) {
    platform::PrimarySurface* primary = readyDisplay();
    EXPECT_EQ(platform::displayLastPresented(), nullptr);
    for (uint16_t i = 0; i < 10; ++i) platform::displayPresent(primary, picture(i).data());
    ASSERT_EQ(headless::presentedFrames().size(), 8u);
    EXPECT_EQ(headless::presentedFrames().front().at(0, 0), 2) << "oldest kept frame";
    EXPECT_EQ(headless::presentedFrames().back().at(799, 599), 9) << "newest frame";
    EXPECT_EQ(headless::presentCount(), 10u);

    headless::setFrameRecordLimit(3);
    ASSERT_EQ(headless::presentedFrames().size(), 3u);
    EXPECT_EQ(headless::presentedFrames().front().at(0, 0), 7);
    headless::setFrameRecordLimit(0);
    platform::displayPresent(primary, picture(42).data());
    EXPECT_TRUE(headless::presentedFrames().empty());
    ASSERT_NE(platform::displayLastPresented(), nullptr);
    EXPECT_EQ(platform::displayLastPresented()[platform::PICTURE_PIXELS - 1], 42);
}

TEST_F(HeadlessOutput, PresentCopiesAndNeedsABackBuffer) {
    platform::PrimarySurface* primary = readyDisplay();
    std::vector<uint16_t> pixels = picture(0x1234);
    pixels[599 * 800 + 3] = 0xF800;
    platform::displayPresent(primary, pixels.data());
    pixels.assign(pixels.size(), 0);  // the caller's buffer is reused
    EXPECT_EQ(headless::presentedFrames().back().at(3, 599), 0xF800) << "red dot at (3, 599)";
    EXPECT_EQ(platform::displayLastPresented()[0], 0x1234);

    platform::displayReleaseBackBuffer(primary);
    platform::displayPresent(primary, picture(7).data());
    platform::displayPresent(primary, nullptr);
    platform::displayPresent(nullptr, picture(7).data());
    EXPECT_EQ(headless::presentCount(), 1u);
    platform::displayReleasePrimary(primary);
    ASSERT_NE(platform::displayLastPresented(), nullptr) << "kept across release";
    EXPECT_EQ(platform::displayLastPresented()[0], 0x1234);

    headless::reset();
    EXPECT_EQ(platform::displayLastPresented(), nullptr);
    EXPECT_EQ(headless::presentCount(), 0u);
}

TEST_F(HeadlessOutput, MessageBoxesAreRecordedAndWrittenToStderr) {
    testing::internal::CaptureStderr();
    platform::showMessageBox("BkGnd Music", "BkGnd.mus not found,  Program will now quit");
    platform::showMessageBox(nullptr, nullptr);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "BkGnd Music: BkGnd.mus not found,  Program will now quit\n: \n");
    ASSERT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_EQ(headless::messageBoxes()[0].caption, "BkGnd Music");
    EXPECT_EQ(headless::messageBoxes()[0].text, "BkGnd.mus not found,  Program will now quit");
}

TEST_F(HeadlessOutput, AudioCallsAreRecordedAndFilesChecked) {
    TempDir dir;
    writeFile("Sound/BkGnd.mus", makeSilentWav());
    writeFile("Sound/Button.aud", "OggS and then anything");
    writeFile("Sound/Explode.aud", "plain text");
    writeFile("Sound/Success.aud", makeSilentWav());
    headless::failAudioLoad("Sound/Success.aud");

    platform::AudioDevice* device = platform::audioOpenDevice();
    ASSERT_NE(device, nullptr);
    platform::AudioMusic* music = platform::audioLoadMusic(device, "Sound/BkGnd.mus");
    EXPECT_NE(music, nullptr);
    platform::audioPlayMusic(device, music);
    platform::AudioSample* button = platform::audioLoadSample(device, "Sound/Button.aud");
    EXPECT_NE(button, nullptr) << "an Ogg file";
    EXPECT_EQ(platform::audioLoadSample(device, "Sound/Explode.aud"), nullptr) << "a text file";
    EXPECT_EQ(platform::audioLoadSample(device, "Sound/Success.aud"), nullptr) << "made to fail";
    EXPECT_EQ(platform::audioLoadMusic(device, "Sound/Missing.mus"), nullptr);
    platform::AudioPath* path = platform::audioCreatePath(device);
    platform::audioPlayOnPath(device, path, button, 0.70710678f, 0.5f);
    platform::audioPlayOnPath(device, nullptr, button, 1, 1);  // null path: nothing
    platform::audioPlayOnPath(device, path, nullptr, 1, 1);
    EXPECT_EQ(headless::audioHandlesHeld(), 4);
    platform::audioStopAll(device);
    platform::audioCloseDevice(device);
    platform::audioCloseDevice(device);  // stale: nothing
    platform::audioStopAll(device);
    platform::audioFreePath(path);  // handles outlive their device
    platform::audioFreeSample(button);
    platform::audioFreeMusic(music);
    platform::audioFreeMusic(nullptr);
    EXPECT_EQ(headless::audioHandlesHeld(), 0);

    const std::vector<std::string> expected = {
        "openDevice",
        "loadMusic Sound/BkGnd.mus",
        "playMusic",
        "loadSample Sound/Button.aud",
        "loadSample Sound/Explode.aud",
        "loadSample Sound/Success.aud",
        "loadMusic Sound/Missing.mus",
        "createPath",
        "play Sound/Button.aud 0.707107 0.5",
        "stopAll",
        "closeDevice",
        "freePath",
        "freeSample",
        "freeMusic",
    };
    EXPECT_EQ(headless::audioCalls(), expected);

    headless::failAudioLoad("");
    headless::failAudioDevice(true);
    EXPECT_EQ(platform::audioOpenDevice(), nullptr);
    headless::failAudioDevice(false);
    device = platform::audioOpenDevice();
    EXPECT_NE(platform::audioLoadSample(device, "Sound/Success.aud"), nullptr) << "failure list cleared";
    headless::reset();
    EXPECT_EQ(headless::audioHandlesHeld(), 0);
    EXPECT_TRUE(headless::audioCalls().empty());
}

TEST(HeadlessExit, ImmediateExitGivesTheLowByteAndSkipsHandlers) {
    EXPECT_EXIT(
        {
            platform::showMessageBox("Quillmara", "Media not found, sample will now quit");
            platform::exitProcessNow(-1);
        },
        testing::ExitedWithCode(255), "Quillmara: Media not found, sample will now quit");
    EXPECT_EXIT(platform::exitProcessNow(1), testing::ExitedWithCode(1), "");

    // Buffered output still comes out; exit handlers do not run.
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::atexit([] { std::fputs("handler ran", stderr); });
            std::fputs("last words", stderr);
            platform::exitProcessNow(-1);
        },
        testing::ExitedWithCode(255), "^last words$");
}

TEST(HeadlessExit, NormalExitRunsHandlersWithTheCodeRecorded) {
    EXPECT_EXIT(
        {
            std::atexit([] { std::fprintf(stderr, "handler saw %d", headless::lastExitCode()); });
            platform::exitProcessNormally(1);
        },
        testing::ExitedWithCode(1), "handler saw 1");
    EXPECT_EQ(headless::lastExitCode(), -1000) << "nothing exited in this process";
}

}  // namespace
