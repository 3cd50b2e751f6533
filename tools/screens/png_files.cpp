#include "tools/screens/png_files.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>

#include "platform/rgb565.h"

namespace tour {

namespace {
constexpr int WIDTH = 800, HEIGHT = 600;
}

bool writePng(const std::string& path, const std::vector<uint16_t>& pixels, std::string* error) {
    if (pixels.size() != static_cast<size_t>(WIDTH) * HEIGHT) {
        *error = path + ": not an 800x600 picture";
        return false;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 24, SDL_PIXELFORMAT_RGB24);
    if (!surface) {
        *error = std::string("SDL_CreateRGBSurfaceWithFormat failed: ") + SDL_GetError();
        return false;
    }
    for (int y = 0; y < HEIGHT; ++y) {
        auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < WIDTH; ++x) {
            const uint32_t rgb = rgbFrom565(pixels[static_cast<size_t>(y) * WIDTH + x]);
            row[3 * x] = static_cast<uint8_t>(rgb >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(rgb >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(rgb);
        }
    }
    bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    if (!ok) *error = "IMG_SavePNG(" + path + ") failed: " + IMG_GetError();
    SDL_FreeSurface(surface);
    return ok;
}

bool readPng(const std::string& path, std::vector<uint16_t>* pixels, std::string* error) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        *error = "IMG_Load(" + path + ") failed: " + IMG_GetError();
        return false;
    }
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (!rgb) {
        *error = path + ": SDL_ConvertSurfaceFormat failed: " + SDL_GetError();
        return false;
    }
    bool ok = rgb->w == WIDTH && rgb->h == HEIGHT;
    if (!ok) *error = path + ": " + std::to_string(rgb->w) + "x" + std::to_string(rgb->h) + ", not 800x600";
    if (ok) {
        pixels->assign(static_cast<size_t>(WIDTH) * HEIGHT, 0);
        for (int y = 0; y < HEIGHT; ++y) {
            const auto* row = static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch;
            for (int x = 0; x < WIDTH; ++x)
                (*pixels)[static_cast<size_t>(y) * WIDTH + x] =
                    rgbTo565(static_cast<uint32_t>(row[3 * x]) << 16 | row[3 * x + 1] << 8 | row[3 * x + 2]);
        }
    }
    SDL_FreeSurface(rgb);
    return ok;
}

Difference compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    Difference d;
    if (a.size() != b.size()) {
        d.changed = d.farApart = static_cast<int>(std::max(a.size(), b.size()));
        return d;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        ++d.changed;
        int dr = std::abs((a[i] >> 11) - (b[i] >> 11));
        int dg = std::abs(((a[i] >> 5) & 0x3F) - ((b[i] >> 5) & 0x3F));
        int db = std::abs((a[i] & 0x1F) - (b[i] & 0x1F));
        if (dr > 1 || dg > 1 || db > 1) {
            if (d.farApart++ == 0) {
                d.firstX = static_cast<int>(i % WIDTH);
                d.firstY = static_cast<int>(i / WIDTH);
            }
        }
    }
    return d;
}

}  // namespace tour
