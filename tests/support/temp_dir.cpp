#include "tests/support/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

TempDir::TempDir(Cwd cwd) {
    char pattern[] = "/tmp/quillmara-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (cwd == Cwd::Keep) return;
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) != nullptr) previous_ = buffer.data();
    if (chdir(path_.c_str()) != 0) throw std::runtime_error("chdir failed");
}

TempDir::~TempDir() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the folder is still removed.
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
