// The generated art as tests see it: the files in the run folder, decoded,
// with the colour facts the game relies on.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rgb565.h"
#include "platform/platform.h"

namespace art {

constexpr uint32_t GREEN = 0x00FF00;
constexpr uint16_t KEY_565 = 0x07E0;

// Each generated file with the layout facts the game relies on. Fixed
// sizes have maxWidth == minWidth; the others give bounds.
struct ArtFile {
    const char* path;  // under the run folder, e.g. "Tex/Menu/Start.Tex"
    int minWidth, maxWidth;
    int minHeight, maxHeight;
    bool keyed;
};
const std::vector<ArtFile>& artFiles();

// A menu button: its caption, where the game draws it and its frame size.
struct ButtonPlace {
    const char* name;
    int x, y, width, height;
};
const std::vector<ButtonPlace>& mainMenuButtons();
const std::vector<ButtonPlace>& optionsButtons();  // Back, Music, Sound

// The full path of a generated file in the build's run folder.
std::string runFile(const std::string& relative);

// Loads a generated file; when it cannot, records a test failure naming the
// file and returns an empty image.
platform::DecodedImage load(const std::string& relative);

inline uint32_t pixel(const platform::DecodedImage& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFF;
}

// The key is every colour that the game's conversion turns into KEY_565.
inline bool isKey(uint32_t rgb) {
    return rgbTo565(rgb) == KEY_565;
}

// Perceived brightness 0..255 of a colour, or of an RGB565 value.
double luminance(uint32_t rgb);
double luminance565(uint16_t value);

}  // namespace art
