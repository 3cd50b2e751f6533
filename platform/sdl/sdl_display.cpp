// The display device on SDL: the window's own surface, scaled into by the
// presenter and pushed to the screen rectangle by rectangle. No GL renderer:
// a software GL costs many times the CPU and memory for the same picture. On
// Wayland, where SDL backs its window surface with a GL texture, the picture
// goes into wl_shm buffers instead (wayland_shm_presenter.h), and SDL's
// surface is the fallback, or what the player asks for with SDL's own
// SDL_FRAMEBUFFER_ACCELERATION.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/common/startup_trace.h"
#include "platform/sdl/presenter.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/video_driver.h"
#include "platform/sdl/window_mode.h"
#if QM_WAYLAND_SHM
#include "platform/sdl/wayland_shm_presenter.h"
#endif

namespace platform {

// The window surface as the game holds it; the back buffer is the presenter.
struct PrimarySurface {
    SDL_Window* window = nullptr;
    std::unique_ptr<sdlbackend::Presenter> presenter;  // null while no back buffer
    uint32_t format = SDL_PIXELFORMAT_UNKNOWN;         // the surface format it was built for
    SDL_Surface* surface = nullptr;                    // last surface presented to (compared only)
#if QM_WAYLAND_SHM
    sdlbackend::WaylandShmPresenter* shm = nullptr;  // presenting through wl_shm instead of the surface
    bool shmBackBuffer = false;                      // the wl_shm path's back buffer is held
#endif
};

namespace {

PrimarySurface thePrimary;
bool primaryHeld = false;

// Survives every release: the screenshot reads it, also while suspended.
// While a back buffer exists it is also the presenter's record of the
// picture on screen, kept up to date tile by tile.
std::array<uint16_t, PICTURE_PIXELS> lastPicture;
bool anyPresented = false;

std::vector<sdlbackend::WindowRect> pushRects;
std::vector<SDL_Rect> sdlRects;

bool onWaylandDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && SDL_strcasecmp(driver, "wayland") == 0;
}

#if QM_WAYLAND_SHM
// Kept while the window lives, across focus loss and reload: the compositor
// keeps showing the buffer last committed, as the X server keeps a window's
// pixels, and a buffer destroyed while shown would leave the window empty.
// Never destroyed at exit either: SDL_Quit has closed the display by then.
sdlbackend::WaylandShmPresenter* theShmPresenter = nullptr;

// The wl_shm presenter for `window` on the wayland driver, or null (with
// the reason) when SDL's window surface is to present.
sdlbackend::WaylandShmPresenter* shmPresenterFor(SDL_Window* window, std::string* why) {
    if (theShmPresenter != nullptr && theShmPresenter->window() == window) return theShmPresenter;
    if (sdlbackend::sdlSurfaceRequested(std::getenv("SDL_FRAMEBUFFER_ACCELERATION"))) {
        *why = "SDL_FRAMEBUFFER_ACCELERATION asks for it";
        return nullptr;
    }
    std::unique_ptr<sdlbackend::WaylandShmPresenter> made =
        sdlbackend::WaylandShmPresenter::create(window, lastPicture.data(), why);
    if (!made) return nullptr;
    if (!made->prepare()) {
        int width = 0, height = 0;
        SDL_GetWindowSizeInPixels(window, &width, &height);
        *why = "no shared memory for buffers of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
        return nullptr;
    }
    // One of an earlier window is left alone, not destroyed: windowDestroy
    // ends with SDL_Quit, which closed the display its objects belong to.
    theShmPresenter = made.release();
    return theShmPresenter;
}
#endif

// SDL leaves the reason empty where a driver simply has no such thing (a
// plain window surface on Wayland); the driver's name then tells the story.
void report(const char* call) {
    const char* reason = SDL_GetError();
    const char* driver = SDL_GetCurrentVideoDriver();
    std::fprintf(stderr, "quillmara: %s failed on SDL's %s video driver: %s\n", call, driver != nullptr ? driver : "no",
                 *reason != '\0' ? reason : "SDL gives no reason");
}

bool buildPresenter(PrimarySurface* primary, SDL_Surface* surface) {
    try {
        primary->presenter =
            std::make_unique<sdlbackend::Presenter>(surface->format, surface->w, surface->h, lastPicture.data());
    } catch (const std::bad_alloc&) {
        primary->presenter.reset();
        std::fprintf(stderr, "quillmara: no memory for the presenting tables\n");
        return false;
    }
    primary->format = surface->format->format;
    primary->surface = surface;
    return true;
}

}  // namespace

bool displaySetFullscreen(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return false;
    // A focus regain re-asserts the player's choice: fullscreen (a no-op when
    // it is already), or the window the player took it out into.
    if (!sdlbackend::applyWindowMode(sdlbackend::backend())) {
        report("SDL_SetWindowFullscreen");
        return false;
    }
    return true;
}

bool displaySetMode(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return false;
    uint32_t format = SDL_GetWindowPixelFormat(window->sdl);
    if (!sdlbackend::scalerServes(format)) {
        std::fprintf(stderr, "quillmara: the window's pixel format %s cannot be presented to\n",
                     SDL_GetPixelFormatName(format));
        return false;
    }
    return true;
}

