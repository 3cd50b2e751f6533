#include "tests/support/stand_in_assets.h"

#include <stdexcept>

#include "tests/support/test_files.h"

namespace standin {

const std::vector<Image>& images() {
    static const std::vector<Image> list = {
        {"Tex/Fail.Tex", 734, 60, 0xC02020, 0xC02020},
        {"Tex/Won.Tex", 734, 60, 0x20A0C0, 0x20A0C0},
        {"Tex/Quillmara.Tex", 448, 88, 0xE0B040, 0xE0B040},
        {"Tex/MousePtr.Tex", 760, 27, 0, 0},
        {"Tex/Menu/Start.Tex", 304, 45, 0x806020, 0xF0C060},
        {"Tex/Menu/Options.Tex", 370, 46, 0x806028, 0xF0C068},
        {"Tex/Menu/HighScores.Tex", 408, 45, 0x806030, 0xF0C070},
        {"Tex/Menu/Help.Tex", 210, 45, 0x806038, 0xF0C078},
        {"Tex/Menu/Exit.Tex", 340, 46, 0x806040, 0xF0C080},
        {"Tex/Menu/Music.Tex", 260, 46, 0x806048, 0xF0C088},
        {"Tex/Menu/Sound.Tex", 242, 46, 0x806050, 0xF0C090},
        {"Tex/Menu/Button.Tex", 60, 31, LAMP_ON, LAMP_OFF},
        {"Tex/Menu/Back.Tex", 200, 46, 0x806058, 0xF0C098},
        {"Tex/Background.Tex", 800, 600, 0x102040, 0x102040},
        {"Tex/Help.Tex", 620, 290, 0xD0D0D0, 0xD0D0D0},
        {"Tex/Digit.Tex", 150, 27, 0, 0},
        {"Tex/HyphenBlue.Tex", 15, 27, 0x2080F8, 0x2080F8},
        {"Tex/Lamp.Tex", 36, 44, 0xF8A000, 0xF8A000},
        {"Tex/Button1.Tex", 40, 40, 0x302010, 0x302010},
        {"Tex/Board.Tex", 800, 600, 0x604020, 0x604020},
    };
    return list;
}

const Image& image(const std::string& path) {
    for (const Image& i : images())
        if (path == i.path) return i;
    throw std::runtime_error("no stand-in image " + path);
}

uint32_t digitColour(int digit) { return 0x000040u + (static_cast<uint32_t>(digit) << 19) + 0x0800u; }

uint32_t pointerFrameColour(int frame) { return 0xF80000u + (static_cast<uint32_t>(frame) << 3); }

namespace {
uint32_t pixelOf(const Image& img, int x, int y) {
    const std::string path = img.path;
    if (path == "Tex/Digit.Tex") {
        int d = x / 15;
        return x % 15 == 0 && y == 0 ? GREEN : digitColour(d > 9 ? 9 : d);
    }
    if (path == "Tex/MousePtr.Tex") {
        int f = x / 38;
        return x % 38 == 0 && y == 0 ? GREEN : pointerFrameColour(f);
    }
    if (path == "Tex/Board.Tex") {
        // The backdrop lets the background show through its outer border.
        bool inner = x >= 150 && x < 650 && y >= 50 && y < 550;
        return inner ? img.colour : GREEN;
    }
    bool twoFrames = img.colour != img.hoverColour;
    int frameWidth = twoFrames ? img.width / 2 : img.width;
    int fx = x % frameWidth;
    if (fx == 0 && y == 0) return GREEN;
    return twoFrames && x >= frameWidth ? img.hoverColour : img.colour;
}
}  // namespace

Board defaultLevel() {
    return boardFromPicture(
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        "x o x o o . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . . . . . . .\n");
}

void writeLevel(const Board& level, const std::string& folder) { writeFile(folder + "/Tex/Level.txt", levelText(level)); }

void writeBestTimes(const std::string& content, const std::string& folder) {
    writeFile(folder + "/config0.bst", content);
}

void writeAll(const std::string& folder) {
    for (const Image& img : images()) {
        writeBmp24(folder + "/" + img.path, img.width, img.height, [&](int x, int y) { return pixelOf(img, x, y); });
    }
    writeLevel(defaultLevel(), folder);
    writeBestTimes("61 3599 3600 7322\n", folder);
    for (const char* sound : {"Sound/BkGnd.mus", "Sound/Button.aud", "Sound/Explode.aud", "Sound/Success.aud"}) {
        writeFile(folder + "/" + sound, makeSilentWav());
    }
}

}  // namespace standin
