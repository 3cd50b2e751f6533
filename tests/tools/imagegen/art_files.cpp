#include "tests/tools/imagegen/art_files.h"

namespace art {

const std::vector<ArtFile>& artFiles() {
    // Overlays are drawn at (33, 270) and must stay off the clock at y 550;
    // the logo at (176, 60) must end above the buttons at y 150; the help
    // panel at (90, 150) must end above Back at y 440 + 10.
    static const std::vector<ArtFile> files = {
        {"Tex/Fail.Tex", 200, 734, 20, 279, true},           {"Tex/Won.Tex", 200, 734, 20, 279, true},
        {"Tex/Quillmara.Tex", 300, 448, 40, 88, true},       {"Tex/MousePtr.Tex", 760, 760, 27, 27, true},
        {"Tex/Menu/Start.Tex", 304, 304, 45, 45, true},      {"Tex/Menu/Options.Tex", 370, 370, 46, 46, true},
        {"Tex/Menu/HighScores.Tex", 408, 408, 45, 45, true}, {"Tex/Menu/Help.Tex", 210, 210, 45, 45, true},
        {"Tex/Menu/Exit.Tex", 340, 340, 46, 46, true},       {"Tex/Menu/Music.Tex", 260, 260, 46, 46, true},
        {"Tex/Menu/Sound.Tex", 242, 242, 46, 46, true},      {"Tex/Menu/Button.Tex", 60, 60, 31, 31, true},
        {"Tex/Menu/Back.Tex", 200, 200, 46, 46, true},       {"Tex/Background.Tex", 800, 800, 600, 600, false},
        {"Tex/Help.Tex", 300, 620, 150, 290, true},          {"Tex/Digit.Tex", 150, 150, 27, 27, true},
        {"Tex/HyphenBlue.Tex", 15, 15, 27, 27, true},        {"Tex/Lamp.Tex", 20, 64, 20, 64, true},
        {"Tex/Button1.Tex", 20, 50, 20, 50, true},           {"Tex/Board.Tex", 800, 800, 600, 600, true},
    };
    return files;
}

const std::vector<ButtonPlace>& mainMenuButtons() {
    static const std::vector<ButtonPlace> buttons = {
        {"Start", 330, 160, 152, 45}, {"High Scores", 305, 245, 204, 45}, {"Options", 315, 330, 185, 46},
        {"Help", 350, 415, 105, 45},  {"Exit", 320, 500, 170, 46},
    };
    return buttons;
}

const std::vector<ButtonPlace>& optionsButtons() {
    static const std::vector<ButtonPlace> buttons = {
        {"Back", 350, 450, 100, 46},
        {"Music", 320, 150, 130, 46},
        {"Sound", 330, 250, 121, 46},
    };
    return buttons;
}

std::string runFile(const std::string& relative) {
    return std::string(QM_RUN_DIR) + "/" + relative;
}

platform::DecodedImage load(const std::string& relative) {
    platform::DecodedImage image;
    std::string error;
    bool ok = platform::decodeBmpFile(runFile(relative).c_str(), &image, &error);
    if (!ok) ADD_FAILURE() << relative << " cannot be read: " << error;
    return image;
}

double luminance(uint32_t rgb) {
    return 0.299 * ((rgb >> 16) & 0xFF) + 0.587 * ((rgb >> 8) & 0xFF) + 0.114 * (rgb & 0xFF);
}

double luminance565(uint16_t v) {
    return luminance(rgbFrom565(v));
}

}  // namespace art
