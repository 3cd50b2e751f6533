#!/usr/bin/python3
"""Scenarios of a player at the game's web page in a headless Chromium, one per run:

    web_scenarios.py --scenario NAME --site build-web/site --data RUN_FOLDER --levels data/levels --solver SOLVER

Exits 0 when the scenario passed, 1 when it failed (with the reason), 77 when
a program it needs is missing."""

import gzip
import os
import subprocess
import sys
import time

from browser import PAGE_TIMEOUT, Page, Site, missing_programs

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import SHOW_TIMEOUT, Picture, check, close, run_scenario, scenario_arguments, wait_for, widen565  # noqa: E402
from play_scenarios import (EXIT, OUT_OF_THE_WAY, board_region_matches, cell_centre, jump,  # noqa: E402
                            on_main_menu, select, shows_hole, shows_piece, start_game)

SITE_BUDGET = 2 * 1024 * 1024  # the page's files, each compressed with gzip -9
SITE_FILES = ("index.html", "quillmara.js", "quillmara.wasm", "quillmara.data")
MISSING = "Tex/Board.Tex"

# Removes a file from the page's in-memory file system once the data package
# has put it there and before the game starts: the run waits for one more
# dependency, given up only when the file is gone.
REMOVE_BEFORE_START = """
(() => {
  const hooked = new WeakSet();
  let module;
  Object.defineProperty(window, 'Module', {configurable: true, get() { return module; }, set(value) {
    module = value;
    if (!value || hooked.has(value)) return;
    hooked.add(value);
    value.preRun = [].concat(value.preRun || [], () => {
      value.addRunDependency('test: remove %(path)s');
      const poll = () => {
        const fs = value.FS || window.FS;
        if (!fs.analyzePath('/%(path)s').exists) return setTimeout(poll, 5);
        fs.unlink('/%(path)s');
        value.removeRunDependency('test: remove %(path)s');
      };
      poll();
    });
  }});
})();
"""


