#include "display/bmp_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

void put16(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* at, uint32_t v) {
    put16(at, v & 0xFFFFu);
    put16(at + 2, v >> 16);
}

// Writes all of `data`, going on after a short write. False on any error,
// with errno set.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        if (written == 0) {
            errno = ENOSPC;  // no progress and no reason given
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

void writeBmp24Headers(uint8_t* h, int32_t width, int32_t height) {
    // File header (14 bytes, packed).
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, bmp24FileBytes(width, height));
    put32(h + 6, 0);  // two reserved words
    put32(h + 10, BMP24_HEADER_BYTES);
    // Info header (40 bytes).
    put32(h + 14, 40);
    put32(h + 18, static_cast<uint32_t>(width));
    put32(h + 22, static_cast<uint32_t>(height));
    put16(h + 26, 1);   // planes
    put16(h + 28, 24);  // bits per pixel
    put32(h + 30, 0);   // no compression
    put32(h + 34, bmp24RowBytes(width) * static_cast<uint32_t>(height));
    for (int at = 38; at < 54; at += 4) put32(h + at, 0);  // resolution, colours used, important colours
}

NewFileResult writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes, int* error) {
    int fd;
    do {
        // Taken exclusively: whatever stands at `path` already stays as it is.
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == EEXIST) return NewFileResult::EXISTS;
        if (error != nullptr) *error = errno;
        return NewFileResult::FAILED;
    }
    const bool written = writeAll(fd, bytes.data(), bytes.size());
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed) return NewFileResult::WRITTEN;
    if (error != nullptr) *error = written ? errno : writeErrno;
    // A short file would only look like a broken picture.
    ::unlink(path.c_str());
    return NewFileResult::FAILED;
}
