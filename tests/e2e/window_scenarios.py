#!/usr/bin/python3
"""Scenarios of the game's window on a real desktop, one per run:

    window_scenarios.py --scenario NAME --game BINARY --data RUN_FOLDER

leave_fullscreen  the window manager takes the game out of fullscreen: a
                  resizable window on screen, the picture fits it, a focus
                  cycle keeps it, Exit is clicked there
f11               F11 to a window and back
two_monitors      two heads (Xorg's dummy driver): the game starts on the
                  primary, goes to the second as a window and covers it
scale2            a desktop scaled by 2 (weston): the window has the
                  monitor's own pixels and the pointer maps through them

Exits 0 when the scenario passed, 1 when it failed (with the reason), 77
when a program it needs is missing (CTest counts that as skipped)."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from harness import (SCREENSHOT_BYTES, SERVER_TIMEOUT, SHOW_TIMEOUT, WINDOW_TIMEOUT, Game, Picture, Processes,
                     ScenarioFailed, ScreenMap, XSession, check, close, image_match, run_scenario, scenario_arguments,
                     wait_for)
from play_scenarios import BACK, EXIT, HELP, OUT_OF_THE_WAY, covers_the_screen, on_main_menu
from servers import SKIPPED, WestonSession

# The programs a scenario needs, with the Debian packages that hold them.
PACKAGES = {"wmctrl": "wmctrl", "Xorg": "xserver-xorg-core", "weston": "weston",
            "/usr/lib/xorg/modules/drivers/dummy_drv.so": "xserver-xorg-video-dummy"}


class Skipped(Exception):
    """The scenario cannot check what it is for on this machine; says why."""


def missing(programs):
    return ["%s (%s)" % (p, PACKAGES[p]) for p in programs
            if (not os.path.exists(p) if p.startswith("/") else shutil.which(p) is None)]


class WindowMap(ScreenMap):
    """The picture fitted into a window whose inside lies at (x, y) on the screen."""

    def __init__(self, x, y, width, height):
        super().__init__(width, height)
        self.off_x += x
        self.off_y += y


def inside(session, window):
    """(x, y, width, height) of the window's inside on the screen, without the
    window manager's frame."""
    out = session.run(["xwininfo", "-id", window])
    values = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def fullscreen_held(session, game):
    return "_NET_WM_STATE_FULLSCREEN" in session.run(["xprop", "-id", game.window, "_NET_WM_STATE"])


def wait_window_mode(session, game, size, what):
    """Waits until the window manager holds the game as an ordinary window of
    `size`; returns its inside."""
    def windowed():
        rect = inside(session, game.window)
        return game.running() and not fullscreen_held(session, game) and rect[2:] == size and rect
    return wait_for(windowed, SHOW_TIMEOUT, what)


def wait_covers(session, game, bounds, what):
    wait_for(lambda: game.running() and fullscreen_held(session, game) and inside(session, game.window) == bounds,
             SHOW_TIMEOUT, what)


def on_screen(rect, screen):
    x, y, w, h = rect
    sx, sy, sw, sh = screen
    return sx <= x and sy <= y and x + w <= sx + sw and y + h <= sy + sh


def check_resizable(session, game):
    """SDL marks a fixed-size window with equal minimum and maximum sizes."""
    hints = session.run(["xprop", "-id", game.window, "WM_NORMAL_HINTS"])
    sizes = {}
    for line in hints.splitlines():
        for kind in ("minimum", "maximum"):
            if "specified %s size" % kind in line:
                sizes[kind] = line.split(":", 1)[1].strip()
    check("maximum" not in sizes or sizes.get("minimum") != sizes["maximum"],
          "the window cannot be resized: " + hints.strip())


