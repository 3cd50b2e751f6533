#!/usr/bin/python3
"""Scenarios of the real game on the desktops players have, and of the
desktop failing around it, one per run:

    desktop_scenarios.py --scenario NAME --game BINARY --data RUN_FOLDER --solver SOLVER

wayland            native Wayland (weston), no X display to fall back on,
                   presenting through wl_shm
wayland_sdl_surface  the same through SDL's own window surface
                   (SDL_FRAMEBUFFER_ACCELERATION=1)
sound_server       music and panned effects through a real PulseAudio
sound_server_lost  the sound server killed mid-game, then started again
x_server_lost      the X server going away mid-game

Exits 0 when the scenario passed, 1 when it failed (with the reason), 77
when a program it needs is missing (CTest counts that as skipped)."""

import os
import signal
import sys
import time

from ending_scenarios import left_and_right_jumps
from harness import (EXIT_TIMEOUT, Game, Picture, Processes, XSession, check, close, format_time,
    run_scenario, scenario_arguments, take_screenshot, wait_for)
from play_scenarios import BACK, OPTIONS, OUT_OF_THE_WAY, board_region_matches, cell_centre
from play_scenarios import jump, lamp, music_off, on_main_menu, select, solver_moves, start_game, _seconds
from servers import SKIPPED, SoundServer, WestonSession, error_lines, missing, peak_dbfs, rms

MUSIC_PEAK_DBFS = -30

last_stderr = []  # the game's standard error, kept for the failure report


def finish(game, *others):
    """Ends a scenario's game (its folder goes) and its sessions."""
    last_stderr[:] = [game.stderr()]
    game.close()
    for other in others:
        other.close()


def no_error_lines(game):
    lines = error_lines(game.stderr())
    check(not lines, "a normal start printed error lines: %r" % lines)


def start_and_jump(args, game):
    """From the main menu: starts a game and plays the solver's first jump,
    which it returns."""
    on_main_menu(game)
    move = solver_moves(args, os.path.join(game.folder, "Tex", "Level.txt"))[0]
    start_game(game)
    jump(game, move)
    return move


def cpu_percent(pid, seconds):
    """Share of one core used by all of a process's threads over `seconds`."""
    def run_ns():
        total = 0
        for task in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                    total += int(f.read().split()[0])
            except (FileNotFoundError, ProcessLookupError):
                pass  # a thread that ended meanwhile
        return total
    before = run_ns()
    time.sleep(seconds)
    return 100 * (run_ns() - before) / 1e9 / seconds


# ------------------------------------------------------------------ Wayland

WL_SHM = "quillmara: start-up: presenting through wl_shm at "
SDL_SURFACE = "quillmara: start-up: presenting through SDL's window surface: SDL_FRAMEBUFFER_ACCELERATION asks for it"


def scenario_wayland(processes, args):
    session = WestonSession(processes)
    try:
        play_on_wayland(processes, session, args, {}, WL_SHM)
        no_surface_on_wayland(processes, session, args)
    finally:
        session.close()


def scenario_wayland_sdl_surface(processes, args):
    session = WestonSession(processes)
    try:
        play_on_wayland(processes, session, args, {"SDL_FRAMEBUFFER_ACCELERATION": "1"}, SDL_SURFACE)
    finally:
        session.close()


