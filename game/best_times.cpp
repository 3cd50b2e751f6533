#include "game/best_times.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "game/scan_int.h"

namespace {

void skipWhiteSpace(std::FILE* file) {
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(static_cast<unsigned char>(c))) c = std::fgetc(file);
    if (c != EOF) std::ungetc(c, file);
}

}  // namespace

bool readBestTimes(const char* path, std::array<int32_t, 4>& times) {
    // Read access is all the screen needs: a read-only file still shows. A
    // folder opens for reading here but is no file of times.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;
    for (int32_t& entry : times) {
        int32_t value = 0;
        if (scanDecimal(file, &value)) {
            entry = value;
            skipWhiteSpace(file);
        }
    }
    std::fclose(file);
    return true;
}
