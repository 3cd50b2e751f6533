// The game's twenty images, one maker per group.
//
// Each maker paints a picture and flattens it into final pixels. Keyed
// images are flattened against what the game draws beneath them (the
// background, the board), so their smoothed edges fit the screen exactly;
// that is why the makers take the backdrops they are drawn over.
#pragma once

#include <string>
#include <vector>

#include "tools/imagegen/output.h"
#include "tools/imagegen/text.h"

namespace imagegen {

// Where the game draws things, in screen pixels of the 800x600 picture.
namespace screen {
constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int GRID_LEFT = 175;  // cell (r, c) starts at (175 + 50c, 75 + 50r)
constexpr int GRID_TOP = 75;
constexpr int CELL = 50;
constexpr int PIECE_DX = -7;  // piece image relative to its hole image
constexpr int PIECE_DY = -15;
constexpr int LOGO_X = 176, LOGO_Y = 60;
constexpr int HELP_X = 90, HELP_Y = 150;
constexpr int BANNER_X = 33, BANNER_Y = 270;
constexpr int CLOCK_X = 100, CLOCK_Y = 550;
constexpr int MUSIC_LAMP_X = 460, MUSIC_LAMP_Y = 158;
}  // namespace screen

// One named output file: the path under the output folder and its pixels.
struct OutputFile {
    std::string path;  // e.g. "Tex/Menu/Start.Tex"
    RgbImage image;
};

// Side by side, left to right (all of the same height).
RgbImage joinStrip(const std::vector<RgbImage>& frames);

// art_backdrop.cpp: the night sky behind every screen (opaque), and the
// play-screen backdrop flattened over it (pure green outside the frame).
RgbImage makeBackground();
RgbImage makeBoard(const RgbImage& background);

// art_pieces.cpp: the hole and the piece; `board` is the backdrop they sit on.
RgbImage makeHole(const RgbImage& board);
RgbImage makePiece(const RgbImage& board, const RgbImage& hole);

// art_buttons.cpp: the two-frame menu buttons and the on/off lamp strip.
// Each button is flattened against the background at its screen position.
struct ButtonSpec {
    const char* path;
    const char* label;
    int frameWidth;
    int frameHeight;
    int x, y;  // where the game draws it
};
const std::vector<ButtonSpec>& buttonSpecs();
RgbImage makeButton(TextRenderer& text, const ButtonSpec& spec, const RgbImage& background);
RgbImage makeLampStrip(const RgbImage& background);

// art_led.cpp: the digit strip and the clock separator; art_pointer.cpp:
// the pointer strip.
RgbImage makeDigits();
RgbImage makeSeparator();
RgbImage makePointer();

// art_panels.cpp: the logo and the two end-of-game banners; art_help.cpp:
// the help panel.
RgbImage makeLogo(TextRenderer& text, const RgbImage& background);
RgbImage makeHelp(TextRenderer& text, const RgbImage& background);
RgbImage makeBanner(TextRenderer& text, const char* caption, bool won, const RgbImage& playScreen);

// Every file of the game's image list (display/image_list.h), in its load
// order. `fontFolder` holds the DejaVu fonts. Throws std::runtime_error when
// the list and the painters disagree.
std::vector<OutputFile> makeAllArt(const std::string& fontFolder);

}  // namespace imagegen