def play_on_wayland(processes, session, args, env, path_line):
    """A jump played on Wayland: the screen shows what the game's own
    screenshot holds, and the start-up trace names the presenting path."""
    game = Game(processes, session, args.game, args.data,
                env=dict(session.game_env(), QM_TRACE_FIRST_PRESENT="1", **env))
    try:
        game.wait_shows("Tex/Quillmara.Tex", 176, 60, what="the logo, through weston")
        check(path_line in game.stderr(), "the trace lacks %r: %r" % (path_line, game.stderr()))
        # Each click first waits for the game's pointer where the X pointer
        # is, which holds once the session lined weston's pointer up.
        move = start_and_jump(args, game)

        game.point_at(*OUT_OF_THE_WAY)
        path = take_screenshot(session, game.folder, "GAME0.bmp")
        screen = session.screenshot()
        shot = Picture.load_bmp(path)
        from_row, from_col, to_row, to_col = move
        named = {
            "the background, top left": (6, 6),
            "the background, bottom right": (793, 593),
            "the board's frame": (300, 50),
            "the piece that jumped": cell_centre(to_row, to_col),
            "the hole it left": cell_centre(from_row, from_col),
            "the hole of the piece it took": cell_centre((from_row + to_row) // 2, (from_col + to_col) // 2),
        }
        for name, (x, y) in named.items():
            sx, sy = session.map.to_screen(x, y)
            check(close(screen.get(sx, sy), shot.get(x, y)),
                  "%s: screen pixel (%d, %d) is %s, GAME0.bmp's (%d, %d) is %s"
                  % (name, sx, sy, screen.get(sx, sy), x, y, shot.get(x, y)))

        session.key("Escape")
        on_main_menu(game)
        no_error_lines(game)
        game.process.send_signal(signal.SIGTERM)
        code = game.wait_exit()
        check(code == 0, "SIGTERM ended the game with %s, not 0" % code)
    finally:
        finish(game)


def no_surface_on_wayland(processes, session, args):
    # SDL's own variable asks for SDL's surface, and with its software
    # renderer SDL 2.26 has none on Wayland: the game ends with its message.
    game = Game(processes, session, args.game, args.data,
                env=dict(session.game_env(), SDL_FRAMEBUFFER_ACCELERATION="software"))
    try:
        def press_ok():  # where a message box could be shown
            if game.process.poll() is not None:
                return True
            session.run(["xdotool", "key", "Return"], check=False)
            return False
        wait_for(press_ok, EXIT_TIMEOUT, "the game to end without a window surface", interval=0.3)
        code = game.process.returncode
        check(code == 255, "without a window surface the game ended with %s, not 255" % code)
        check("InitDirectDraw failed: Create Front Surface failed" in game.stderr(),
              "without a window surface standard error lacks the message: %r" % game.stderr())
    finally:
        finish(game)


# ------------------------------------------------------------------ sound

def music_plays(server, what):
    left, right = server.record(1.5)
    check(len(left) > 0.8 * 1.5 * 44100, "parec recorded only %d frames in 1.5 s" % len(left))
    peak = peak_dbfs(left, right)
    check(peak > MUSIC_PEAK_DBFS, "%s: the music peaks at %.1f dBFS, not above %d" % (what, peak, MUSIC_PEAK_DBFS))
    print("%s: the music peaks at %.1f dBFS" % (what, peak))


def scenario_sound_server(processes, args):
    session = XSession(processes, 800, 600)
    server = SoundServer(processes)
    game = Game(processes, session, args.game, args.data, env=server.game_env(), prepare=left_and_right_jumps)
    try:
        game.wait_window()
        on_main_menu(game)
        music_plays(server, "on the main menu")

        music_off(game)
        start_game(game)
        select(game, 0, 4)
        server.wait_silent()  # the selection's own sound
        left, right = server.record(1.2, during=lambda: game.click(*cell_centre(0, 0)))
        check(rms(left) > 100, "no sound of the jump landing (left RMS %.0f)" % rms(left))
        check(rms(left) >= 1.5 * rms(right),
              "a jump landing at the left edge: left RMS %.0f is not 1.5 times the right's %.0f"
              % (rms(left), rms(right)))
        print("a jump landing at the left edge: RMS %.0f left, %.0f right" % (rms(left), rms(right)))
        no_error_lines(game)
    finally:
        finish(game, server, session)


def scenario_sound_server_lost(processes, args):
    session = XSession(processes, 800, 600)
    server = SoundServer(processes)
    game = Game(processes, session, args.game, args.data, env=server.game_env())
    try:
        game.wait_window()
        start_and_jump(args, game)
        game.point_at(*OUT_OF_THE_WAY)
        music_plays(server, "in play")

        before = session.screenshot()
        clock_before = game.clock(100, 550, before)
        usual = cpu_percent(game.process.pid, 3)
        server.kill()
        time.sleep(0.5)
        without = cpu_percent(game.process.pid, 3)
        check(game.process.poll() is None, "the game ended with the sound server: %s" % game.stderr())
        check(without <= 2 * usual + 1.0,
              "the game uses %.2f %% of a core without its sound server, %.2f %% before" % (without, usual))
        print("CPU %.2f %% of a core with the sound server, %.2f %% without" % (usual, without))
        after = session.screenshot()
        check(board_region_matches(before, after, session), "the board changed when the sound server died")
        clock_after = game.clock(100, 550, after)
        check(clock_after >= format_time(_seconds(clock_before) + 3),
              "the clock did not count on: %s, then %s 3.5 s later" % (clock_before, clock_after))

        session.key("Escape")
        on_main_menu(game)
        game.click(*OPTIONS)
        lamp(game, "music", True, "the music lamp still on")
        lamp(game, "sound", True, "the sound lamp still on")
        game.click(*BACK)
        on_main_menu(game)

        server.start()
        session.run(["xdotool", "windowminimize", game.window])
        time.sleep(1.0)
        session.run(["xdotool", "windowactivate", "--sync", game.window])
        on_main_menu(game)
        music_plays(server, "after the server came back and a focus cycle")
        no_error_lines(game)
    finally:
        finish(game, server, session)


# ------------------------------------------------------------------ X server

def folder_state(folder):
    """Name, size and modification time of every file the game could have written."""
    state = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            if name != "stderr.txt":  # the harness's own record of standard error
                info = os.stat(path)
                state[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return state


def scenario_x_server_lost(processes, args):
    session = XSession(processes, 800, 600)
    game = Game(processes, session, args.game, args.data)
    try:
        game.wait_window()
        start_and_jump(args, game)
        files = folder_state(game.folder)
        session.xvfb.send_signal(signal.SIGKILL)  # as when the server crashes
        lost = time.monotonic()
        code = game.wait_exit()
        check(code == 255, "the game ended with %s, not 255, when its X server went away" % code)
        lines = game.stderr().splitlines()
        check(len(lines) == 1 and "X server" in lines[0],
              "expected one line about the X server on standard error, got %r" % lines)
        check(folder_state(game.folder) == files, "the game wrote to its folder as it ended")
        print("the game ended %.0f ms after its X server" % (1000 * (time.monotonic() - lost)))
    finally:
        finish(game, session)


SCENARIOS = {
    "wayland": (scenario_wayland, ["weston"]),
    "wayland_sdl_surface": (scenario_wayland_sdl_surface, ["weston"]),
    "sound_server": (scenario_sound_server, ["pulseaudio", "parec", "pactl"]),
    "sound_server_lost": (scenario_sound_server_lost, ["pulseaudio", "parec", "pactl"]),
    "x_server_lost": (scenario_x_server_lost, []),
}


def main():
    args = scenario_arguments(SCENARIOS, "game", "data", "solver")
    run, programs = SCENARIOS[args.scenario]
    absent = missing(programs)
    if absent:
        print("scenario %s SKIPPED: not installed: %s (scripts/install-deps.sh installs them)"
              % (args.scenario, ", ".join(absent)))
        return SKIPPED
    processes = Processes()

    def on_failure():
        if last_stderr:
            print("game stderr:\n" + last_stderr[0])

    return run_scenario(args.scenario, lambda: run(processes, args), on_failure, processes.end_all)


if __name__ == "__main__":
    sys.exit(main())
