// Windows bitmap decoding for both backends, over SDL's BMP loader.
//
// SDL's loader reads every common variant, but it trusts the header: a few
// bytes claiming a 30000x30000 image make it allocate gigabytes before it
// notices the pixels are missing. So the header is checked here first, and
// only a file whose pixel data can be there is handed on. The game has no
// alpha, so the loader's alpha channel (taken from a 32-bit file's fourth
// byte, or transparent for a version-5 file with an empty alpha) is dropped.
#include <SDL.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

// Far beyond any image of the game (the largest is 800x600), small enough
// that a hostile header cannot exhaust memory.
constexpr int64_t MAX_SIDE = 16384;
constexpr int64_t MAX_PIXELS = int64_t{1} << 24;

constexpr uint32_t FILE_HEADER_BYTES = 14;
constexpr uint32_t CORE_HEADER_BYTES = 12;  // OS/2 1.x: 16-bit sides
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t LARGEST_HEADER_BYTES = 124;  // version 5

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

uint32_t le16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

// Reads the headers from `rw` (left at an unknown position) and refuses
// anything SDL would misread, or could only read by allocating far too much.
bool checkHeaders(SDL_RWops* rw, std::string* error) {
    const Sint64 fileSize = SDL_RWsize(rw);
    if (fileSize < 0) return fail(error, std::string("cannot tell the file's size: ") + SDL_GetError());
    uint8_t head[FILE_HEADER_BYTES + LARGEST_HEADER_BYTES] = {};
    const size_t want = static_cast<size_t>(fileSize < static_cast<Sint64>(sizeof head) ? fileSize : sizeof head);
    if (want < FILE_HEADER_BYTES + 4) return fail(error, "file too short for a bitmap header");
    if (SDL_RWread(rw, head, 1, want) != want)
        return fail(error, std::string("cannot read the bitmap header: ") + SDL_GetError());
    if (head[0] != 'B' || head[1] != 'M') return fail(error, "not a bitmap file (no BM signature)");

    const uint32_t pixelOffset = le32(head + 10);
    const uint32_t headerSize = le32(head + 14);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = BI_RGB;
    if (headerSize == CORE_HEADER_BYTES) {
        if (want < FILE_HEADER_BYTES + CORE_HEADER_BYTES) return fail(error, "bitmap header truncated");
        width = le16(head + 18);
        height = le16(head + 20);
        bits = le16(head + 24);
    } else if (headerSize >= INFO_HEADER_BYTES) {
        if (want < FILE_HEADER_BYTES + INFO_HEADER_BYTES || FILE_HEADER_BYTES + int64_t{headerSize} > fileSize)
            return fail(error, "bitmap header truncated");
        width = static_cast<int32_t>(le32(head + 18));
        height = static_cast<int32_t>(le32(head + 22));
        bits = le16(head + 28);
        compression = le32(head + 30);
    } else {
        return fail(error, "unsupported bitmap header size " + std::to_string(headerSize));
    }

    if (height < 0) height = -height;  // top-down rows; int64 holds -INT32_MIN
    if (width <= 0 || height == 0)
        return fail(error, "bad bitmap dimensions " + std::to_string(width) + "x" + std::to_string(height));
    if (width > MAX_SIDE || height > MAX_SIDE || width * height > MAX_PIXELS)
        return fail(error, "bitmap too large (" + std::to_string(width) + "x" + std::to_string(height) + ")");

    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(error, "unsupported " + std::to_string(bits) + " bits per pixel");
    const bool compressionFits = (compression == BI_RGB) || (compression == BI_RLE8 && bits == 8) ||
                                 (compression == BI_RLE4 && bits == 4) ||
                                 (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
    if (!compressionFits)
        return fail(error, "unsupported compression " + std::to_string(compression) + " at " + std::to_string(bits) +
                               " bits per pixel");

    if (pixelOffset < FILE_HEADER_BYTES + headerSize || pixelOffset >= fileSize)
        return fail(error, "bad pixel data offset " + std::to_string(pixelOffset));
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        const int64_t rowBytes = (width * bits + 31) / 32 * 4;
        if (pixelOffset + rowBytes * height > fileSize)
            return fail(error, "pixel data truncated (" + std::to_string(rowBytes * height) + " bytes expected, " +
                                   std::to_string(fileSize - pixelOffset) + " present)");
    }
    return true;
}

}  // namespace

bool decodeBmpFile(const char* path, DecodedImage* image, std::string* error) {
    if (image != nullptr) *image = DecodedImage{};
    if (path == nullptr || image == nullptr) return fail(error, "no file or no image given");

    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) return fail(error, std::string("SDL_RWFromFile failed: ") + SDL_GetError());
    if (!checkHeaders(rw, error)) {
        SDL_RWclose(rw);
        return false;
    }
    if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0) {
        std::string reason = std::string("cannot rewind the file: ") + SDL_GetError();
        SDL_RWclose(rw);
        return fail(error, reason);
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (loaded == nullptr) return fail(error, std::string("SDL_LoadBMP_RW failed: ") + SDL_GetError());

    // Copy, never blend: blending would mix a transparent pixel with black.
    SDL_SetSurfaceBlendMode(loaded, SDL_BLENDMODE_NONE);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(loaded);
    if (rgb == nullptr) return fail(error, std::string("SDL_ConvertSurfaceFormat failed: ") + SDL_GetError());

    image->width = rgb->w;
    image->height = rgb->h;
    image->pixels.resize(static_cast<size_t>(rgb->w) * static_cast<size_t>(rgb->h));
    const auto* rows = static_cast<const uint8_t*>(rgb->pixels);
    for (int y = 0; y < rgb->h; ++y) {
        uint32_t* out = image->pixels.data() + static_cast<size_t>(y) * rgb->w;
        std::memcpy(out, rows + static_cast<size_t>(y) * rgb->pitch, static_cast<size_t>(rgb->w) * 4);
        for (int x = 0; x < rgb->w; ++x) out[x] &= 0x00FFFFFF;
    }
    SDL_FreeSurface(rgb);
    return true;
}

}  // namespace platform
