// Images damaged on disk while the game is away: the reload at the focus
// regain names the first broken file in the game's message and ends with
// code 255, whatever the damage.
#include <gtest/gtest.h>

#include <string>

#include "app/frame_loop.h"
#include "tests/game/screen_fixture.h"
#include "tests/support/bmp_writer.h"

namespace {

std::string set32(std::string file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
    return file;
}

std::string validImage() {
    return makeBmp24(12, 5, [](int x, int y) { return uint32_t(0x10A030 + x * 0x0A0000 + y * 0x10); });
}

std::string runLengthImage(bool ended) {
    BmpLayout layout;
    layout.width = 6;
    layout.height = 4;
    layout.bits = 8;
    layout.compression = 1;
    layout.palette = {0x000000, 0xFFFFFF, 0x808080};
    layout.pixels = encodeRle8(6, 4, [](int x, int y) { return uint32_t((x + y) % 3); });
    if (!ended) layout.pixels.resize(layout.pixels.size() - 6);
    return buildBmp(layout);
}

struct Damage {
    const char* image;  // the broken file
    std::string content;
    const char* reason;  // part of the reason the decoder gives on standard error
};

using DamagedImageDeathTest = screens::ScreenTest;

TEST_F(DamagedImageDeathTest, ReloadNamesTheBrokenFileAndEndsWith255) {
    const std::string good = validImage();
    ASSERT_TRUE(runLengthImage(true).size() > 0);
    const Damage cases[] = {
        {"Tex/Fail.Tex", good.substr(0, 30), "truncated"},
        {"Tex/MousePtr.Tex", good.substr(0, good.size() - 1), "pixel data truncated"},
        {"Tex/Menu/Back.Tex", set32(set32(good, 18, 65536), 22, 65536), "too large"},
        {"Tex/Background.Tex", set32(good, 10, static_cast<uint32_t>(good.size()) + 1), "bad pixel data offset"},
        {"Tex/Digit.Tex", set32(good, 14, 20), "unsupported bitmap header size"},
        {"Tex/Lamp.Tex", runLengthImage(false), "SDL_LoadBMP_RW failed"},
        {"Tex/Board.Tex", std::string(4096, '\xff'), "no BM signature"},
    };
    for (const Damage& d : cases) {
        const std::string kept = readFile(d.image);
        handleEvent(app, platform::EVENT_FOCUS_LOST);
        writeFile(d.image, d.content);
        const std::string path = std::string(d.image);
        const std::string expected = "quillmara: cannot load " + path + ": [^\n]*" + d.reason +
                                     "[^\n]*\nDirectDraw: Can't Load " + path + "! Quillmara is Exiting!!\n$";
        EXPECT_EXIT(handleEvent(app, platform::EVENT_FOCUS_GAINED), testing::ExitedWithCode(255), expected) << d.image;
        writeFile(d.image, kept);
        handleEvent(app, platform::EVENT_FOCUS_GAINED);
        ASSERT_FALSE(app.suspended);
    }
}

// A damaged run-length image is refused, its undamaged twin loads: the
// refusal above is the damage, not the format.
TEST_F(DamagedImageDeathTest, UndamagedRunLengthImageLoads) {
    handleEvent(app, platform::EVENT_FOCUS_LOST);
    writeFile("Tex/Lamp.Tex", runLengthImage(true));
    handleEvent(app, platform::EVENT_FOCUS_GAINED);
    ASSERT_NE(app.texLamp, nullptr);
    EXPECT_EQ(app.texLamp->width, 6);
}

}  // namespace
