#include "tools/imagegen/art.h"

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

    std::vector<OutputFile> files;
    files.push_back({"Tex/Fail.Tex", makeBanner(text, "No more moves", false, playScreen)});
    files.push_back({"Tex/Won.Tex", makeBanner(text, "Well done!", true, playScreen)});
    files.push_back({"Tex/Quillmara.Tex", makeLogo(text, background)});
    files.push_back({"Tex/MousePtr.Tex", makePointer()});
    for (const ButtonSpec& spec : buttonSpecs()) {
        if (std::string(spec.path) == "Tex/Menu/Back.Tex")
            files.push_back({"Tex/Menu/Button.Tex", makeLampStrip(background)});
        files.push_back({spec.path, makeButton(text, spec, background)});
    }
    files.push_back({"Tex/Background.Tex", background});
    files.push_back({"Tex/Help.Tex", makeHelp(text, background)});
    files.push_back({"Tex/Digit.Tex", makeDigits()});
    files.push_back({"Tex/HyphenBlue.Tex", makeSeparator()});
    files.push_back({"Tex/Lamp.Tex", makePiece(board, hole)});
    files.push_back({"Tex/Button1.Tex", hole});
    files.push_back({"Tex/Board.Tex", board});
    return files;
}

}  // namespace imagegen
