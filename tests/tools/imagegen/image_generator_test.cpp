// The image generator as a program (same bytes every run, clear failures)
// and its flattening rules (the key colour, edges, dithering).
#include <filesystem>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/tools/imagegen/art_files.h"
#include "tools/imagegen/output.h"

namespace art {
namespace {

ProgramRun runGenerator(const std::string& arguments) {
    return runProgram(QM_IMAGEGEN, arguments);
}

TEST(ImageGenerator, WritesTheSameBytesEveryRun) {
    TempDir first;
    ProgramRun a = runGenerator(first.path() + " " QM_FONT_DIR);
    ASSERT_EQ(a.exitCode, 0) << a.all();
    TempDir second;
    ProgramRun b = runGenerator(second.path() + " " QM_FONT_DIR);
    ASSERT_EQ(b.exitCode, 0) << b.all();
    for (const ArtFile& file : artFiles()) {
        const std::string bytes = readFile(first.file(file.path));
        EXPECT_FALSE(bytes.empty()) << file.path;
        EXPECT_TRUE(bytes == readFile(second.file(file.path))) << file.path << " differs between two runs";
        EXPECT_TRUE(bytes == readFile(runFile(file.path))) << file.path << " in the run folder is stale";
    }
}

TEST(ImageGenerator, RefusesAWrongCommandLine) {
    ProgramRun none = runGenerator("");
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.all().find("usage:"), std::string::npos) << none.all();
    ProgramRun many = runGenerator("a b c");
    EXPECT_EQ(many.exitCode, 2);
}

TEST(ImageGenerator, ReportsAMissingFontFolder) {
    TempDir dir;
    ProgramRun run = runGenerator(dir.path() + " " + dir.file("no-fonts-here"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.all().find("TTF_OpenFont"), std::string::npos) << run.all();
    EXPECT_NE(run.all().find("no-fonts-here"), std::string::npos) << run.all();
}

TEST(ImageGenerator, ReportsAnOutputFolderItCannotWrite) {
    TempDir dir;
    writeFile(dir.file("plain-file"), "not a folder");
    ProgramRun run = runGenerator(dir.file("plain-file") + " " QM_FONT_DIR);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.all().find("quillmara_imagegen:"), std::string::npos) << run.all();
}

using imagegen::Beneath;
using imagegen::flattenKeyed;
using imagegen::Picture;
using imagegen::RgbImage;

Picture single(imagegen::Rgba value) {
    return Picture{1, 1, {value}};
}

TEST(Flattening, KeyGreenPaintStaysVisible) {
    // Pure green and its near neighbours are legitimate colours in a picture
    // (a lit lamp): once opaque they must not turn transparent.
    for (uint32_t green : {0x00FF00u, 0x07FC07u, 0x03FD01u}) {
        RgbImage out = flattenKeyed(single(imagegen::colour(green)), Beneath{}, 0.5f);
        EXPECT_NE(rgbTo565(out.pixels[0]), KEY_565) << std::hex << green << " became transparent";
        EXPECT_NEAR((out.pixels[0] >> 8) & 0xFF, 0xFF, 4) << "still green";
    }
}

TEST(Flattening, EdgesMixWithWhatLiesBeneathNeverWithGreen) {
    RgbImage red{2, 1, {0xFF0000, 0xFF0000}};
    Picture half{2, 1, {imagegen::colour(0x0000FF, 0.5f), imagegen::colour(0x0000FF, 0.2f)}};
    RgbImage out = flattenKeyed(half, Beneath{&red, 0, 0, 0}, 0.3f);
    uint32_t edge = out.pixels[0];
    EXPECT_NEAR((edge >> 16) & 0xFF, 0x80, 8) << std::hex << edge;
    EXPECT_NEAR(edge & 0xFF, 0x80, 8) << std::hex << edge;
    EXPECT_LT((edge >> 8) & 0xFF, 8) << "no green in the mix";
    EXPECT_EQ(out.pixels[1], 0x00FF00u) << "coverage below the threshold is the key";
}

TEST(Flattening, BackdropSeenThroughAClearPixelKeepsItsLevel) {
    // Dithering must not move a colour that already sits on a 16-bit level,
    // or a seam of changed sky shows round every button.
    RgbImage sky{32, 4, {}};
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            uint32_t r = x, g = 2 * x + y, b = 31 - x;
            sky.pixels.push_back(rgbFrom565(static_cast<uint16_t>(r << 11 | g << 5 | b)));
        }
    Picture clear{32, 4, std::vector<imagegen::Rgba>(128)};
    RgbImage out = flattenKeyed(clear, Beneath{&sky, 0, 0, 0}, 0.0f);
    for (size_t i = 0; i < sky.pixels.size(); ++i)
        EXPECT_EQ(rgbTo565(out.pixels[i]), rgbTo565(sky.pixels[i]))
            << "pixel " << i << std::hex << ": sky " << sky.pixels[i];
}

TEST(Flattening, BmpWriterReplacesItsOwnOutputAndReportsAnUnwritablePath) {
    TempDir dir;
    std::string error;
    // A rebuild writes over the last build's file (the game's writer itself never replaces one).
    ASSERT_TRUE(imagegen::writeBmp24(dir.file("x.bmp"), RgbImage{1, 1, {0x123456}}, &error)) << error;
    ASSERT_TRUE(imagegen::writeBmp24(dir.file("x.bmp"), RgbImage{1, 1, {0xABCDEF}}, &error)) << error;
    EXPECT_EQ(readFile(dir.file("x.bmp")).substr(54, 3), "\xEF\xCD\xAB") << "the second picture";

    EXPECT_FALSE(imagegen::writeBmp24(dir.file("missing/folder/x.bmp"), RgbImage{1, 1, {0}}, &error));
    EXPECT_NE(error.find("missing/folder/x.bmp"), std::string::npos) << error;
}

}  // namespace
}  // namespace art
