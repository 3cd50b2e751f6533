#include "platform/common/sound_file_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

void setError(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
}

}  // namespace

bool soundFileLooksPlayable(const char* path, std::string* error) {
    if (path == nullptr || *path == '\0') {
        setError(error, "no sound file named");
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        setError(error, std::string("cannot open ") + path + ": " + std::strerror(errno));
        return false;
    }
    unsigned char head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, file);
    // A folder opens but cannot be read: say why rather than "too short".
    bool readFailed = std::ferror(file) != 0;
    int readErrno = errno;
    std::fclose(file);
    if (readFailed) {
        setError(error, std::string("cannot read ") + path + ": " + std::strerror(readErrno));
        return false;
    }
    if (got >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) return true;
    if (got >= 4 && std::memcmp(head, "OggS", 4) == 0) return true;
    setError(error, std::string(path) + " is neither a WAV nor an Ogg file");
    return false;
}

void writeMessageToStderr(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
    std::fflush(stderr);
}

}  // namespace platform
