// Start-up choices that depend on the video driver SDL takes. Pure string
// logic, no SDL: the callers read the environment and SDL's answer.
#pragma once

namespace sdlbackend {

// True when SDL_VIDEODRIVER (`requested`: a name or a comma-separated list,
// null or empty when unset) names `driver`, in any letter case.
bool driverRequested(const char* requested, const char* driver);

// Whether the game may point Xlib at an empty Compose table, from the three
// variables SDL 2 chooses its driver by (null when unset). Only safe when
// SDL will take X11: on Wayland xkbcommon reports an empty or unreadable
// table as an error, so there its defaults stay.
bool composeTableSkippable(const char* requested, const char* waylandDisplay, const char* display);

// True when SDL picks its driver itself (`requested` unset or empty) and
// libwayland could not find a compositor's socket: no WAYLAND_SOCKET, and
// WAYLAND_DISPLAY is not an absolute path while XDG_RUNTIME_DIR, where a
// relative name (or the default "wayland-0") lives, is unset or empty.
bool waylandUnreachable(const char* requested, const char* waylandDisplay, const char* waylandSocket,
                        const char* runtimeDir);

// The value for SDL_HINT_FRAMEBUFFER_ACCELERATION once SDL has picked
// `driver` (never null): "0", a plain surface, where SDL draws into memory it
// pushes itself (x11, and the invisible dummy and offscreen drivers); "1",
// SDL's texture-backed surface, elsewhere (wayland, kmsdrm), which has no
// plain surface to give.
const char* framebufferAcceleration(const char* driver);

// True when the player asked for SDL's accelerated window surface through
// SDL's own variable SDL_FRAMEBUFFER_ACCELERATION (`value`, null when unset):
// set, non-empty and not false as SDL reads it (a leading "0", or "false" in
// any case). On Wayland the game otherwise presents through wl_shm, which uses
// no GL and so also honours "0".
bool sdlSurfaceRequested(const char* value);

}  // namespace sdlbackend
