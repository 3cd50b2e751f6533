#!/usr/bin/python3
"""Scenarios of a player at the real game, one per run:

    play_scenarios.py --scenario NAME --game BINARY --data RUN_FOLDER [--solver SOLVER]

Exits 0 when the scenario passed, 1 when it failed (with the reason)."""

import os
import subprocess
import sys
import time

from harness import (SCREENSHOT_BYTES, SHOW_TIMEOUT, Game, Processes, XSession, check, format_time, run_scenario,
                     scenario_arguments, take_screenshot, wait_for)

# Centres of the buttons, in picture pixels.
START, HIGH_SCORES, OPTIONS, HELP, EXIT = (406, 182), (407, 267), (407, 353), (402, 437), (405, 523)
BACK, MUSIC, SOUND = (400, 473), (385, 173), (395, 273)
OUT_OF_THE_WAY = (760, 20)


def cell_centre(row, col):
    return 175 + 50 * col + 25, 75 + 50 * row + 25


def cell_corner(row, col):
    x, y = cell_centre(row, col)
    return x - 25, y - 25


def shows_hole(game, row, col, screen=None):
    # The part of a hole no later piece overlaps.
    return game.shows("Tex/Button1.Tex", *cell_corner(row, col), src=(0, 0, 43, 35), screen=screen)


def shows_piece(game, row, col, raised=False, screen=None):
    x, y = cell_corner(row, col)
    return game.shows("Tex/Lamp.Tex", x - 7, y - (20 if raised else 15), src=(0, 0, 50, 50), screen=screen)


def select(game, row, col):
    """Clicks a piece and waits until it is raised as selected."""
    game.click(*cell_centre(row, col))
    wait_for(lambda: game.running() and shows_piece(game, row, col, raised=True), SHOW_TIMEOUT,
             "the piece on (%d, %d) raised as selected" % (row, col))


def jump(game, move):
    """Plays one jump as a player does, each click once the board showed the
    one before: the piece raised, then landed with its start cell empty."""
    from_row, from_col, to_row, to_col = move
    check(shows_hole(game, to_row, to_col), "the target hole of the jump to (%d, %d) is not empty before it"
          % (to_row, to_col))
    select(game, from_row, from_col)
    game.click(*cell_centre(to_row, to_col))

    def landed():
        screen = game.running() and game.session.screenshot()
        return shows_piece(game, to_row, to_col, screen=screen) and shows_hole(game, from_row, from_col, screen=screen)
    wait_for(landed, SHOW_TIMEOUT, "the jump from (%d, %d) to land on (%d, %d)" % move)


def scenario_no_window_manager(session, game, args):
    """A bare X server: nobody acts on the fullscreen request."""
    game.wait_window()
    on_main_menu(game)
    covers_the_screen(session, game)
    game.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, scaled")


def on_main_menu(game):
    game.wait_shows("Tex/Quillmara.Tex", 176, 60, what="the logo")
    game.wait_shows("Tex/Menu/Exit.Tex", 320, 500, (0, 0, 170, 46), what="the Exit button")


def lamp(game, position, on, what):
    """Waits for a lamp of the options screen: music at 158, sound at 260."""
    y = {"music": 158, "sound": 260}[position]
    game.wait_shows("Tex/Menu/Button.Tex", 460, y, (0, 0, 30, 31) if on else (30, 0, 60, 31), what=what)


def music_off(game):
    """From the main menu to the options, the music off, back to the menu."""
    game.click(*OPTIONS)
    lamp(game, "music", True, "the music lamp on")
    game.click(*MUSIC)
    lamp(game, "music", False, "the music lamp off")
    game.click(*BACK)
    on_main_menu(game)


def start_game(game):
    game.click(*START)
    # The frame around the grid: holes and pieces cover most of the rest.
    game.wait_shows("Tex/Board.Tex", 140, 40, (140, 40, 660, 74), what="the board backdrop")


