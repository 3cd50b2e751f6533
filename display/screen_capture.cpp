#include "display/screen_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <limits>
#include <string>

#include "platform/platform.h"

int32_t screenshotCounter = 0;

namespace {

constexpr uint32_t ROW_BYTES = platform::PICTURE_WIDTH * 3u;

void put16(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* at, uint32_t v) {
    put16(at, v & 0xFFFFu);
    put16(at + 2, v >> 16);
}

// Widening by repeating the top bits maps 0 to 0 and the channel's maximum to 255.
uint8_t widen5(uint32_t v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}
uint8_t widen6(uint32_t v) {
    return static_cast<uint8_t>((v << 2) | (v >> 4));
}

// Writes all of `data`, going on after a short write. False on any error.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::vector<uint8_t> encodeScreenshot(const uint16_t* pixels) {
    std::vector<uint8_t> file(SCREENSHOT_FILE_BYTES, 0);
    uint8_t* h = file.data();
    // File header (14 bytes, packed).
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, SCREENSHOT_FILE_BYTES);
    put32(h + 6, 0);  // two reserved words
    put32(h + 10, SCREENSHOT_HEADER_BYTES);
    // Info header (40 bytes). A positive height means the rows run bottom-up.
    put32(h + 14, 40);
    put32(h + 18, platform::PICTURE_WIDTH);
    put32(h + 22, platform::PICTURE_HEIGHT);
    put16(h + 26, 1);   // planes
    put16(h + 28, 24);  // bits per pixel
    put32(h + 30, 0);   // no compression
    put32(h + 34, SCREENSHOT_IMAGE_BYTES);
    // Resolution, colours used and important colours stay 0.

    if (pixels == nullptr) return file;  // black
    for (int32_t y = 0; y < platform::PICTURE_HEIGHT; ++y) {
        const uint16_t* src = pixels + static_cast<size_t>(y) * platform::PICTURE_WIDTH;
        uint8_t* dst =
            file.data() + SCREENSHOT_HEADER_BYTES + static_cast<size_t>(platform::PICTURE_HEIGHT - 1 - y) * ROW_BYTES;
        for (int32_t x = 0; x < platform::PICTURE_WIDTH; ++x, dst += 3) {
            const uint32_t p = src[x];
            dst[0] = widen5(p & 0x1Fu);
            dst[1] = widen6((p >> 5) & 0x3Fu);
            dst[2] = widen5(p >> 11);
        }
    }
    return file;
}

void captureScreen() {
    std::vector<uint8_t> file;
    try {
        file = encodeScreenshot(platform::displayLastPresented());
    } catch (const std::exception&) {
        // No memory for the picture: like an uncreatable file, the number is
        // used up and the game goes on.
        if (screenshotCounter < std::numeric_limits<int32_t>::max()) ++screenshotCounter;
        return;
    }

    // The first free name is taken exclusively, so a screenshot of an earlier
    // run (or any other file of that name) is never replaced.
    while (screenshotCounter < std::numeric_limits<int32_t>::max()) {
        const std::string name = "GAME" + std::to_string(screenshotCounter) + ".bmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EINTR) continue;
        ++screenshotCounter;
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;  // cannot be created here: skipped silently
        }
        const bool written = writeAll(fd, file.data(), file.size());
        const bool closed = ::close(fd) == 0;
        // A short file (disk full) would only look like a broken picture.
        if (!written || !closed) ::unlink(name.c_str());
        return;
    }
}
