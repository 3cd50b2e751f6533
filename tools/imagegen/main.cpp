// quillmara_imagegen: writes the game's twenty images.
//
//   quillmara_imagegen OUTPUT_FOLDER [FONT_FOLDER]
//
// Writes OUTPUT_FOLDER/Tex/*.Tex and OUTPUT_FOLDER/Tex/Menu/*.Tex as 24-bit
// BMP files. FONT_FOLDER holds the DejaVu fonts (default: Debian's). The
// same inputs always give the same bytes. Exit code 0 on success, 1 when an
// image cannot be made or written, 2 on a wrong command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/imagegen/art.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [FONT_FOLDER]\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];
    const std::string fonts = argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    try {
        // Folders first, so a wrong output folder fails before any painting.
        std::filesystem::create_directories(std::filesystem::path(output) / "Tex" / "Menu");
        std::vector<imagegen::OutputFile> files = imagegen::makeAllArt(fonts);
        for (const imagegen::OutputFile& file : files) {
            std::filesystem::path path = std::filesystem::path(output) / file.path;
            std::string error;
            if (!imagegen::writeBmp24(path.string(), file.image, &error)) {
                std::fprintf(stderr, "quillmara_imagegen: %s\n", error.c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmara_imagegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