def scenario_menu(session, game, args):
    game.wait_window()
    session.move(*OUT_OF_THE_WAY)
    on_main_menu(game)
    game.wait_shows("Tex/Menu/Start.Tex", 330, 160, (0, 0, 152, 45), what="Start, not hovered")
    session.move(400, 180)
    game.wait_shows("Tex/Menu/Start.Tex", 330, 160, (152, 0, 304, 45), what="Start lit while hovered")

    game.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture")
    game.click(*BACK)
    on_main_menu(game)

    game.click(*HIGH_SCORES)
    with open(os.path.join(game.folder, "config0.bst")) as f:
        times = [int(v) for v in f.read().split()[:4]]
    for i, seconds in enumerate(times):
        wait_for(lambda: game.clock(340, 150 + 70 * i) == format_time(seconds), SHOW_TIMEOUT,
                 "best time %d drawn as %s" % (i, format_time(seconds)))
    game.click(*BACK)
    on_main_menu(game)

    game.click(*OPTIONS)
    lamp(game, "music", True, "the music lamp on")
    lamp(game, "sound", True, "the sound lamp on")
    game.click(*MUSIC)
    lamp(game, "music", False, "the music lamp off")
    game.click(*MUSIC)
    lamp(game, "music", True, "the music lamp on again")
    game.click(*BACK)
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
    # The game's clock runs from the Start click to the last jump: it lies
    # between the time from the board shown to the last click sent and the
    # time from the Start click sent to the Won banner shown.
    game.point_at(*START)
    started = time.monotonic()
    start_game(game)
    board_shown = time.monotonic()
    for move in moves[:-1]:
        jump(game, move)
    from_row, from_col, to_row, to_col = moves[-1]
    select(game, from_row, from_col)
    game.click(*cell_centre(to_row, to_col))
    last_click = time.monotonic()
    game.wait_shows("Tex/Won.Tex", 33, 270, what="the Won banner")
    shortest, longest = last_click - board_shown, time.monotonic() - started
    shown = game.clock(100, 550)
    check("?" not in shown, "the final time cannot be read: %s" % shown)
    seconds = _seconds(shown)
    check(shortest - 1 <= seconds <= longest + 1,
          "the final time %s is not within the %.1f to %.1f s played" % (shown, shortest, longest))
    time.sleep(1.5)
    check(game.clock(100, 550) == shown, "the final time keeps running on the Won screen")
    game.click(400, 300)
    on_main_menu(game)


def scenario_lose(session, game, args):
    game.wait_window()
    on_main_menu(game)
    start_game(game)
    game.wait_shows("Tex/Fail.Tex", 33, 270, what="the Lost banner at once")
    game.click(400, 300)
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
    game.point_at(*OUT_OF_THE_WAY)
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
    # Each is written whole within its frame; the last frame may still be on its way.
    wait_for(lambda: all(os.path.getsize(os.path.join(game.folder, n)) == SCREENSHOT_BYTES
                         for n in screenshots(game.folder) if n != "GAME0.bmp"), SHOW_TIMEOUT,
             "the screenshots of a held F9 written whole")
    names = screenshots(game.folder)
    check(len(names) - before >= 3, "holding F9 for 0.5 s wrote only %d files" % (len(names) - before))
    numbers = sorted(int(n[4:-4]) for n in names)
    check(numbers == list(range(len(numbers))), "screenshot numbers are not consecutive: %s" % numbers)


def scenario_escape(session, game, args):
    game.wait_window()
    on_main_menu(game)
    start_game(game)
    session.move(*OUT_OF_THE_WAY)
    wait_for(lambda: game.clock(100, 550) >= "00-00-02", SHOW_TIMEOUT, "the clock to reach 2 s")
    session.key("Escape")
    on_main_menu(game)
    started = time.monotonic()
    start_game(game)
    shown = game.clock(100, 550)
    # A clock carried over would show at least the 2 s before as well.
    played = time.monotonic() - started
    check(_seconds(shown) <= played, "a new game's clock starts at %s, not at 0 (%.1f s ago)" % (shown, played))


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
    jump(game, moves[0])
    game.point_at(*OUT_OF_THE_WAY)
    before = session.screenshot()
    clock_before = game.clock(100, 550, before)
    session.run(["xdotool", "windowminimize", game.window])
    time.sleep(2.5)  # away long enough for the clock to count on
    check(game.process.poll() is None, "the game ended while it had no focus: %s" % game.stderr())
    session.run(["xdotool", "windowactivate", "--sync", game.window])
    game.wait_shows("Tex/Board.Tex", 140, 40, (140, 40, 660, 74), what="the board after the focus came back")
    is_fullscreen(session, game)
    game.point_at(*OUT_OF_THE_WAY)
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
    game.click(*HELP)
    game.wait_shows("Tex/Help.Tex", 90, 150, what="the help picture, scaled")
    game.click(*BACK)
    on_main_menu(game)
    game.click(*HIGH_SCORES)
    game.wait_shows("Tex/Menu/Back.Tex", 350, 450, (0, 0, 100, 46), what="the best-times screen")
    game.click(*BACK)
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
