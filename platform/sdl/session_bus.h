// The D-Bus session bus at SDL's start-up.
//
// SDL connects to the session bus while it initialises its video (for the
// screensaver, input methods and the like). With no session bus set, libdbus
// "autolaunches" one: it forks a child to run dbus-launch, which starts a
// private bus, or fails when dbus-launch is missing, and waits for it. On the
// measured machine that was 10 ms of the time before the window, for a bus
// that no other program, and so no service the game could use, listens on.
// So while SDL initialises, an unset address points at nothing instead, and
// SDL goes on without D-Bus; X11's own screensaver control still applies.
#pragma once

namespace sdlbackend {

// True when libdbus would autolaunch a session bus: `address` (the value of
// DBUS_SESSION_BUS_ADDRESS) is unset and there is no user bus at
// `runtimeDir`/bus (XDG_RUNTIME_DIR, may be null), the socket that systemd
// and dbus-user-session provide. Reads nothing but that one path.
bool sessionBusWouldAutolaunch(const char* address, const char* runtimeDir);

// Called right before SDL_Init: when the session bus would be autolaunched,
// sets DBUS_SESSION_BUS_ADDRESS to an address that fails at once and returns
// true; the caller passes that to restoreSessionBus right after SDL_Init, so
// programs the game starts (message boxes) see the environment unchanged.
bool avoidSessionBusAutolaunch();
void restoreSessionBus(bool avoided);

}  // namespace sdlbackend
