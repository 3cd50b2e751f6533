// The display device in the browser: the picture goes 1:1 onto the page's
// 800x600 canvas (the page's CSS scales it). Only the tiles that changed are
// converted from RGB565 and put on the canvas.
#include <emscripten.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/rgb565.h"
#include "platform/web/web_backend.h"

EM_JS(bool, openCanvas, (), { return QM.openCanvas(); });

EM_JS(void, putRects, (const uint8_t* rgba, const int32_t* rects, int count), { QM.present(rgba, rects, count); });

EM_JS(void, markFirstPicture, (), { QM.markFirstPicture(); });

namespace platform {

// The canvas as the game holds it; the back buffer is the RGBA copy of the
// picture that the canvas is filled from.
struct PrimarySurface {
    bool held = false;
    std::vector<uint32_t> rgba;  // empty while no back buffer
};

namespace {

constexpr int TILE = PRESENT_TILE;

PrimarySurface thePrimary;

// Survives every release: the screenshot reads it, also while suspended.
// While the canvas is known to show it, a present compares with it.
std::array<uint16_t, PICTURE_PIXELS> lastPicture;
bool anyPresented = false;
bool canvasShowsLastPicture = false;

// RGB565 to the canvas's bytes (red, green, blue, opaque), widened as the
// screenshot widens it, so the canvas shows what F9 writes.
const std::array<uint32_t, 65536>& rgbaTable() {
    static const auto table = [] {
        auto* t = new std::array<uint32_t, 65536>;
        for (uint32_t p = 0; p < t->size(); ++p) {
            const uint32_t rgb = rgbFrom565(static_cast<uint16_t>(p));
            (*t)[p] = 0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
        }
        return t;
    }();
    return *table;
}

int tileRight(int tx) {
    return tx * TILE + TILE < PICTURE_WIDTH ? tx * TILE + TILE : PICTURE_WIDTH;
}
int tileBottom(int ty) {
    return ty * TILE + TILE < PICTURE_HEIGHT ? ty * TILE + TILE : PICTURE_HEIGHT;
}

// Takes tile (tx, ty) of `pixels` into the record when it differs; true when it did.
bool takeTile(const uint16_t* pixels, int tx, int ty, uint32_t* rgba) {
    const int x0 = tx * TILE, width = tileRight(tx) - x0;
    bool differs = false;
    for (int y = ty * TILE; y < tileBottom(ty) && !differs; ++y)
        differs = std::memcmp(pixels + y * PICTURE_WIDTH + x0, lastPicture.data() + y * PICTURE_WIDTH + x0,
                              static_cast<size_t>(width) * sizeof(uint16_t)) != 0;
    if (!differs) return false;
    const auto& table = rgbaTable();
    for (int y = ty * TILE; y < tileBottom(ty); ++y) {
        const size_t row = static_cast<size_t>(y) * PICTURE_WIDTH + x0;
        std::memcpy(lastPicture.data() + row, pixels + row, static_cast<size_t>(width) * sizeof(uint16_t));
        for (int x = 0; x < width; ++x) rgba[row + x] = table[pixels[row + x]];
    }
    return true;
}

void present(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* hints) {
    if (pixels == nullptr) return;
    anyPresented = true;
    if (primary != &thePrimary || !primary->held || primary->rgba.empty()) {
        // Kept for the screenshot; the canvas must be drawn anew later.
        if (pixels != lastPicture.data()) std::memcpy(lastPicture.data(), pixels, sizeof lastPicture);
        canvasShowsLastPicture = false;
        return;
    }
    static std::vector<int32_t> rects;
    rects.clear();
    if (!canvasShowsLastPicture) {
        if (pixels != lastPicture.data()) std::memcpy(lastPicture.data(), pixels, sizeof lastPicture);
        const auto& table = rgbaTable();
        for (size_t i = 0; i < lastPicture.size(); ++i) primary->rgba[i] = table[lastPicture[i]];
        rects.insert(rects.end(), {0, 0, PICTURE_WIDTH, PICTURE_HEIGHT});
        canvasShowsLastPicture = true;
    } else {
        // Runs of changed tiles along each tile row become one rectangle each.
        for (int ty = 0; ty < PRESENT_TILES_Y; ++ty) {
            int runStart = -1;
            for (int tx = 0; tx <= PRESENT_TILES_X; ++tx) {
                const bool changed = tx < PRESENT_TILES_X &&
                                     (hints == nullptr || hints[ty * PRESENT_TILES_X + tx] != 0) &&
                                     takeTile(pixels, tx, ty, primary->rgba.data());
                if (changed && runStart < 0) runStart = tx;
                if (!changed && runStart >= 0) {
                    rects.insert(rects.end(), {runStart * TILE, ty * TILE, tileRight(tx - 1) - runStart * TILE,
                                               tileBottom(ty) - ty * TILE});
                    runStart = -1;
                }
            }
        }
    }
    if (rects.empty()) return;
    putRects(reinterpret_cast<const uint8_t*>(primary->rgba.data()), rects.data(), static_cast<int>(rects.size() / 4));
    static bool firstPictureMarked = false;
    if (!firstPictureMarked) markFirstPicture();
    firstPictureMarked = true;
}

}  // namespace

// The page's canvas fits the page by CSS: there is no mode to set.
bool displaySetFullscreen(Window* window) {
    return window != nullptr && window->open;
}

bool displaySetMode(Window* window) {
    return window != nullptr && window->open;
}

PrimarySurface* displayCreatePrimary(Window* window) {
    if (window == nullptr || !window->open) return nullptr;
    if (thePrimary.held) return &thePrimary;  // focus events can come twice
    if (!openCanvas()) {
        std::fprintf(stderr, "quillmara: the page has no canvas %s with a 2D context\n", webbackend::CANVAS);
        return nullptr;
    }
    thePrimary.held = true;
    return &thePrimary;
}

bool displayCreateBackBuffer(PrimarySurface* primary) {
    if (primary != &thePrimary || !primary->held) return false;
    if (!primary->rgba.empty()) return true;
    try {
        primary->rgba.resize(PICTURE_PIXELS);
        rgbaTable();
    } catch (const std::bad_alloc&) {
        primary->rgba = {};
        std::fprintf(stderr, "quillmara: no memory for the canvas's picture\n");
        return false;
    }
    canvasShowsLastPicture = false;
    return true;
}

void displayReleaseBackBuffer(PrimarySurface* primary) {
    if (primary != &thePrimary) return;
    primary->rgba = {};
}

void displayReleasePrimary(PrimarySurface* primary) {
    if (primary != &thePrimary) return;
    displayReleaseBackBuffer(primary);
    primary->held = false;
}

void displayPresent(PrimarySurface* primary, const uint16_t* pixels) {
    present(primary, pixels, nullptr);
}

void displayPresentChanged(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* changedTiles) {
    present(primary, pixels, changedTiles);
}

const uint16_t* displayLastPresented() {
    return anyPresented ? lastPicture.data() : nullptr;
}

}  // namespace platform
