#!/usr/bin/python3
"""Scenarios of a player at the real game, one per run:

    play_scenarios.py --scenario NAME --game BINARY --data RUN_FOLDER [--solver SOLVER]

Exits 0 when the scenario passed, 1 when it failed (with the reason)."""

import os
import subprocess
import sys
import time

from harness import (Game, Processes, XSession, check, format_time, run_scenario, scenario_arguments, take_screenshot,
                     wait_for)

# Centres of the buttons, in picture pixels.
START, HIGH_SCORES, OPTIONS, HELP, EXIT = (406, 182), (407, 267), (407, 353), (402, 437), (405, 523)
BACK, MUSIC, SOUND = (400, 473), (385, 173), (395, 273)
OUT_OF_THE_WAY = (760, 20)


def cell_centre(row, col):
    return 175 + 50 * col + 25, 75 + 50 * row + 25


def scenario_no_window_manager(session, game, args):
    """A bare X server: nobody acts on the fullscreen request."""
    game.wait_window()
    on_main_menu(game)
    covers_the_screen(session, game)
    session.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, scaled")


def on_main_menu(game):
    game.wait_shows("Tex/Quillmara.Tex", 176, 60, what="the logo")
    game.wait_shows("Tex/Menu/Exit.Tex", 320, 500, (0, 0, 170, 46), what="the Exit button")


def start_game(game):
    game.session.click(*START)
    # The frame around the grid: holes and pieces cover most of the rest.
    game.wait_shows("Tex/Board.Tex", 140, 40, (140, 40, 660, 74), what="the board backdrop", timeout=5)


def scenario_menu(session, game, args):
    game.wait_window()
    session.move(*OUT_OF_THE_WAY)
    on_main_menu(game)
    game.wait_shows("Tex/Menu/Start.Tex", 330, 160, (0, 0, 152, 45), what="Start, not hovered")
    session.move(400, 180)
    game.wait_shows("Tex/Menu/Start.Tex", 330, 160, (152, 0, 304, 45), what="Start lit while hovered")

    session.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture")
    session.click(*BACK)
    on_main_menu(game)

    session.click(*HIGH_SCORES)
    with open(os.path.join(game.folder, "config0.bst")) as f:
        times = [int(v) for v in f.read().split()[:4]]
    for i, seconds in enumerate(times):
        wait_for(lambda: game.clock(340, 150 + 70 * i) == format_time(seconds), 5,
                 "best time %d drawn as %s" % (i, format_time(seconds)))
    session.click(*BACK)
    on_main_menu(game)

    session.click(*OPTIONS)
    game.wait_shows("Tex/Menu/Button.Tex", 460, 158, (0, 0, 30, 31), what="the music lamp on")
    game.wait_shows("Tex/Menu/Button.Tex", 460, 260, (0, 0, 30, 31), what="the sound lamp on")
    session.click(*MUSIC)
    game.wait_shows("Tex/Menu/Button.Tex", 460, 158, (30, 0, 60, 31), what="the music lamp off")
    session.click(*MUSIC)
    game.wait_shows("Tex/Menu/Button.Tex", 460, 158, (0, 0, 30, 31), what="the music lamp on again")
    session.click(*BACK)
    on_main_menu(game)


