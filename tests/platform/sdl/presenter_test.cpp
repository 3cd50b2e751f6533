// The presenter on in-memory surfaces: what it draws, what it pushes, and
// that pushing only the changed rectangles ends in the same screen as
// drawing everything anew.
#include "platform/sdl/presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

using sdlbackend::PictureRect;
using sdlbackend::PixelTarget;
using sdlbackend::Presenter;
using sdlbackend::Push;
using sdlbackend::WindowRect;

namespace {

constexpr int W = platform::PICTURE_WIDTH;
constexpr int H = platform::PICTURE_HEIGHT;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

SurfacePtr makeSurface(int w, int h, uint32_t format) {
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    if (!s) ADD_FAILURE() << "SDL_CreateRGBSurfaceWithFormat: " << SDL_GetError();
    return s;
}

PixelTarget targetOf(SDL_Surface* s) {
    PixelTarget t;
    t.pixels = static_cast<uint8_t*>(s->pixels);
    t.pitch = s->pitch;
    t.width = s->w;
    t.height = s->h;
    t.bytesPerPixel = s->format->BytesPerPixel;
    return t;
}

// The colour at a window pixel as 0xRRGGBB.
uint32_t rgbAt(SDL_Surface* s, int x, int y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t value = 0;
    switch (s->format->BytesPerPixel) {
        case 2:
            value = *reinterpret_cast<const uint16_t*>(p);
            break;
        case 3:
            value = p[0] | p[1] << 8 | p[2] << 16;
            break;
        default:
            value = *reinterpret_cast<const uint32_t*>(p);
            break;
    }
    uint8_t r, g, b;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

// A picture with a different value at nearly every pixel, so a misplaced
// column or row shows.
std::vector<uint16_t> gradient() {
    std::vector<uint16_t> picture(platform::PICTURE_PIXELS);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) picture[static_cast<size_t>(y) * W + x] = static_cast<uint16_t>(x * 73 + y * 1031);
    return picture;
}

void fillRect(std::vector<uint16_t>& picture, int x0, int y0, int w, int h, uint16_t value) {
    for (int y = std::max(y0, 0); y < std::min(y0 + h, H); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, W); ++x) picture[static_cast<size_t>(y) * W + x] = value;
}

// What the player sees: only what was pushed reaches it.
struct Screen {
    SurfacePtr pixels;
    void take(SDL_Surface* from, Push push, const std::vector<WindowRect>& rects) {
        if (push == Push::ALL) {
            SDL_BlitSurface(from, nullptr, pixels.get(), nullptr);
        } else if (push == Push::RECTS) {
            for (const WindowRect& r : rects) {
                SDL_Rect area{r.x, r.y, r.w, r.h};
                SDL_BlitSurface(from, &area, pixels.get(), &area);
            }
        }
    }
};

// The first differing pixel of two same-sized surfaces, as text; empty when equal.
std::string firstDifference(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < a->h; ++y) {
        const uint8_t* ra = static_cast<const uint8_t*>(a->pixels) + y * a->pitch;
        const uint8_t* rb = static_cast<const uint8_t*>(b->pixels) + y * b->pitch;
        if (std::memcmp(ra, rb, static_cast<size_t>(a->w) * a->format->BytesPerPixel) == 0) continue;
        for (int x = 0; x < a->w; ++x)
            if (rgbAt(a, x, y) != rgbAt(b, x, y))
                return "window pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
    return "";
}

// The picture presented from scratch onto a fresh surface.
SurfacePtr fullRescale(const std::vector<uint16_t>& picture, int w, int h, uint32_t format) {
    SurfacePtr s = makeSurface(w, h, format);
    Presenter fresh(s->format, w, h);
    std::vector<WindowRect> rects;
    EXPECT_EQ(fresh.present(picture.data(), targetOf(s.get()), &rects), Push::ALL);
    return s;
}

bool inside(const WindowRect& r, const WindowRect& area) {
    return r.x >= area.x && r.y >= area.y && r.x + r.w <= area.x + area.w && r.y + r.h <= area.y + area.h;
}

}  // namespace

TEST(Presenter, FirstPresentDrawsPictureAndBlackBarsAndPushesAll) {
    SurfacePtr s = makeSurface(1280, 720, SDL_PIXELFORMAT_RGB888);
    std::vector<uint16_t> picture(platform::PICTURE_PIXELS, 0x001F);  // blue
    picture[0] = 0xF800;                                              // top-left red
    picture[static_cast<size_t>(H - 1) * W + (W - 1)] = 0x07E0;       // bottom-right green
    picture[static_cast<size_t>(H / 2) * W] = 0xFFFF;                 // white, left edge
    picture[static_cast<size_t>(H / 2) * W + 2] = 0x8410;             // mid grey: r5 16, g6 32, b5 16
    Presenter presenter(s->format, 1280, 720);
    std::vector<WindowRect> rects;
    ASSERT_EQ(presenter.present(picture.data(), targetOf(s.get()), &rects), Push::ALL);
    EXPECT_TRUE(rects.empty());
    EXPECT_EQ(rgbAt(s.get(), 159, 0), 0x000000u) << "left bar";
    EXPECT_EQ(rgbAt(s.get(), 160, 0), 0xFF0000u) << "picture top-left pixel";
    EXPECT_EQ(rgbAt(s.get(), 161, 1), 0x0000FFu) << "picture pixel (1, 1): at 1.2 the top-left shows once";
    EXPECT_EQ(rgbAt(s.get(), 1119, 719), 0x00FF00u) << "picture bottom-right pixel";
    EXPECT_EQ(rgbAt(s.get(), 1120, 719), 0x000000u) << "right bar";
    EXPECT_EQ(rgbAt(s.get(), 160, 360), 0xFFFFFFu) << "white stays white: channels are widened";
    EXPECT_EQ(rgbAt(s.get(), 162, 360), 0x848284u) << "mid grey";
}