def show_in(session, game, bounds=None):
    """Waits for the main menu fitted into the game's window (or `bounds`),
    where the picture is looked for from then on; returns where that is. The
    window manager may still move the window as it learns its frame."""
    def shown():
        rect = bounds or inside(session, game.window)
        session.map = WindowMap(*rect)
        return (game.running() and game.shows("Tex/Quillmara.Tex", 176, 60) and
                game.shows("Tex/Menu/Exit.Tex", 320, 500, (0, 0, 170, 46)) and rect)
    return wait_for(shown, SHOW_TIMEOUT, "the main menu fitted into the window")


# ------------------------------------------------------------------ X11

def scenario_leave_fullscreen(session, game, args):
    game.wait_window()
    on_main_menu(game)
    session.run(["wmctrl", "-r", "Tavrin", "-b", "remove,fullscreen"])
    rect = wait_window_mode(session, game, (800, 600), "an 800x600 window once out of fullscreen")
    check(on_screen(rect, (0, 0, session.width, session.height)), "the window %s is off the screen" % (rect,))
    check_resizable(session, game)

    session.run(["wmctrl", "-r", "Tavrin", "-e", "0,10,30,1000,600"])  # the player moves and resizes it
    wait_window_mode(session, game, (1000, 600), "the window resized to 1000x600")
    rect = show_in(session, game)  # 1:1, black bars of 100 pixels left and right
    check(on_screen(rect, (0, 0, session.width, session.height)), "the window %s is off the screen" % (rect,))
    screen = session.screenshot()
    for x, y in ((rect[0] + 20, rect[1] + 300), (rect[0] + rect[2] - 20, rect[1] + 300)):
        check(screen.get(x, y) == (0, 0, 0), "no black bar at (%d, %d): %s" % (x, y, screen.get(x, y)))

    session.run(["xdotool", "windowminimize", game.window])
    wait_for(lambda: "IsUnMapped" in session.run(["xwininfo", "-id", game.window]), SHOW_TIMEOUT, "minimised")
    session.run(["xdotool", "windowactivate", "--sync", game.window])
    wait_window_mode(session, game, (1000, 600), "the same window after a focus cycle")
    show_in(session, game)

    game.click(*EXIT)
    code = game.wait_exit()  # the Exit button's code is 1, as in ending_scenarios' exit_codes
    check(code == 1, "Exit clicked in the window ended the game with %s: %r" % (code, game.stderr()))


