#!/usr/bin/python3
"""A new board at every game: the installed launcher's --endless and
--series in a real X session, one scenario per run:

    deal_scenarios.py --scenario NAME --build BUILD_FOLDER --run RUN_FOLDER

The dealer wakes whenever anyone reads the level it dealt, so a level file
is read only after the game has started with it: the link's target is noted
before Start and its file read after."""

import os
import signal
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "install"))
from harness import SHOW_TIMEOUT, check, wait_for  # noqa: E402
from install_scenarios import (  # noqa: E402
    InstalledGame, fresh, in_x_session, install, installation_processes, run_installed, wait_board)
from play_scenarios import on_main_menu, start_game  # noqa: E402


def play_dealt(args, work, options, body):
    """Starts the installed game with `options`; body(game, next_game) plays
    it, where next_game() goes back to the menu, starts a new game and
    returns the level the link named before Start. Once the game has ended,
    no program of the installation may be left within a second."""
    inst = install(args.build, os.path.join(work, "prefix"))
    xdg = fresh(work, "xdg")
    link = os.path.join(xdg, "quillmara", "Tex", "Level.txt")

    def session_body(processes, session):
        game = InstalledGame(processes, session, inst, xdg, args=options)
        try:
            game.wait_window()
            session.move(790, 590)
            on_main_menu(game)
            game.inst = inst
            dealt = []

            def next_game():
                if dealt:
                    # The dealer points the link at the next level once the
                    # game has read the last one.
                    wait_for(lambda: os.readlink(link) != dealt[-1], SHOW_TIMEOUT, "the next level to be dealt")
                    session.key("Escape")
                    on_main_menu(game)
                dealt.append(os.readlink(link))
                start_game(game)
                return dealt[-1]

            body(game, next_game)
            game.end()
        finally:
            game.close()
        wait_for(lambda: not installation_processes(inst.prefix), 1, "every program of the installation to end")

    in_x_session(work, session_body)


def scenario_endless(args, work):
    def body(game, next_game):
        first = next_game()
        check(os.path.basename(os.path.dirname(first)) == "endless", "--endless dealt %s" % first)
        shown = wait_board(game, first, "the first endless level")
        second = next_game()
        check(wait_board(game, second, "the second endless level") != shown, "the second board is the first again")

        # A dealer killed mid-game: the game plays on, and Start plays the
        # level the link names.
        dealers = [pid for pid in installation_processes(game.inst.prefix) if pid != game.process.pid]
        check(len(dealers) == 1, "not one dealer beside the game: %s" % dealers)
        os.kill(dealers[0], signal.SIGKILL)
        wait_for(lambda: dealers[0] not in installation_processes(game.inst.prefix), 1, "the dealer to die")
        third = next_game()
        wait_board(game, third, "the level dealt before the dealer died")
        check(game.process.poll() is None, "the game ended with its dealer")

    play_dealt(args, work, ["--endless"], body)


def scenario_series(args, work):
    with open(os.path.join(args.run, "levels.order")) as f:
        names = [line.split("\t")[0] for line in f.read().splitlines()]
    after = names[(names.index("heart") + 1) % len(names)]

    def body(game, next_game):
        for name in ("heart", after):
            level = next_game()
            check(os.path.basename(level) == name + ".txt", "the series dealt %s, not %s" % (level, name))
            wait_board(game, os.path.join(game.inst.levels, name + ".txt"), name)

    play_dealt(args, work, ["--series", "heart"], body)


SCENARIOS = {"endless": scenario_endless, "series": scenario_series}


if __name__ == "__main__":
    sys.exit(run_installed(SCENARIOS, "quillmara-deal-"))
