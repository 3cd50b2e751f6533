// The straight path for uncompressed 24- and 32-bit bitmaps must give exactly
// SDL's pixels: every variant below is decoded both ways, as 0x00RRGGBB and
// as RGB565, and compared pixel for pixel. Files the straight path does not
// take still decode (through SDL) to the same result.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/common/bmp_decode.h"
#include "platform/rgb565.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

using bmpdecode::Path;

// A colour per position with every bit of every channel in use somewhere, so
// a swapped channel, a dropped bit or a misplaced row shows.
uint32_t colourAt(int x, int y) {
    return (static_cast<uint32_t>(x * 37 + y * 11) & 0xFF) << 16 | (static_cast<uint32_t>(x * 5 + y * 71) & 0xFF) << 8 |
           (static_cast<uint32_t>(x * 113 + y * 3) & 0xFF);
}

struct Decoded {
    bool ok = false;
    platform::DecodedImage rgb;
    platform::DecodedImage565 packed;
};

Decoded decodeBytes(const std::string& file, Path path) {
    Decoded d;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    std::string error;
    d.ok = bmpdecode::decode(rw, &d.rgb, &error, path);
    const bool packedOk = bmpdecode::decode(rw, &d.packed, &error, path);
    SDL_RWclose(rw);
    EXPECT_EQ(d.ok, packedOk) << "both formats accept the same files";
    return d;
}

// Both paths, both formats: same verdict, same size, same pixels, and the
// 16-bit pixels are the 32-bit ones converted.
void expectSameBothWays(const std::string& name, const std::string& file) {
    const Decoded straight = decodeBytes(file, Path::FAST_WHERE_IT_FITS);
    const Decoded sdl = decodeBytes(file, Path::SDL_ONLY);
    ASSERT_EQ(straight.ok, sdl.ok) << name;
    if (!sdl.ok) return;
    ASSERT_EQ(straight.rgb.width, sdl.rgb.width) << name;
    ASSERT_EQ(straight.rgb.height, sdl.rgb.height) << name;
    ASSERT_EQ(straight.packed.width, sdl.rgb.width) << name;
    ASSERT_EQ(straight.packed.height, sdl.rgb.height) << name;
    ASSERT_EQ(straight.rgb.pixels.size(), sdl.rgb.pixels.size()) << name;
    ASSERT_EQ(straight.packed.pixels.size(), sdl.rgb.pixels.size()) << name;
    for (size_t i = 0; i < sdl.rgb.pixels.size(); ++i) {
        const int x = static_cast<int>(i % static_cast<size_t>(sdl.rgb.width));
        const int y = static_cast<int>(i / static_cast<size_t>(sdl.rgb.width));
        ASSERT_EQ(straight.rgb.pixels[i], sdl.rgb.pixels[i]) << name << ": pixel (" << x << "," << y << ")";
        ASSERT_EQ(straight.packed.pixels[i], rgbTo565(sdl.rgb.pixels[i]))
            << name << ": pixel (" << x << "," << y << ")";
        ASSERT_EQ(sdl.packed.pixels[i], rgbTo565(sdl.rgb.pixels[i])) << name << ": pixel (" << x << "," << y << ")";
    }
}

BmpLayout layout(int width, int height, uint16_t bits, bool topDown, uint32_t fourthByte = 0) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    s.topDown = topDown;
    s.pixels = packRows(width, height, bits, topDown,
                        [fourthByte](int x, int y) { return colourAt(x, y) | (fourthByte * (x + 3 * y)) << 24; });
    return s;
}

