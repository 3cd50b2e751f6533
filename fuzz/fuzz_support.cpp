#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fuzz {

namespace {

std::string& scratchFolder() {
    static std::string folder;
    return folder;
}

void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
}

}  // namespace

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

const char* writeScratchFile(const uint8_t* data, size_t size) {
    static std::string path;
    if (scratchFolder().empty()) {
        // In memory where the system offers it: every input is written once.
        char inMemory[] = "/dev/shm/quillmara-fuzz-XXXXXX";
        char onDisk[] = "/tmp/quillmara-fuzz-XXXXXX";
        const char* made = mkdtemp(inMemory);
        if (made == nullptr) made = mkdtemp(onDisk);
        check(made != nullptr, "cannot make a scratch folder");
        scratchFolder() = made;
        path = scratchFolder() + "/input.txt";
        std::atexit(removeScratchFolder);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr, "cannot write the scratch file");
    check(size == 0 || std::fwrite(data, 1, size, file) == size, "short write of the scratch file");
    std::fclose(file);
    return path.c_str();
}

}  // namespace fuzz