def solver_moves(args, level_path):
    result = subprocess.run([args.solver, level_path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            timeout=60)
    check(result.returncode == 0, "the solver finds no win for %s: %s" % (level_path, result.stderr))
    return [tuple(int(v) for v in line.split()) for line in result.stdout.splitlines() if line.strip()]


def level_codes(path):
    with open(path) as f:
        return [[int(v) for v in line.split()] for line in f if line.strip()]


def open_page(args, query="", before_start=None):
    page = Page(args.site_server, args.data, query, before_start)
    args.pages.append(page)
    page.wait_state("running", PAGE_TIMEOUT)
    on_main_menu(page)
    return page


def scenario_menu(args):
    """The menu is the game's own art, 1:1 on the canvas, and answers the pointer."""
    page = open_page(args)
    page.move(*OUT_OF_THE_WAY)
    page.wait_shows("Tex/Menu/Start.Tex", 330, 160, (0, 0, 152, 45), what="Start, not hovered")
    screen = page.screenshot()
    background = page.image("Tex/Background.Tex")
    for x, y in ((0, 0), (799, 0), (0, 599), (799, 599), (20, 300)):  # corners no button covers
        check(close(screen.get(x, y), widen565(background.get(x, y)), 0),
              "canvas pixel (%d, %d) is %s, the background has %s" % (x, y, screen.get(x, y), background.get(x, y)))
    page.move(400, 180)
    page.wait_shows("Tex/Menu/Start.Tex", 330, 160, (152, 0, 304, 45), what="Start lit while hovered")


def scenario_level(args):
    """?level=NAME plays that level; bad choices are refused before anything starts."""
    for query, says in (("?level=no-such-level", "no-such-level"), ("?random=seven", "seven"),
                        ("?level=ring&random=3", "")):
        page = Page(args.site_server, args.data, query)
        args.pages.append(page)
        page.wait_state("refused")
        check(says in (page.text("notice") or ""), "the notice for %s does not name %r: %r"
              % (query, says, page.text("notice")))
        page.close()
        args.pages.remove(page)

    page = open_page(args, "?level=ring")
    start_game(page)
    page.move(*OUT_OF_THE_WAY)
    screen = page.screenshot()
    for row, codes in enumerate(level_codes(os.path.join(args.levels, "ring.txt"))):
        for col, code in enumerate(codes):
            if code == 2:
                check(shows_piece(page, row, col, screen=screen), "no piece on (%d, %d) of ring" % (row, col))
            elif code == 1:
                check(shows_hole(page, row, col, screen=screen), "no empty hole on (%d, %d) of ring" % (row, col))


def scenario_jump(args):
    page = open_page(args)
    moves = solver_moves(args, os.path.join(args.data, "Tex", "Level.txt"))
    start_game(page)
    jump(page, moves[0])


def scenario_win(args):
    """The easiest level of the set, played to its end."""
    page = open_page(args, "?level=diamond")
    moves = solver_moves(args, os.path.join(args.levels, "diamond.txt"))
    start_game(page)
    for move in moves[:-1]:
        jump(page, move)
    from_row, from_col, to_row, to_col = moves[-1]
    select(page, from_row, from_col)
    page.click(*cell_centre(to_row, to_col))
    page.wait_shows("Tex/Won.Tex", 33, 270, what="the Won banner")


def scenario_escape(args):
    page = open_page(args)
    start_game(page)
    page.move(*OUT_OF_THE_WAY)
    page.key("Escape")
    on_main_menu(page)
    page.click(*EXIT)
    page.wait_state("ended", SHOW_TIMEOUT)
    check(page.visible("ended") and page.visible("play-again"), "the ended page offers no new game")


def scenario_screenshot(args):
    """F9 writes GAME0.bmp, offered as a download, equal to the canvas."""
    page = open_page(args)
    page.point_at(*OUT_OF_THE_WAY)
    page.key("F9")
    path = os.path.join(page.downloads, "GAME0.bmp")
    wait_for(lambda: os.path.isfile(path) and os.path.getsize(path) == 1440054, SHOW_TIMEOUT,
             "GAME0.bmp downloaded whole")
    shot, screen = Picture.load_bmp(path), page.screenshot()
    left, top, right, bottom = page.pointer_area()
    differ = sum(1 for y in range(0, 600, 2) for x in range(0, 800, 2)
                 if not (left <= x < right and top <= y < bottom) and not close(shot.get(x, y), screen.get(x, y), 0))
    check(differ == 0, "GAME0.bmp differs from the canvas in %d sampled pixels" % differ)


def scenario_hidden(args):
    """A page hidden in the middle of a game shows it again as it was, and play goes on."""
    page = open_page(args)
    moves = solver_moves(args, os.path.join(args.data, "Tex", "Level.txt"))
    start_game(page)
    jump(page, moves[0])
    page.point_at(*OUT_OF_THE_WAY)
    before = page.screenshot()
    page.driver.minimize_window()
    wait_for(lambda: page.driver.execute_script("return document.hidden"), SHOW_TIMEOUT, "the page hidden")
    time.sleep(1)
    page.driver.set_window_rect(width=1024, height=900)
    wait_for(lambda: not page.driver.execute_script("return document.hidden"), SHOW_TIMEOUT, "the page shown")
    page.move(*OUT_OF_THE_WAY)
    wait_for(lambda: board_region_matches(before, page.screenshot(), page), SHOW_TIMEOUT,
             "the board as it was before the page was hidden")
    jump(page, moves[1])


def scenario_missing_file(args):
    """A data file gone: the game's own message, then the ended page."""
    page = Page(args.site_server, args.data, before_start=REMOVE_BEFORE_START % {"path": MISSING})
    args.pages.append(page)
    wait_for(lambda: page.visible("message"), PAGE_TIMEOUT, "the message dialog")
    check(page.text("message-caption") == "DirectDraw", "the caption is %r" % page.text("message-caption"))
    wanted = "Can't Load %s! Quillmara is Exiting!!" % MISSING
    check(page.text("message-text") == wanted, "the message is %r, not %r" % (page.text("message-text"), wanted))
    page.driver.find_element("id", "message-ok").click()
    page.wait_state("ended", SHOW_TIMEOUT)
    check(page.visible("ended") and page.visible("play-again"), "the ended page offers no new game")


def scenario_budget(args):
    """The site's files, each compressed with gzip -9, fit the budget together."""
    sizes = {}
    for name in SITE_FILES:
        with open(os.path.join(args.site, name), "rb") as f:
            sizes[name] = len(gzip.compress(f.read(), 9))
    total = sum(sizes.values())
    print("gzip -9 sizes: %s, total %d bytes" % (sizes, total))
    check(total <= SITE_BUDGET, "the site compresses to %d bytes, over %d" % (total, SITE_BUDGET))


SCENARIOS = {
    "menu": scenario_menu, "level": scenario_level, "jump": scenario_jump, "win": scenario_win,
    "escape": scenario_escape, "screenshot": scenario_screenshot, "hidden": scenario_hidden,
    "missing_file": scenario_missing_file, "budget": scenario_budget,
}


def main():
    args = scenario_arguments(SCENARIOS, "site", "data", "levels", "solver")
    if args.scenario != "budget":
        missing = missing_programs(args.site)
        if missing:
            print("scenario %s skipped: %s" % (args.scenario, missing))
            return 77
    args.pages = []
    started = {}

    def body():
        if args.scenario != "budget":
            started["site"] = args.site_server = Site(args.site)
        SCENARIOS[args.scenario](args)

    def on_failure():
        for page in args.pages:
            try:
                path = page.save_canvas()
                print("page state %r, notice %r, canvas in %s, console:" % (page.state(), page.text("notice"), path))
                for entry in page.driver.get_log("browser"):
                    print("  " + entry.get("message", ""))
            except Exception as error:  # the browser may be what failed
                print("the page cannot be read: %s" % error)

    def cleanup():
        for page in args.pages:
            page.close()
        if "site" in started:
            started["site"].close()

    return run_scenario(args.scenario, body, on_failure, cleanup)


if __name__ == "__main__":
    sys.exit(main())