def solver_moves(args, level_path):
    result = subprocess.run([args.solver, level_path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            timeout=60)
    check(result.returncode == 0, "the solver finds no win for the shipped level: %s" % result.stderr)
    return [tuple(int(v) for v in line.split()) for line in result.stdout.splitlines() if line.strip()]


def scenario_win(session, game, args):
    game.wait_window()
    on_main_menu(game)
    moves = solver_moves(args, os.path.join(game.folder, "Tex", "Level.txt"))
    started = time.monotonic()
    start_game(game)
    for from_row, from_col, to_row, to_col in moves:
        session.click(*cell_centre(from_row, from_col), settle=0.1)
        session.click(*cell_centre(to_row, to_col), settle=0.1)
    game.wait_shows("Tex/Won.Tex", 33, 270, what="the Won banner")
    played = time.monotonic() - started
    shown = game.clock(100, 550)
    check("?" not in shown, "the final time cannot be read: %s" % shown)
    h, m, s = (int(v) for v in shown.split("-"))
    seconds = h * 3600 + m * 60 + s
    check(abs(seconds - played) <= 3, "the final time %s is not the %.1f s played" % (shown, played))
    time.sleep(1.5)
    check(game.clock(100, 550) == shown, "the final time keeps running on the Won screen")
    session.click(400, 300)
    on_main_menu(game)


def scenario_lose(session, game, args):
    game.wait_window()
    on_main_menu(game)
    start_game(game)
    game.wait_shows("Tex/Fail.Tex", 33, 270, what="the Lost banner at once")
    session.click(400, 300)
    on_main_menu(game)


def two_stuck_pieces(folder):
    rows = ["0 0 0 0 0 0 0 0 0"] * 9
    rows[4] = "2 1 1 2 1 0 0 0 0"
    with open(os.path.join(folder, "Tex", "Level.txt"), "w") as f:
        f.write("\n".join(rows) + "\n")


def keep_me(folder):
    with open(os.path.join(folder, "GAME0.bmp"), "w") as f:
        f.write("a picture of the player's own\n")


def screenshots(folder):
    return sorted(n for n in os.listdir(folder) if n.startswith("GAME") and n.endswith(".bmp"))


def scenario_screenshot(session, game, args):
    from harness import Picture, close
    game.wait_window()
    on_main_menu(game)
    start_game(game)
    session.move(*OUT_OF_THE_WAY)
    time.sleep(0.3)
    path = take_screenshot(session, game.folder, "GAME1.bmp")
    screen = session.screenshot()
    with open(os.path.join(game.folder, "GAME0.bmp")) as f:
        check(f.read() == "a picture of the player's own\n", "the existing GAME0.bmp was overwritten")
    size = session.run(["identify", "-format", "%w %h", path]).strip()
    check(size == "800 600", "ImageMagick reads GAME1.bmp as %s" % size)
    shot = Picture.load_bmp(path)
    pointer = (OUT_OF_THE_WAY[0] - 2, OUT_OF_THE_WAY[1] - 10, 800, OUT_OF_THE_WAY[1] + 17)
    clock = (100, 550, 224, 578)
    differ = 0
    for y in range(600):
        for x in range(0, 800, 2):
            if pointer[0] <= x < pointer[2] and pointer[1] <= y < pointer[3]:
                continue
            if clock[0] <= x < clock[2] and clock[1] <= y < clock[3]:
                continue
            if not close(shot.get(x, y), screen.get(x, y)):
                differ += 1
    check(differ == 0, "GAME1.bmp differs from the screen in %d sampled pixels" % differ)

    before = len(screenshots(game.folder))
    session.key("F9", hold=0.5)
    time.sleep(0.3)
    names = screenshots(game.folder)
    check(len(names) - before >= 3, "holding F9 for 0.5 s wrote only %d files" % (len(names) - before))
    numbers = sorted(int(n[4:-4]) for n in names)
    check(numbers == list(range(len(numbers))), "screenshot numbers are not consecutive: %s" % numbers)


def scenario_escape(session, game, args):
    game.wait_window()
    on_main_menu(game)
    start_game(game)
    session.move(*OUT_OF_THE_WAY)
    wait_for(lambda: game.clock(100, 550) >= "00-00-02", 6, "the clock to reach 2 s")
    session.key("Escape")
    on_main_menu(game)
    start_game(game)
    shown = game.clock(100, 550)
    check(shown in ("00-00-00", "00-00-01"), "a new game's clock starts at %s, not at 0" % shown)


def board_region_matches(before, after, session):
    from harness import close, picture_pixel
    for y in range(80, 525, 5):
        for x in range(180, 625, 5):
            if not close(picture_pixel(before, session.map, x, y), picture_pixel(after, session.map, x, y)):
                return False
    return True


def scenario_focus(session, game, args):
    game.wait_window()
    on_main_menu(game)
    moves = solver_moves(args, os.path.join(game.folder, "Tex", "Level.txt"))
    start_game(game)
    from_row, from_col, to_row, to_col = moves[0]
    session.click(*cell_centre(from_row, from_col))
    session.click(*cell_centre(to_row, to_col))
    session.move(*OUT_OF_THE_WAY)
    time.sleep(0.3)
    before = session.screenshot()
    clock_before = game.clock(100, 550, before)
    session.run(["xdotool", "windowminimize", game.window])
    time.sleep(2.5)
    check(game.process.poll() is None, "the game ended while it had no focus: %s" % game.stderr())
    session.run(["xdotool", "windowactivate", "--sync", game.window])
    game.wait_shows("Tex/Board.Tex", 140, 40, (140, 40, 660, 74), what="the board after the focus came back",
                    timeout=8)
    is_fullscreen(session, game)
    session.move(*OUT_OF_THE_WAY)
    time.sleep(0.3)
    after = session.screenshot()
    check(board_region_matches(before, after, session), "the board changed across the focus loss")
    clock_after = game.clock(100, 550, after)
    check(clock_after >= format_time(_seconds(clock_before) + 2),
          "the clock did not count on while away: %s then %s" % (clock_before, clock_after))


def _seconds(text):
    h, m, s = (int(v) for v in text.split("-"))
    return h * 3600 + m * 60 + s


def covers_the_screen(session, game):
    from harness import close, widen565
    geometry = session.window_geometry(game.window)
    check(geometry == (0, 0, session.width, session.height),
          "the window is at %s, not over the whole %dx%d screen" % (geometry, session.width, session.height))
    screen = session.screenshot()
    background = game.image("Tex/Background.Tex")
    for sx, sy, px, py in ((2, 2, 1, 1), (1021, 766, 798, 599)):
        check(close(screen.get(sx, sy), widen565(background.get(px, py))),
              "screen pixel (%d, %d) is not the background's (%d, %d): bars or a wrong scale" % (sx, sy, px, py))


def is_fullscreen(session, game):
    state = session.run(["xprop", "-id", game.window, "_NET_WM_STATE"])
    check("_NET_WM_STATE_FULLSCREEN" in state, "the window manager holds no fullscreen state: " + state.strip())


def scenario_scaled(session, game, args):
    """Also run on an X server without MIT-SHM, where SDL pushes pictures through the connection."""
    game.wait_window()
    on_main_menu(game)
    covers_the_screen(session, game)
    is_fullscreen(session, game)
    session.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, scaled")
    session.click(*BACK)
    on_main_menu(game)
    session.click(*HIGH_SCORES)
    game.wait_shows("Tex/Menu/Back.Tex", 350, 450, (0, 0, 100, 46), what="the best-times screen")
    session.click(*BACK)
    on_main_menu(game)


SCENARIOS = {
    "menu": (scenario_menu, None, (800, 600)),
    "win": (scenario_win, None, (800, 600)),
    "lose": (scenario_lose, two_stuck_pieces, (800, 600)),
    "screenshot": (scenario_screenshot, keep_me, (800, 600)),
    "escape": (scenario_escape, None, (800, 600)),
    "focus": (scenario_focus, None, (800, 600)),
    "scaled": (scenario_scaled, None, (1024, 768)),
    "no_window_manager": (scenario_no_window_manager, None, (1024, 768), {"window_manager": False}),
    "no_shared_memory": (scenario_scaled, None, (1024, 768), {"xvfb_args": ("-extension", "MIT-SHM")}),
}


def main():
    args = scenario_arguments(SCENARIOS, "game", "data", optional=("solver",))
    run, prepare, (width, height), *rest = SCENARIOS[args.scenario]
    session_options = rest[0] if rest else {}
    processes = Processes()
    started = {}

    def body():
        started["session"] = session = XSession(processes, width, height, **session_options)
        started["game"] = game = Game(processes, session, args.game, args.data, prepare=prepare)
        run(session, game, args)
        check(game.process.poll() is None, "the game ended unexpectedly: %s" % game.stderr())

    def on_failure():
        if "game" in started:
            print("game stderr:\n" + started["game"].stderr())

    def cleanup():
        processes.end_all()
        for what in ("game", "session"):
            if what in started:
                started[what].close()

    return run_scenario(args.scenario, body, on_failure, cleanup)


if __name__ == "__main__":
    sys.exit(main())
