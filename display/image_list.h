// The game's twenty images: file, GameApp field, and whether the colour key
// applies. The loader, the teardown and the image generator all go by this
// one table, and the build reads the file names from it, so an image is
// added or renamed here and nowhere else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

#include "app/game_app.h"

struct ImageEntry {
    const char* path;  // from the current folder
    std::unique_ptr<Surface> GameApp::*field;
    bool keyed;           // pure green is transparent
    uint8_t releaseSlot;  // 0-based place in the teardown's order
};

inline constexpr bool KEYED = true;
inline constexpr bool OPAQUE = false;

// Load order. A failure stops the loading, so the files before it are held
// (and released by the teardown) and the files after it are never read.
// Keep one entry a line: the build reads the paths from these lines.
inline constexpr ImageEntry IMAGES[] = {
    {"Tex/Fail.Tex", &GameApp::texFail, KEYED, 0},
    {"Tex/Won.Tex", &GameApp::texWon, KEYED, 1},
    {"Tex/Quillmara.Tex", &GameApp::texLogo, KEYED, 2},
    {"Tex/MousePtr.Tex", &GameApp::texMousePtr, KEYED, 4},
    {"Tex/Menu/Start.Tex", &GameApp::texMenuStart, KEYED, 8},
    {"Tex/Menu/Options.Tex", &GameApp::texMenuOptions, KEYED, 13},
    {"Tex/Menu/HighScores.Tex", &GameApp::texMenuHighScores, KEYED, 14},
    {"Tex/Menu/Help.Tex", &GameApp::texMenuHelp, KEYED, 6},
    {"Tex/Menu/Exit.Tex", &GameApp::texMenuExit, KEYED, 7},
    {"Tex/Menu/Music.Tex", &GameApp::texMenuMusic, KEYED, 9},
    {"Tex/Menu/Sound.Tex", &GameApp::texMenuSound, KEYED, 10},
    {"Tex/Menu/Button.Tex", &GameApp::texMenuButton, KEYED, 11},
    {"Tex/Menu/Back.Tex", &GameApp::texMenuBack, KEYED, 12},
    {"Tex/Background.Tex", &GameApp::texBackground, OPAQUE, 3},
    {"Tex/Help.Tex", &GameApp::texHelp, KEYED, 5},
    {"Tex/Digit.Tex", &GameApp::texDigit, KEYED, 15},
    {"Tex/HyphenBlue.Tex", &GameApp::texHyphenBlue, KEYED, 16},
    {"Tex/Lamp.Tex", &GameApp::texLamp, KEYED, 17},
    {"Tex/Button1.Tex", &GameApp::texButton1, KEYED, 18},
    {"Tex/Board.Tex", &GameApp::texBoard, KEYED, 19},
};
inline constexpr size_t IMAGE_COUNT = std::size(IMAGES);

// The table in the teardown's order; every slot is taken exactly once (or
// the build fails here).
constexpr std::array<const ImageEntry*, IMAGE_COUNT> imagesInReleaseOrder() {
    std::array<const ImageEntry*, IMAGE_COUNT> order{};
    for (const ImageEntry& image : IMAGES) {
        if (image.releaseSlot >= IMAGE_COUNT || order[image.releaseSlot] != nullptr) throw "release slots clash";
        order[image.releaseSlot] = &image;
    }
    return order;
}
inline constexpr std::array<const ImageEntry*, IMAGE_COUNT> IMAGES_IN_RELEASE_ORDER = imagesInReleaseOrder();
