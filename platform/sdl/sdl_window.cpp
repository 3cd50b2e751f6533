// The window: SDL start-up and shutdown, the window (fullscreen at first), its icon.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/common/startup_trace.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/video_driver.h"

namespace sdlbackend {

Backend& backend() {
    static Backend state;
    return state;
}

}  // namespace sdlbackend

namespace {

// SDL's own order of its video drivers, less `left`, as a hint's list.
std::string driversBut(const char* left) {
    std::string order;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (name == nullptr || SDL_strcasecmp(name, left) == 0) continue;
        if (!order.empty()) order += ',';
        order += name;
    }
    return order;
}

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
    // The window starts borderless and fullscreen; libdecor would only look
    // for its plugins and say so on standard error. (A window the player
    // chooses on Wayland then has whatever frame the compositor gives it.)
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // The game reads keys, never text. Xlib would otherwise parse the
    // locale's whole Compose table (thousands of lines) while SDL opens its
    // input method. A player's own choice of table is kept.
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (sdlbackend::composeTableSkippable(requested, std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY")))
        setenv("XCOMPOSEFILE", "/dev/null", 0);
    // SDL tries Wayland after X11; where libwayland cannot even name a
    // socket, trying only prints an error of its own before the game's.
    if (sdlbackend::waylandUnreachable(requested, std::getenv("WAYLAND_DISPLAY"), std::getenv("WAYLAND_SOCKET"),
                                       std::getenv("XDG_RUNTIME_DIR")))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driversBut("wayland").c_str());
    const int initialised = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
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
    // On x11 a plain surface costs far less than SDL's GL-backed one (see
    // docs/performance.md); Wayland has no plain surface at all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, sdlbackend::framebufferAcceleration(driver));
    if (std::strcmp(driver, "x11") == 0) sdlbackend::watchXServerLoss();

    // Borderless over the primary monitor, at the monitor's own mode: the
    // picture is scaled in software, never by a mode change. The window's
    // own place and size are the monitor's too, which is where it stays when
    // no window manager acts on the fullscreen request. HIGHDPI: on a scaled
    // desktop the window has the monitor's own pixels (window_mode.h).
    SDL_Rect desktop{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, PICTURE_WIDTH, PICTURE_HEIGHT};
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) desktop = bounds;
    SDL_Window* window = SDL_CreateWindow(title != nullptr ? title : "", desktop.x, desktop.y, desktop.w, desktop.h,
                                          SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window == nullptr) return fail(std::string("SDL_CreateWindow failed: ") + SDL_GetError());
    startuptrace::stage("window");

    SDL_ShowCursor(SDL_DISABLE);  // the game draws its own pointer
    // Motion is read by polling the pointer; as events it would only flood the queue.
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    // SDL 2.26 does not follow the window manager taking the window out of
    // fullscreen; its property changes come through as window-system events.
    if (std::strcmp(driver, "x11") == 0) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_StopTextInput();
    setWindowIcon(window);
    startuptrace::stage("icon");

    state.window.sdl = window;
    state.events.clear();
    state.keys.drop();
    state.surfaceLost = false;
    state.exposed = false;
    state.windowed = false;
    state.playerWindow = sdlbackend::ScreenRect{};
    state.fullscreenDisplay = -1;
    state.placeAt = sdlbackend::ScreenRect{};
    state.wmStateChanged = false;
    state.placementChanged = false;
    return &state.window;
}

void windowDestroy(Window* window) {
    if (window == nullptr || window->sdl == nullptr) return;
    sdlbackend::Backend& state = sdlbackend::backend();
    SDL_DestroyWindow(window->sdl);
    window->sdl = nullptr;
    state.events.clear();
    state.keys.drop();
    SDL_Quit();
}

}  // namespace platform
