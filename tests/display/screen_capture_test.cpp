// Screenshots: the exact file, the picture it holds, and its numbering.
#include "display/screen_capture.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "display_fixture.h"
#include "tests/support/test_files.h"

namespace {

class ScreenCapture : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        screenshotCounter = 0;
        ASSERT_EQ(app.initDisplay(), 1);
    }
    void present(uint16_t fill) {
        app.clearBackSurface(fill);
        app.flipFrame();
    }
    static uint32_t le32(const std::string& f, size_t at) {
        return static_cast<uint8_t>(f[at]) | static_cast<uint8_t>(f[at + 1]) << 8 |
               static_cast<uint8_t>(f[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(f[at + 3])) << 24;
    }
    // B, G, R of screen pixel (x, y) in a screenshot file.
    static std::string bgrAt(const std::string& f, int x, int y) {
        return f.substr(54 + static_cast<size_t>(599 - y) * 2400 + static_cast<size_t>(x) * 3, 3);
    }
};

TEST_F(ScreenCapture, FileHasExactHeadersAndBottomUpRows) {
    present(0);
    app.backSurface->pixels[0] = 0xFFFF;                // top-left white
    app.backSurface->pixels[599 * 800 + 1] = 0x8410;    // bottom row, a mid grey
    app.backSurface->pixels[300 * 800 + 799] = 0xF800;  // right edge, red
    app.flipFrame();
    captureScreen();
    const std::string f = readFile("GAME0.bmp");
    ASSERT_EQ(f.size(), 1440054u);

    const std::string expectedHeader(
        "BM\x36\xf9\x15\x00\x00\x00\x00\x00\x36\x00\x00\x00"  // file header
        "\x28\x00\x00\x00\x20\x03\x00\x00\x58\x02\x00\x00\x01\x00\x18\x00"
        "\x00\x00\x00\x00\x00\xf9\x15\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00",
        54);
    for (size_t i = 0; i < 54; ++i)
        EXPECT_EQ(static_cast<uint8_t>(f[i]), static_cast<uint8_t>(expectedHeader[i])) << "header byte " << i;
    EXPECT_EQ(le32(f, 2), 1440054u);
    EXPECT_EQ(le32(f, 34), 1440000u);

    EXPECT_EQ(bgrAt(f, 0, 0), std::string("\xff\xff\xff", 3)) << "white stays white";
    EXPECT_EQ(f.substr(54 + 599 * 2400, 3), std::string("\xff\xff\xff", 3)) << "top row is the file's last";
    // 0x8410: r5 16, g6 32, b5 16 -> 132, 130, 132.
    EXPECT_EQ(f.substr(54 + 3, 3), std::string("\x84\x82\x84", 3)) << "bottom row is the file's first";
    EXPECT_EQ(bgrAt(f, 799, 300), std::string("\x00\x00\xff", 3)) << "red at the right edge";
    EXPECT_EQ(bgrAt(f, 400, 300), std::string(3, '\0')) << "black";
}

TEST_F(ScreenCapture, ShowsThePresentedFrameNotTheOneBeingDrawn) {
    captureScreen();
    EXPECT_EQ(readFile("GAME0.bmp"),
              std::string(reinterpret_cast<const char*>(encodeScreenshot(nullptr).data()), 1440054))
        << "black before anything was presented";

    present(0x001F);               // blue on screen
    app.clearBackSurface(0xF800);  // red half-drawn
    captureScreen();
    const std::string f = readFile("GAME1.bmp");
    ASSERT_EQ(f.size(), 1440054u);
    EXPECT_EQ(bgrAt(f, 123, 456), std::string("\xff\x00\x00", 3)) << "the presented blue frame";
}

TEST_F(ScreenCapture, EachCaptureWritesTheNextNumber) {
    present(0x07E0);
    for (int i = 0; i < 4; ++i) captureScreen();
    for (const char* name : {"GAME0.bmp", "GAME1.bmp", "GAME2.bmp", "GAME3.bmp"})
        EXPECT_EQ(std::filesystem::file_size(name), 1440054u) << name;
    EXPECT_FALSE(std::filesystem::exists("GAME4.bmp"));
    EXPECT_EQ(screenshotCounter, 4);
}

TEST_F(ScreenCapture, NeverReplacesAnExistingFile) {
    present(0x07E0);
    writeFile("GAME0.bmp", "a picture of another run");
    writeFile("GAME2.bmp", "and another");
    for (int i = 0; i < 3; ++i) captureScreen();
    EXPECT_EQ(readFile("GAME0.bmp"), "a picture of another run");
    EXPECT_EQ(readFile("GAME2.bmp"), "and another");
    for (const char* name : {"GAME1.bmp", "GAME3.bmp", "GAME4.bmp"})
        EXPECT_EQ(std::filesystem::file_size(name), 1440054u) << name;
    EXPECT_FALSE(std::filesystem::exists("GAME5.bmp"));
    EXPECT_EQ(screenshotCounter, 5);
}

TEST_F(ScreenCapture, UncreatableFileUsesUpItsNumberQuietly) {
    present(0);
    // Root ignores permissions, but nothing can be created under /proc.
    ASSERT_EQ(chdir("/proc/self"), 0);
    captureScreen();
    captureScreen();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_EQ(screenshotCounter, 2);
    EXPECT_TRUE(headless::messageBoxes().empty());
    captureScreen();
    EXPECT_TRUE(std::filesystem::exists("GAME2.bmp"));
    EXPECT_FALSE(std::filesystem::exists("GAME0.bmp"));
}

TEST_F(ScreenCapture, AFullDiskLeavesNoPartialFileAndTheGameGoesOn) {
    // The file size limit stands in for a full disk: with SIGXFSZ ignored, a
    // write past it fails (EFBIG) as a write to a full disk does (ENOSPC).
    ASSERT_EQ(app.initKeyboard(), STATUS_OK);
    present(0x07E0);
    rlimit room{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &room), 0);
    rlimit full = room;
    full.rlim_cur = 100000;  // the headers and a few rows fit
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    auto pressF9 = [this] {
        headless::keyDown(platform::KEY_F9);
        app.pollKeyboard();
        headless::keyUp(platform::KEY_F9);
    };
    pressF9();
    setrlimit(RLIMIT_FSIZE, &room);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(std::filesystem::exists("GAME0.bmp")) << "the partial screenshot is removed";
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_EQ(app.state, STATE_MAIN_MENU);

    present(0x001F);
    pressF9();
    EXPECT_EQ(readFile("GAME1.bmp"),
              std::string(reinterpret_cast<const char*>(encodeScreenshot(app.backSurface->pixels.data()).data()),
                          SCREENSHOT_FILE_BYTES))
        << "with room again the next F9 writes the whole picture";
    app.releaseKeyboard();
}

}  // namespace