PrimarySurface* displayCreatePrimary(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return nullptr;
    if (primaryHeld) return &thePrimary;  // focus events can come twice
    // Only Wayland has a choice of paths; the trace names the one taken.
    if (onWaylandDriver()) {
#if QM_WAYLAND_SHM
        std::string why;
        if (sdlbackend::WaylandShmPresenter* shm = shmPresenterFor(window->sdl, &why)) {
            startuptrace::stage("presenting through wl_shm");
            thePrimary.window = window->sdl;
            thePrimary.shm = shm;
            primaryHeld = true;
            return &thePrimary;
        }
#else
        const std::string why = "built without wl_shm";
#endif
        startuptrace::stage("presenting through SDL's window surface:", why.c_str());
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
    if (surface == nullptr) {
        report("SDL_GetWindowSurface");
        return nullptr;
    }
    if (!sdlbackend::scalerServes(surface->format->format)) {
        std::fprintf(stderr, "quillmara: the window surface's pixel format %s cannot be presented to\n",
                     SDL_GetPixelFormatName(surface->format->format));
        return nullptr;
    }
    thePrimary.window = window->sdl;
    primaryHeld = true;
    return &thePrimary;
}

bool displayCreateBackBuffer(PrimarySurface* primary) {
    if (primary == nullptr || primary->window == nullptr) return false;
    if (primary->presenter) return true;
#if QM_WAYLAND_SHM
    if (primary->shm != nullptr) {
        primary->shmBackBuffer = true;
        return true;
    }
#endif
    SDL_Surface* surface = SDL_GetWindowSurface(primary->window);
    if (surface == nullptr) {
        report("SDL_GetWindowSurface");
        return false;
    }
    startuptrace::stage("window surface");
    return buildPresenter(primary, surface);
}

void displayReleaseBackBuffer(PrimarySurface* primary) {
    if (primary == nullptr) return;
    primary->presenter.reset();
    primary->surface = nullptr;
#if QM_WAYLAND_SHM
    primary->shmBackBuffer = false;
#endif
}

void displayReleasePrimary(PrimarySurface* primary) {
    if (primary == nullptr) return;
    displayReleaseBackBuffer(primary);
    primary->window = nullptr;
#if QM_WAYLAND_SHM
    primary->shm = nullptr;  // kept for the window (theShmPresenter)
#endif
    if (primary == &thePrimary) primaryHeld = false;
}

namespace {

#if QM_WAYLAND_SHM
void presentThroughShm(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* hints) {
    sdlbackend::Backend& state = sdlbackend::backend();
    // The compositor keeps the buffers' pixels, and a new size is seen here.
    state.exposed = false;
    state.surfaceLost = false;
    if (!primary->shmBackBuffer || primary->window != state.window.sdl) {
        if (pixels != lastPicture.data()) std::memcpy(lastPicture.data(), pixels, sizeof lastPicture);
        primary->shm->redrawAll();
        return;
    }
    if (primary->shm->present(pixels, hints) == sdlbackend::WaylandShmPresenter::Outcome::SHOWN)
        startuptrace::firstPresent();
}
#endif

void present(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* hints) {
    if (pixels == nullptr) return;
    anyPresented = true;
    // Keeps the picture without presenting it. The shadow then no longer
    // matches the window, so a presenter must draw everything next time.
    auto keepOnly = [primary, pixels] {
        if (pixels != lastPicture.data()) std::memcpy(lastPicture.data(), pixels, sizeof lastPicture);
        if (primary != nullptr && primary->presenter) primary->presenter->redrawAll();
    };
#if QM_WAYLAND_SHM
    if (primary != nullptr && primary->shm != nullptr) return presentThroughShm(primary, pixels, hints);
#endif
    sdlbackend::Backend& state = sdlbackend::backend();
    if (primary == nullptr || !primary->presenter || primary->window == nullptr || primary->window != state.window.sdl)
        return keepOnly();

    // After a size change SDL makes a new surface here; it must be drawn anew.
    SDL_Surface* surface = SDL_GetWindowSurface(primary->window);
    if (surface == nullptr) return keepOnly();
    if (surface->format->format != primary->format && !buildPresenter(primary, surface)) return keepOnly();
    if (state.surfaceLost || surface != primary->surface) {
        primary->presenter->redrawAll();
        primary->surface = surface;
        state.surfaceLost = false;
    }
    if (state.exposed) {
        primary->presenter->pushAll();
        state.exposed = false;
    }

    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return keepOnly();
    sdlbackend::PixelTarget target;
    target.pixels = static_cast<uint8_t*>(surface->pixels);
    target.pitch = surface->pitch;
    target.width = surface->w;
    target.height = surface->h;
    target.bytesPerPixel = surface->format->BytesPerPixel;
    sdlbackend::Push push = primary->presenter->present(pixels, target, &pushRects, hints);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);

    if (push == sdlbackend::Push::ALL) {
        SDL_UpdateWindowSurface(primary->window);
    } else if (push == sdlbackend::Push::RECTS) {
        sdlRects.clear();
        for (const sdlbackend::WindowRect& r : pushRects) sdlRects.push_back({r.x, r.y, r.w, r.h});
        SDL_UpdateWindowSurfaceRects(primary->window, sdlRects.data(), static_cast<int>(sdlRects.size()));
    }
    if (push != sdlbackend::Push::NOTHING) startuptrace::firstPresent();
}

}  // namespace

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