def scenario_f11(session, game, args):
    game.wait_window()
    on_main_menu(game)
    covers_the_screen(session, game)
    session.key("F11")
    wait_window_mode(session, game, (800, 600), "an 800x600 window after F11")
    rect = show_in(session, game)  # the picture 1:1, no bars
    check(on_screen(rect, (0, 0, session.width, session.height)), "the window %s is off the screen" % (rect,))
    check(abs(rect[0] + rect[2] // 2 - session.width // 2) <= 24, "the window %s is not centred" % (rect,))

    session.key("F11")
    wait_covers(session, game, (0, 0, session.width, session.height), "fullscreen again after a second F11")
    session.map = ScreenMap(session.width, session.height)
    covers_the_screen(session, game)
    game.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, clicked in fullscreen")
    game.click(*BACK)
    on_main_menu(game)
    session.run(["xdotool", "mousemove", "0", "0"])  # off the window to come, so no button is lit

    session.key("F11")
    wait_window_mode(session, game, (800, 600), "the window again after a third F11")
    back = show_in(session, game)
    check(back == rect, "F11 brought the window back at %s, not where it was, %s" % (back, rect))


# Two heads side by side: 1024x768 (primary) and 1280x1024 to its right.
FIRST, SECOND = (0, 0, 1024, 768), (1024, 0, 1280, 1024)
XORG_DUMMY = """Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
"""


class TwoHeadSession(XSession):
    """Xorg with its dummy driver, whose RandR outputs SDL sees as monitors
    (SDL 2.26 sees one head in Xvfb, even with +xinerama), with openbox."""

    def __init__(self, processes):
        self.folder = tempfile.mkdtemp(prefix="quillmara-e2e-xorg-")
        config = os.path.join(self.folder, "dummy.conf")
        with open(config, "w") as f:
            f.write(XORG_DUMMY)
        read_end, write_end = os.pipe()
        self.xvfb = processes.start(
            ["Xorg", "-displayfd", str(write_end), "-config", config, "-logfile", os.path.join(self.folder, "log"),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise ScenarioFailed("Xorg did not start (log in %s)" % self.folder)
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("SDL_VIDEODRIVER", None)
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self._wm_check(), SERVER_TIMEOUT, "Xorg to answer")
        self.run(["xrandr", "--addmode", "DUMMY1", "1280x1024"])
        self.run(["xrandr", "--output", "DUMMY0", "--primary", "--mode", "1024x768", "--pos", "0x0",
                  "--output", "DUMMY1", "--mode", "1280x1024", "--pos", "1024x0"])
        self.wm = processes.start(["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        wait_for(lambda: "window id" in self._wm_check(), SERVER_TIMEOUT, "openbox")
        self.width, self.height = 2304, 1024
        self.map = ScreenMap(FIRST[2], FIRST[3])
        self.pointer = (0, 0)
        self.shot_dir = tempfile.mkdtemp(prefix="quillmara-e2e-shots-")

    def close(self):
        super().close()
        shutil.rmtree(self.folder, ignore_errors=True)


def scenario_two_monitors(session, game, args):
    game.wait_window()
    wait_covers(session, game, FIRST, "the game fullscreen over the primary monitor")
    on_main_menu(game)
    session.key("F11")
    wait_window_mode(session, game, (800, 600), "a window on the primary")
    session.run(["wmctrl", "-r", "Tavrin", "-e", "0,1300,200,-1,-1"])
    wait_for(lambda: inside(session, game.window)[0] >= SECOND[0], SHOW_TIMEOUT, "the window on the second monitor")
    session.key("F11")
    wait_covers(session, game, SECOND, "the game fullscreen over the second monitor, at its size")
    show_in(session, game, SECOND)  # 1280x960 with 32-pixel bars above and below
    screen = session.screenshot()
    check(screen.get(SECOND[0] + 640, 10) == (0, 0, 0), "no black bar above the picture on the second monitor")
    game.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, clicked on the second monitor")

    session.run(["wmctrl", "-r", "Tavrin", "-b", "remove,fullscreen"])
    rect = wait_window_mode(session, game, (800, 600), "a window again, out of fullscreen on the second monitor")
    check(on_screen(rect, SECOND), "the window %s left the second monitor %s" % (rect, SECOND))


# ------------------------------------------------------------------ Wayland

def grid_share(screen, shot, columns, rows):
    """Share of the logo's screen pixels that show the picture pixel the given
    column and row maps put there."""
    total = matched = 0
    for sy in range(int(60 * 1.28), int(190 * 1.28)):
        for sx in range(int(176 * 1.28), int(624 * 1.28)):
            total += 1
            matched += close(screen.get(sx, sy), shot.get(columns(sx), rows(sy)))
    return matched / total


def scenario_scale2(processes, args):
    session = WestonSession(processes, scale=2)
    game = Game(processes, session, args.game, args.data, env=dict(session.game_env(), QM_TRACE_FIRST_PRESENT="1"))
    picture = ScreenMap(800, 600)  # the game's own screenshots, 1:1

    def screenshot():
        """The game's own picture: the newest file of an F9 press (a press
        held over several frames writes several)."""
        def written():
            return {n for n in os.listdir(game.folder) if n.startswith("GAME") and n.endswith(".bmp") and
                    os.path.getsize(os.path.join(game.folder, n)) == SCREENSHOT_BYTES}
        before = written()
        session.key("F9")
        new = wait_for(lambda: written() - before, SHOW_TIMEOUT, "a screenshot written by F9")
        return Picture.load_bmp(os.path.join(game.folder, max(new, key=lambda n: int(n[4:-4]))))

    def click_until(target, relative, x, y, what):
        """Clicks at picture pixel `target` once a frame sampled the pointer
        there, until the game's own screenshot shows `relative` at (x, y). The
        pointer comes in points and is mapped through the window's pixels."""
        session.move(*target)
        time.sleep(0.3)
        session.run(["xdotool", "click", "1"])
        wait_for(lambda: game.running() and image_match(screenshot(), picture, game.image(relative), x, y) >= 0.97,
                 SHOW_TIMEOUT, what)

    try:
        wait_for(lambda: game.running() and "first frame presented" in game.stderr(), WINDOW_TIMEOUT,
                 "the first picture, through weston at scale 2")
        click_until(HELP, "Tex/Help.Tex", 90, 150, "the help picture, clicked at scale 2")
        click_until(BACK, "Tex/Quillmara.Tex", 176, 60, "the main menu again, clicked at scale 2")
        session.move(*OUT_OF_THE_WAY)
        time.sleep(0.3)
        shot = screenshot()
        screen = session.screenshot()
        # At the monitor's pixels a screen pixel shows the picture pixel under
        # its centre at 1.28; scaled twice it shows that of its point at 0.64.
        device = grid_share(screen, shot, lambda x: int((x + 0.5) * 800 / 1024), lambda y: int((y + 0.5) * 600 / 768))
        doubled = grid_share(screen, shot, lambda x: int((x // 2 + 0.5) * 800 / 512),
                             lambda y: int((y // 2 + 0.5) * 600 / 384))
        if "presenting through wl_shm" in game.stderr() or device > doubled:
            check(device >= 0.99, "only %.3f of the logo's pixels lie on the 1.28 device-pixel grid (%.3f on the "
                  "doubled one)" % (device, doubled))
            return
        raise Skipped("the picture is presented through SDL's window surface, which SDL 2.26 keeps at the "
                      "window's size in points (512x384) for weston to enlarge: %.3f of the logo on the 1.28 "
                      "device-pixel grid, %.3f on a doubled 0.64; the grid needs the wl_shm presenter"
                      % (device, doubled))
    finally:
        game.close()
        session.close()


SCENARIOS = {
    "leave_fullscreen": (scenario_leave_fullscreen, ("wmctrl",)),
    "f11": (scenario_f11, ()),
    "two_monitors": (scenario_two_monitors, ("wmctrl", "Xorg", "/usr/lib/xorg/modules/drivers/dummy_drv.so")),
    "scale2": (None, ("weston",)),
}


def main():
    args = scenario_arguments(SCENARIOS, "game", "data", optional=("solver",))
    run, programs = SCENARIOS[args.scenario]
    lacking = missing(programs)
    if lacking:
        print("SKIPPED: %s needs %s" % (args.scenario, ", ".join(lacking)))
        return SKIPPED
    processes = Processes()
    started = {}

    def body():
        if run is None:
            scenario_scale2(processes, args)
            return
        session = TwoHeadSession(processes) if args.scenario == "two_monitors" else XSession(processes, 1024, 768)
        started["session"] = session
        started["game"] = game = Game(processes, session, args.game, args.data)
        run(session, game, args)

    def on_failure():
        if "game" in started:
            print("game stderr:\n" + started["game"].stderr())
        if "session" in started:
            kept = os.path.join(tempfile.gettempdir(), "quillmara-e2e-%s.png" % args.scenario)
            started["session"].run(["import", "-window", "root", kept], check=False)
            print("the screen at the failure: " + kept)

    def cleanup():
        processes.end_all()
        for what in ("game", "session"):
            if what in started:
                started[what].close()

    try:
        return run_scenario(args.scenario, body, on_failure, cleanup)
    except Skipped as reason:
        print("scenario %s SKIPPED: %s" % (args.scenario, reason))
        return SKIPPED


if __name__ == "__main__":
    sys.exit(main())
