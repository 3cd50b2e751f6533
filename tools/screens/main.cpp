// quillmara_screens: pictures of every screen of the game, for the README.
//
//   quillmara_screens RUN_FOLDER OUTPUT_FOLDER
//       plays the game on the headless backend with the data in RUN_FOLDER
//       and writes one PNG per screen (main_menu.png, options.png, ...),
//       and levels.png with the boards of the level set, into OUTPUT_FOLDER;
//   quillmara_screens --compare FOLDER FOLDER
//       compares the pictures of the two folders pixel by pixel and names
//       every one that differs or is missing.
//
// Exit code 0 on success (pictures alike), 1 on failure (pictures differ),
// 2 on a wrong command line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/screens/level_boards.h"
#include "tools/screens/png_files.h"
#include "tools/screens/screen_tour.h"

namespace {

namespace fs = std::filesystem;

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s RUN_FOLDER OUTPUT_FOLDER\n       %s --compare FOLDER FOLDER\n", program, program);
    return 2;
}

int writeShots(const fs::path& run, const fs::path& output) {
    std::error_code failure;
    fs::create_directories(output, failure);
    if (failure) {
        std::fprintf(stderr, "quillmara_screens: cannot make %s: %s\n", output.c_str(), failure.message().c_str());
        return 1;
    }
    fs::current_path(run, failure);
    if (failure) {
        std::fprintf(stderr, "quillmara_screens: cannot enter %s: %s\n", run.c_str(), failure.message().c_str());
        return 1;
    }
    std::vector<tour::Shot> shots;
    std::string error;
    if (!tour::takeShots(&shots, &error)) {
        std::fprintf(stderr, "quillmara_screens: %s\n", error.c_str());
        return 1;
    }
    shots.emplace_back();
    if (!tour::takeLevelsPicture(&shots.back(), &error)) {
        std::fprintf(stderr, "quillmara_screens: %s\n", error.c_str());
        return 1;
    }
    for (const tour::Shot& shot : shots)
        if (!tour::writePng((output / (shot.name + ".png")).string(), shot.pixels, &error)) {
            std::fprintf(stderr, "quillmara_screens: %s\n", error.c_str());
            return 1;
        }
    return 0;
}

// Rounding may move a few pixels by one step; anything more is a change.
int compareShots(const fs::path& a, const fs::path& b) {
    int differing = 0;
    std::vector<std::string> names = tour::shotNames();
    names.push_back(tour::LEVELS_PICTURE);
    for (const std::string& name : names) {
        std::vector<uint16_t> first, second;
        std::string error;
        if (!tour::readPng((a / (name + ".png")).string(), &first, &error) ||
            !tour::readPng((b / (name + ".png")).string(), &second, &error)) {
            std::fprintf(stderr, "%s.png: %s\n", name.c_str(), error.c_str());
            ++differing;
            continue;
        }
        tour::Difference d = tour::compare(first, second);
        if (d.farApart > 0 || d.changed > static_cast<int>(first.size() / 100)) {
            std::fprintf(stderr, "%s.png differs: %d pixels changed, %d of them clearly (first at %d, %d)\n",
                         name.c_str(), d.changed, d.farApart, d.firstX, d.firstY);
            ++differing;
        }
    }
    return differing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) return usage(argv[0]);
    if (std::string(argv[1]) == "--compare") return argc == 4 ? compareShots(argv[2], argv[3]) : usage(argv[0]);
    if (argc != 3 || argv[1][0] == '-') return usage(argv[0]);
    // The output folder is taken before the tour enters the run folder.
    return writeShots(argv[1], fs::absolute(argv[2]));
}