TEST(BmpStraightPath, GivesSdlsPixelsForEveryVariantItTakes) {
    struct Case {
        std::string name;
        BmpLayout file;
    };
    std::vector<Case> cases;
    for (int width : {1, 2, 3, 4, 5, 7, 64, 801}) {  // every row padding, and rows wider than a read block's share
        for (uint16_t bits : {uint16_t{24}, uint16_t{32}}) {
            for (bool topDown : {false, true}) {
                const std::string name =
                    std::to_string(width) + " wide, " + std::to_string(bits) + " bits" + (topDown ? ", top-down" : "");
                cases.push_back({name, layout(width, 3, bits, topDown, bits == 32 ? 7 : 0)});
            }
        }
    }
    // Taller than one 64 KB read block holds, so the rows come in several.
    cases.push_back({"800x200, several read blocks", layout(800, 200, 24, false)});
    cases.push_back({"300x300 32-bit top-down, several read blocks", layout(300, 300, 32, true, 1)});
    for (uint32_t header : {12u, 108u, 124u, 64u, 52u, 56u}) {  // the last three stay with SDL
        BmpLayout v = layout(5, 3, 24, false);
        v.headerSize = header;
        cases.push_back({"24-bit, header of " + std::to_string(header), v});
        if (header != 12) {
            BmpLayout w = layout(5, 3, 32, false, 9);
            w.headerSize = header;
            w.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // ignored without bitfields compression
            cases.push_back({"32-bit, header of " + std::to_string(header) + " with masks", w});
        }
    }
    BmpLayout bitfields = layout(5, 3, 32, false);
    bitfields.compression = 3;
    bitfields.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    cases.push_back({"32-bit bitfields (SDL's)", bitfields});
    BmpLayout palette = layout(5, 3, 8, false);
    palette.pixels = packRows(5, 3, 8, false, [](int x, int y) { return uint32_t((x + y) % 4); });
    palette.palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    cases.push_back({"8-bit palette (SDL's)", palette});

    for (const Case& c : cases) expectSameBothWays(c.name, buildBmp(c.file));
}

// The pixel offset is where the rows start, wherever that is: a gap after
// the header and bytes after the last row change nothing.
TEST(BmpStraightPath, ReadsFromThePixelOffsetAndIgnoresTrailingBytes) {
    const std::string plain = buildBmp(layout(5, 3, 24, false));
    const uint32_t offset = 14 + 40;
    std::string gapped = plain.substr(0, offset) + std::string(10, '\x55') + plain.substr(offset);
    const uint32_t moved = offset + 10;
    for (int i = 0; i < 4; ++i) gapped[10 + i] = static_cast<char>(moved >> (8 * i));
    expectSameBothWays("gap before the pixels", gapped);
    expectSameBothWays("bytes after the pixels", plain + std::string(100, '\x7F'));
}

// What the game loads: the file on disk through decodeBmpFile565 equals
// decodeBmpFile's pixels converted, and is refused alike.
TEST(BmpStraightPath, FileDecoderAgreesInBothFormats) {
    TempDir dir;
    struct FileCase {
        const char* name;
        std::string content;
        bool decodes;
    };
    const std::string good = buildBmp(layout(9, 4, 24, true));
    for (const FileCase& c :
         {FileCase{"24-bit", good, true}, FileCase{"32-bit", buildBmp(layout(6, 5, 32, false, 3)), true},
          FileCase{"rows cut short", good.substr(0, good.size() - 5), false}, FileCase{"no file", "", false}}) {
        if (c.content.empty()) {
            std::remove("image.Tex");
        } else {
            writeFile("image.Tex", c.content);
        }
        platform::DecodedImage rgb;
        platform::DecodedImage565 packed;
        std::string rgbError, packedError;
        EXPECT_EQ(platform::decodeBmpFile("image.Tex", &rgb, &rgbError), c.decodes) << c.name;
        EXPECT_EQ(platform::decodeBmpFile565("image.Tex", &packed, &packedError), c.decodes) << c.name;
        EXPECT_EQ(packedError, rgbError) << c.name;
        ASSERT_EQ(packed.pixels.size(), rgb.pixels.size()) << c.name;
        for (size_t i = 0; i < rgb.pixels.size(); ++i) ASSERT_EQ(packed.pixels[i], rgbTo565(rgb.pixels[i])) << c.name;
        if (!c.decodes) {
            EXPECT_EQ(packed.width, 0) << c.name;
        }
    }
    EXPECT_FALSE(platform::decodeBmpFile565(nullptr, nullptr, nullptr));
}

}  // namespace
