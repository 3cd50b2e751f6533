#include "platform/sdl/bmp_decode_sdl.h"

#include <cstdio>
#include <new>
#include <vector>

namespace bmpdecode {

namespace {

bool fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

// The whole content of `rw` from its first byte, for reading through stdio.
bool readAll(SDL_RWops* rw, std::vector<uint8_t>* bytes, std::string* error) {
    const Sint64 size = SDL_RWsize(rw);
    if (size < 0) return fail(error, std::string("cannot tell the file's size: ") + SDL_GetError());
    try {
        bytes->resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return fail(error, "no memory for the file");
    }
    if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0 ||
        (size > 0 && SDL_RWread(rw, bytes->data(), 1, bytes->size()) != bytes->size()))
        return fail(error, std::string("cannot read the file: ") + SDL_GetError());
    return true;
}

template <typename Image>
bool decodeRw(SDL_RWops* rw, Image* image, std::string* error, Path path) {
    *image = Image{};
    std::vector<uint8_t> bytes;
    if (!readAll(rw, &bytes, error)) return false;
    // fmemopen may refuse an empty buffer; a file of no bytes is too short anyway.
    if (bytes.empty()) return fail(error, "file too short for a bitmap header");
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (file == nullptr) return fail(error, "cannot read the file from memory");
    const bool decoded = decode(file, image, error, path);
    std::fclose(file);
    return decoded;
}

}  // namespace

bool decodeOtherVariant(std::FILE* file, int64_t, platform::DecodedImage* image, std::string* error) {
    if (std::fseek(file, 0, SEEK_SET) != 0) return fail(error, "cannot rewind the file");
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_FALSE);
    if (rw == nullptr) return fail(error, std::string("SDL_RWFromFP failed: ") + SDL_GetError());
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
    for (int y = 0; y < rgb->h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                           static_cast<size_t>(y) * rgb->pitch);
        uint32_t* out = image->pixels.data() + static_cast<size_t>(y) * rgb->w;
        for (int x = 0; x < rgb->w; ++x) out[x] = in[x] & 0x00FFFFFFu;
    }
    SDL_FreeSurface(rgb);
    return true;
}

bool decode(SDL_RWops* rw, platform::DecodedImage* image, std::string* error, Path path) {
    return decodeRw(rw, image, error, path);
}

bool decode(SDL_RWops* rw, platform::DecodedImage565* image, std::string* error, Path path) {
    return decodeRw(rw, image, error, path);
}

}  // namespace bmpdecode