TEST(Presenter, UnchangedFramePushesNothingUntilAnExpose) {
    SurfacePtr s = makeSurface(1024, 768, SDL_PIXELFORMAT_RGB888);
    std::vector<uint16_t> picture = gradient();
    Presenter presenter(s->format, 1024, 768);
    std::vector<WindowRect> rects;
    presenter.present(picture.data(), targetOf(s.get()), &rects);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(presenter.present(picture.data(), targetOf(s.get()), &rects), Push::NOTHING) << "frame " << frame;
        EXPECT_TRUE(rects.empty());
    }
    presenter.pushAll();  // an expose: the screen lost the window's pixels
    EXPECT_EQ(presenter.present(picture.data(), targetOf(s.get()), &rects), Push::ALL) << "after an expose";
    EXPECT_EQ(presenter.present(picture.data(), targetOf(s.get()), &rects), Push::NOTHING) << "once pushed";
}

TEST(Presenter, MovedPointerPushesOnlyAroundItsOldAndNewPlaces) {
    SurfacePtr s = makeSurface(1024, 768, SDL_PIXELFORMAT_RGB888);
    Screen screen{makeSurface(1024, 768, SDL_PIXELFORMAT_RGB888)};
    std::vector<uint16_t> background(platform::PICTURE_PIXELS, 0x1234);
    std::vector<uint16_t> picture = background;
    fillRect(picture, 100, 100, 30, 27, 0xFFFF);
    Presenter presenter(s->format, 1024, 768);
    std::vector<WindowRect> rects;
    screen.take(s.get(), presenter.present(picture.data(), targetOf(s.get()), &rects), rects);

    picture = background;
    fillRect(picture, 405, 290, 30, 27, 0xFFFF);
    Push push = presenter.present(picture.data(), targetOf(s.get()), &rects);
    ASSERT_EQ(push, Push::RECTS);
    screen.take(s.get(), push, rects);

    // Each pushed rectangle lies within one tile of the old or the new place
    // (tiles are 16 picture pixels, 1.28 window pixels each).
    const WindowRect oldArea{static_cast<int>(96 * 1.28) - 1, static_cast<int>(96 * 1.28) - 1, 64, 64};
    const WindowRect newArea{static_cast<int>(400 * 1.28) - 1, static_cast<int>(288 * 1.28) - 1, 64, 64};
    int pushedArea = 0;
    for (const WindowRect& r : rects) {
        EXPECT_TRUE(inside(r, oldArea) || inside(r, newArea))
            << "pushed (" << r.x << ", " << r.y << ") " << r.w << "x" << r.h << " is near neither place";
        pushedArea += r.w * r.h;
    }
    EXPECT_LE(pushedArea, 2 * 64 * 64);
    EXPECT_EQ(rgbAt(screen.pixels.get(), static_cast<int>(110 * 1.28), static_cast<int>(110 * 1.28)),
              rgbAt(s.get(), 0, 0))
        << "the pointer's old place shows the background again";
    EXPECT_EQ(rgbAt(screen.pixels.get(), static_cast<int>(410 * 1.28), static_cast<int>(300 * 1.28)), 0xFFFFFFu)
        << "the pointer at its new place";
}

