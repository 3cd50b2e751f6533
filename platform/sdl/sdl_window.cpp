// The window: SDL start-up and shutdown, the fullscreen window, its icon.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/common/startup_trace.h"
#include "platform/sdl/audio/mixer_library.h"
#include "platform/sdl/page_warmer.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/session_bus.h"
#include "platform/sdl/startup_helper.h"
#include "platform/sdl/video_driver.h"
#include "platform/sdl/x11_fullscreen.h"

namespace sdlbackend {

Backend& backend() {
    static Backend state;
    return state;
}

}  // namespace sdlbackend

namespace {

// How long SDL waits for the window manager to act on a fullscreen request.
constexpr Uint64 FULLSCREEN_WAIT_MS = 100;

// The game's own piece image as the window icon, pure green transparent.
// Without the file the window simply has no icon.
void setWindowIcon(SDL_Window* window) {
    SDL_Surface* loaded = SDL_LoadBMP("Tex/Lamp.Tex");
    if (loaded == nullptr) return;
    SDL_Surface* icon = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (icon == nullptr) return;
    if (SDL_LockSurface(icon) == 0) {
        for (int y = 0; y < icon->h; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + y * icon->pitch);
            // The file's fourth byte is not alpha: only the key colour is see-through.
            for (int x = 0; x < icon->w; ++x) row[x] = (row[x] & 0xFFFFFF) == 0x00FF00 ? 0 : (row[x] | 0xFF000000);
        }
        SDL_UnlockSurface(icon);
        SDL_SetWindowIcon(window, icon);
    }
    SDL_FreeSurface(icon);
}

// Makes the shown window borderless fullscreen through SDL, where the window
// manager cannot be asked before the map (every driver but x11,
// x11_fullscreen.h). SDL may wait up to 100 ms after the request for the
// window to move or change size, and a window created at the desktop's size
// never changes, so the window is created one row short. Where nothing acts
// on the request the wait runs out, and the window is then given the
// desktop's size directly.
void coverDesktop(SDL_Window* window, int width, int height) {
    Uint64 asked = SDL_GetTicks64();
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0 &&
        SDL_GetTicks64() - asked < FULLSCREEN_WAIT_MS)
        return;
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowPosition(window, 0, 0);
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace

namespace platform {

Window* windowCreate(const char* title, std::string* error) {
    sdlbackend::Backend& state = sdlbackend::backend();
    if (state.window.sdl != nullptr) return &state.window;
    auto fail = [error](const std::string& reason) -> Window* {
        if (error != nullptr) *error = reason;
        SDL_Quit();
        return nullptr;
    };
    // With "1" the window stays minimised after any message box.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A borderless fullscreen window needs no decorations; libdecor would only
    // look for its plugins and say so on standard error.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // The game reads keys, never text. Xlib would otherwise parse the
    // locale's whole Compose table (thousands of lines) while SDL opens its
    // input method, two thirds of SDL's start-up. A player's own choice of
    // table is kept.
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (sdlbackend::composeTableSkippable(requested, std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY")))
        setenv("XCOMPOSEFILE", "/dev/null", 0);
    // No session bus set: SDL goes without D-Bus rather than start one.
    const bool busAvoided = sdlbackend::avoidSessionBusAutolaunch();
    const int initialised = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    sdlbackend::restoreSessionBus(busAvoided);
    if (initialised != 0) return fail(std::string("SDL_Init(SDL_INIT_VIDEO) failed: ") + SDL_GetError());
    startuptrace::stage("SDL video");

    // Without a usable DISPLAY SDL quietly falls back to drivers that show
    // nothing; the player would face a game that runs but cannot be seen.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return fail("SDL has no video driver");
    if ((std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        !sdlbackend::driverRequested(requested, driver))
        return fail(std::string("no usable display (is DISPLAY set?): SDL fell back to its invisible \"") + driver +
                    "\" video driver");
    // SDL reads this once per video device, at the first SDL_GetWindowSurface.
    // On x11 a plain surface costs a tenth of SDL's GL-backed one; Wayland
    // has no plain surface at all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, sdlbackend::framebufferAcceleration(driver));
    if (std::strcmp(driver, "x11") == 0) sdlbackend::watchXServerLoss();

    SDL_Rect desktop{0, 0, PICTURE_WIDTH, PICTURE_HEIGHT};
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(0, &bounds) == 0) desktop = bounds;
        desktop.w = mode.w;
        desktop.h = mode.h;
    }
    // On X11 the window is mapped fullscreen at once (x11_fullscreen.h); it
    // starts at the desktop's place and size, which is also where it stays
    // without a window manager.
    const bool fullscreenAtMap = std::strcmp(driver, "x11") == 0 && sdlbackend::x11FullscreenAvailable();
    SDL_Window* window = nullptr;
    if (fullscreenAtMap) {
        window = SDL_CreateWindow(title != nullptr ? title : "", desktop.x, desktop.y, desktop.w, desktop.h,
                                  SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
        if (window != nullptr) {
            // Unmarked, the window is still borderless over the desktop, and
            // the display set-up asks for fullscreen again once it is mapped.
            sdlbackend::markFullscreenBeforeMap(window);
            SDL_ShowWindow(window);
        }
    } else {
        window =
            SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desktop.w,
                             desktop.h > 1 ? desktop.h - 1 : desktop.h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    }
    if (window == nullptr) return fail(std::string("SDL_CreateWindow failed: ") + SDL_GetError());
    startuptrace::stage("window");
    // Mapped: the helper loads the mixer's libraries while the images load.
    // (Started before the map, it took a core from the X server and the
    // window manager.) It holds the dynamic loader's lock meanwhile, so what
    // needs a lookup comes first: Xlib's functions (x11_calls.h, found when
    // SDL took x11), and libXcursor, which Xlib looks up when it first makes
    // a blank cursor.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_ShowCursor(SDL_ENABLE);
    sdlbackend::startHelper();
    sdlaudio::startLoadingMixer();
    if (!fullscreenAtMap) {
        coverDesktop(window, desktop.w, desktop.h);
        startuptrace::stage("fullscreen");
    }

    SDL_ShowCursor(SDL_DISABLE);  // the game draws its own pointer
    // Motion is read by polling the pointer; as events it would only flood the queue.
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    SDL_StopTextInput();
    setWindowIcon(window);
    startuptrace::stage("icon");

    state.window.sdl = window;
    state.window.fullscreenByWindowManager = fullscreenAtMap;
    state.events.clear();
    state.keys.drop();
    state.surfaceLost = false;
    state.exposed = false;
    return &state.window;
}

void windowDestroy(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return;
    sdlbackend::finishWarming();
    sdlbackend::Backend& state = sdlbackend::backend();
    SDL_DestroyWindow(window->sdl);
    window->sdl = nullptr;
    state.events.clear();
    state.keys.drop();
    SDL_Quit();
}

}  // namespace platform
