#include "tools/imagegen/art.h"

#include <map>
#include <stdexcept>
#include <utility>

#include "display/image_list.h"

namespace imagegen {

RgbImage joinStrip(const std::vector<RgbImage>& frames) {
    RgbImage strip;
    for (const RgbImage& f : frames) strip.width += f.width;
    strip.height = frames.empty() ? 0 : frames.front().height;
    strip.pixels.resize(static_cast<size_t>(strip.width) * strip.height);
    int left = 0;
    for (const RgbImage& f : frames) {
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) strip.at(left + x, y) = f.at(x, y);
        left += f.width;
    }
    return strip;
}

std::vector<OutputFile> makeAllArt(const std::string& fontFolder) {
    TextRenderer text(fontFolder);
    const RgbImage background = makeBackground();
    const RgbImage board = makeBoard(background);
    RgbImage playScreen = background;
    copyKeyedOnto(playScreen, board, 0, 0);
    const RgbImage hole = makeHole(board);

    std::map<std::string, RgbImage> painted;
    painted["Tex/Fail.Tex"] = makeBanner(text, "No more moves", false, playScreen);
    painted["Tex/Won.Tex"] = makeBanner(text, "Well done!", true, playScreen);
    painted["Tex/Quillmara.Tex"] = makeLogo(text, background);
    painted["Tex/MousePtr.Tex"] = makePointer();
    for (const ButtonSpec& spec : buttonSpecs()) painted[spec.path] = makeButton(text, spec, background);
    painted["Tex/Menu/Button.Tex"] = makeLampStrip(background);
    painted["Tex/Background.Tex"] = background;
    painted["Tex/Help.Tex"] = makeHelp(text, background);
    painted["Tex/Digit.Tex"] = makeDigits();
    painted["Tex/HyphenBlue.Tex"] = makeSeparator();
    painted["Tex/Lamp.Tex"] = makePiece(board, hole);
    painted["Tex/Button1.Tex"] = hole;
    painted["Tex/Board.Tex"] = board;

    // The game's list decides which files exist and their order; a listed
    // image nobody paints, or a painted one the game never loads, is a bug.
    std::vector<OutputFile> files;
    for (const ImageEntry& entry : IMAGES) {
        auto found = painted.find(entry.path);
        if (found == painted.end()) throw std::runtime_error(std::string("no painter for ") + entry.path);
        files.push_back({entry.path, std::move(found->second)});
        painted.erase(found);
    }
    if (!painted.empty()) throw std::runtime_error(painted.begin()->first + " is painted but not in the game's list");
    return files;
}

}  // namespace imagegen