// Many frames of random changes, each pushed by rectangles only; the screen
// must end up as a full re-scale of the last picture, pixel for pixel.
TEST(Presenter, RandomChangesEndInTheSameScreenAsAFullRescale) {
    struct Case {
        int w, h;
        uint32_t format;
    };
    const Case cases[] =
        {
            {1024, 768, SDL_PIXELFORMAT_RGB888},  {1280, 720, SDL_PIXELFORMAT_RGB888},
            {1280, 1024, SDL_PIXELFORMAT_RGB565}, {1367, 768, SDL_PIXELFORMAT_RGB24},
            {640, 480, SDL_PIXELFORMAT_RGB888},  // shrunk: some picture pixels are never shown
        };
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + SDL_GetPixelFormatName(c.format));
        SurfacePtr s = makeSurface(c.w, c.h, c.format);
        Screen screen{makeSurface(c.w, c.h, c.format)};
        std::vector<uint16_t> picture = gradient();
        std::vector<uint16_t> lastPresented(platform::PICTURE_PIXELS, 0);  // the screenshot reads this
        Presenter presenter(s->format, c.w, c.h, lastPresented.data());
        std::vector<WindowRect> rects;
        for (int frame = 0; frame < 60; ++frame) {
            int changes = static_cast<int>(random() % 6);
            if (frame % 20 == 9) changes = 200;  // a busy frame: many small scattered changes
            for (int i = 0; i < changes; ++i) {
                int x = static_cast<int>(random() % (W + 40)) - 20, y = static_cast<int>(random() % (H + 40)) - 20;
                int w = 1 + static_cast<int>(random() % 60), h = 1 + static_cast<int>(random() % 60);
                fillRect(picture, x, y, w, h, static_cast<uint16_t>(random()));
            }
            Push push = presenter.present(picture.data(), targetOf(s.get()), &rects);
            for (const WindowRect& r : rects) {
                ASSERT_TRUE(r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x + r.w <= c.w && r.y + r.h <= c.h)
                    << "frame " << frame << ": pushed rectangle outside the window";
            }
            screen.take(s.get(), push, rects);
            ASSERT_TRUE(lastPresented == picture) << "frame " << frame << ": the kept picture is not the last one";
            if (frame % 20 == 19) {  // after ten quiet frames
                SurfacePtr expected = fullRescale(picture, c.w, c.h, c.format);
                ASSERT_EQ(firstDifference(screen.pixels.get(), expected.get()), "")
                    << "frame " << frame << ": the screen differs from a full re-scale";
            }
        }
    }
}

TEST(Presenter, NewSurfaceOrNewSizeRedrawsEverythingBarsIncluded) {
    std::vector<uint16_t> picture = gradient();
    SurfacePtr s = makeSurface(1024, 768, SDL_PIXELFORMAT_RGB888);
    Presenter presenter(s->format, 1024, 768);
    std::vector<WindowRect> rects;
    presenter.present(picture.data(), targetOf(s.get()), &rects);

    // The same size, but the pixels were lost (a new surface).
    SDL_FillRect(s.get(), nullptr, SDL_MapRGB(s->format, 255, 0, 255));
    presenter.redrawAll();
    EXPECT_EQ(presenter.present(picture.data(), targetOf(s.get()), &rects), Push::ALL);
    EXPECT_EQ(firstDifference(s.get(), fullRescale(picture, 1024, 768, SDL_PIXELFORMAT_RGB888).get()), "");

    // The window changed size: new maps, bars painted black.
    SurfacePtr wide = makeSurface(1280, 720, SDL_PIXELFORMAT_RGB888);
    SDL_FillRect(wide.get(), nullptr, SDL_MapRGB(wide->format, 255, 0, 255));
    EXPECT_EQ(presenter.present(picture.data(), targetOf(wide.get()), &rects), Push::ALL);
    EXPECT_EQ(rgbAt(wide.get(), 0, 0), 0x000000u) << "left bar";
    EXPECT_EQ(rgbAt(wide.get(), 1279, 719), 0x000000u) << "right bar";
    EXPECT_EQ(firstDifference(wide.get(), fullRescale(picture, 1280, 720, SDL_PIXELFORMAT_RGB888).get()), "");
}

TEST(ChangeTracker, ScatteredChangesCollapseIntoOneBoundingRectangle) {
    sdlbackend::ChangeTracker tracker;
    std::vector<uint16_t> picture(platform::PICTURE_PIXELS, 0);
    tracker.update(picture.data());
    // One pixel in every other tile: far more pieces than are worth pushing.
    for (int y = 40; y < 500; y += 32)
        for (int x = 20; x < 700; x += 32) picture[static_cast<size_t>(y) * W + x] = 1;
    const std::vector<PictureRect>& rects = tracker.update(picture.data());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_LE(rects[0].left, 20);
    EXPECT_LE(rects[0].top, 40);
    EXPECT_GE(rects[0].right, 692 + 1);
    EXPECT_GE(rects[0].bottom, 488 + 1);
}

TEST(ChangeTracker, RectanglesNeverOverlapAndMergeAcrossTileRows) {
    sdlbackend::ChangeTracker tracker;
    std::vector<uint16_t> picture(platform::PICTURE_PIXELS, 0);
    tracker.update(picture.data());
    fillRect(picture, 40, 40, 40, 100, 7);   // a tall block: one rectangle, not one per tile row
    fillRect(picture, 300, 40, 200, 10, 7);  // a wide bar beside it
    fillRect(picture, 300, 200, 10, 10, 7);  // and a dot
    const std::vector<PictureRect>& rects = tracker.update(picture.data());
    EXPECT_EQ(rects.size(), 3u);
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j) {
            bool apart = rects[i].right <= rects[j].left || rects[j].right <= rects[i].left ||
                         rects[i].bottom <= rects[j].top || rects[j].bottom <= rects[i].top;
            EXPECT_TRUE(apart) << "rectangles " << i << " and " << j << " overlap";
        }
    EXPECT_TRUE(tracker.update(picture.data()).empty()) << "the shadow took the change";
}
