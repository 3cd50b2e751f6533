#include "tools/icon/icon_tool.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "tools/icon/icon_image.h"

namespace icon {

namespace {

// The game draws a piece 7 pixels left of and 15 above the hole it sits in.
constexpr int PIECE_DX = -7, PIECE_DY = -15;
constexpr int MIN_SIZE = 16, MAX_SIZE = 1024;

bool parseSize(const std::string& text, int* size) {
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, *size);
    return ec == std::errc() && stop == end && *size >= MIN_SIZE && *size <= MAX_SIZE;
}

// Any bitmap SDL reads, as RGBA with the key colour transparent. The game
// has no alpha, so a fourth channel in the file is ignored.
bool loadKeyed(const std::string& path, RgbaImage* image, std::string* error) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (loaded == nullptr) {
        *error = "cannot read the image " + path + ": " + SDL_GetError();
        return false;
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba == nullptr) {
        *error = "cannot convert the image " + path + ": " + SDL_GetError();
        return false;
    }
    *image = RgbaImage(rgba->w, rgba->h);
    for (int y = 0; y < rgba->h; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        std::copy_n(row, static_cast<size_t>(rgba->w) * 4, &image->pixels[image->at(0, y)]);
    }
    SDL_FreeSurface(rgba);
    for (size_t i = 3; i < image->pixels.size(); i += 4) image->pixels[i] = 255;
    clearKeyColour(*image);
    if (visibleBounds(*image).w == 0) {
        *error = "the image " + path + " holds nothing but the key colour";
        return false;
    }
    return true;
}

bool savePng(const RgbaImage& image, const std::filesystem::path& path, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
        *error = "cannot create the folder " + path.parent_path().string() + ": " + ec.message();
        return false;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.pixels.data()), image.width, image.height, 32,
                                           image.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        *error = std::string("cannot make a surface for the icon: ") + SDL_GetError();
        return false;
    }
    int result = IMG_SavePNG(surface, path.string().c_str());
    SDL_FreeSurface(surface);
    if (result != 0) {
        *error = "cannot write " + path.string() + ": " + SDL_GetError();
        return false;
    }
    return true;
}

}  // namespace

int makeIcons(const std::vector<std::string>& args, std::string* error) {
    if (args.size() < 4) {
        *error = "usage: quillmara_icon HOLE_IMAGE PIECE_IMAGE OUT_FOLDER SIZE...";
        return 1;
    }
    std::vector<int> sizes;
    for (size_t i = 3; i < args.size(); ++i) {
        int size = 0;
        if (!parseSize(args[i], &size)) {
            *error = "bad icon size '" + args[i] + "' (a whole number of pixels from 16 to 1024)";
            return 1;
        }
        sizes.push_back(size);
    }
    RgbaImage hole, piece;
    if (!loadKeyed(args[0], &hole, error) || !loadKeyed(args[1], &piece, error)) return 1;
    const RgbaImage art = paintOver(hole, piece, PIECE_DX, PIECE_DY);
    for (int size : sizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path path = std::filesystem::path(args[2]) / folder / "apps" / "quillmara.png";
        if (!savePng(squareIcon(art, size), path, error)) return 1;
    }
    return 0;
}

}  // namespace icon
