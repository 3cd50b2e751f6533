#!/usr/bin/python3
"""Scenarios of how the real game ends, what it does without its files, and
what it sounds like, one per run:

    ending_scenarios.py --scenario NAME --game BINARY --data RUN_FOLDER

Exits 0 when the scenario passed, 1 when it failed (with the reason)."""

import os
import re
import struct
import subprocess
import sys
import time

from harness import (EXIT_TIMEOUT, SHOW_TIMEOUT, WINDOW_TIMEOUT, Game, Processes, XSession, check, format_time,
                     run_scenario, scenario_arguments, wait_for)
from play_scenarios import EXIT, HIGH_SCORES, MUSIC, OPTIONS, OUT_OF_THE_WAY, SOUND, START, cell_centre
from play_scenarios import lamp, music_off, on_main_menu, select, shows_piece, start_game

IMAGES = [
    "Tex/Fail.Tex", "Tex/Won.Tex", "Tex/Quillmara.Tex", "Tex/MousePtr.Tex", "Tex/Menu/Start.Tex",
    "Tex/Menu/Options.Tex", "Tex/Menu/HighScores.Tex", "Tex/Menu/Help.Tex", "Tex/Menu/Exit.Tex",
    "Tex/Menu/Music.Tex", "Tex/Menu/Sound.Tex", "Tex/Menu/Button.Tex", "Tex/Menu/Back.Tex",
    "Tex/Background.Tex", "Tex/Help.Tex", "Tex/Digit.Tex", "Tex/HyphenBlue.Tex", "Tex/Lamp.Tex",
    "Tex/Button1.Tex", "Tex/Board.Tex",
]
MUSIC_FILE = "Sound/BkGnd.mus"
EFFECTS = ["Sound/Button.aud", "Sound/Explode.aud", "Sound/Success.aud"]


def without(relative):
    return lambda folder: os.remove(os.path.join(folder, relative))


def message_box_window(session, caption):
    """The id of a top-level window titled `caption` (SDL's message box has
    only a UTF-8 name, which xwininfo lists and xdotool cannot search)."""
    tree = session.run(["xwininfo", "-root", "-tree"], check=False)
    for line in tree.splitlines():
        match = re.match(r'\s*(0x[0-9a-f]+) "(.*)":', line)
        if match and match.group(2) == caption:
            return match.group(1)
    return None


def expect_fatal_message(session, game, caption, text):
    """The message box shows with its caption; OK is pressed until the game
    ends (a box just listed may not take keys yet); the text is on standard
    error and the process ends with 255."""
    box = wait_for(lambda: message_box_window(session, caption), WINDOW_TIMEOUT, "a message box titled %r" % caption)

    def press_ok():
        if game.process.poll() is not None:
            return True
        session.run(["xdotool", "windowactivate", "--sync", box], check=False)
        session.run(["xdotool", "key", "--window", box, "Return"], check=False)
        session.run(["xdotool", "key", "Return"], check=False)
        return False
    wait_for(press_ok, EXIT_TIMEOUT, "the game to end once OK is pressed on %r" % caption, interval=0.3)
    code = game.process.returncode
    check(code == 255, "the game ended with %s, not 255, after %r" % (code, text))
    check("%s: %s" % (caption, text) in game.stderr(), "standard error lacks %r: %r" % (text, game.stderr()))


def run_with(processes, session, args, prepare, body, env=None):
    game = Game(processes, session, args.game, args.data, env=env, prepare=prepare)
    try:
        body(game)
    finally:
        if game.process.poll() is None:
            game.process.terminate()  # a game held by a message box ignores it
            try:
                game.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                game.process.kill()
                game.process.wait()
        game.close()


def scenario_exit_codes(processes, session, args):
    def exit_button(game):
        game.wait_window()
        on_main_menu(game)
        game.click(*EXIT)
        check(game.wait_exit() == 1, "the Exit button ended the game with %s, not 1" % game.process.returncode)

    def close_window(game):
        game.wait_window()
        session.move(*OUT_OF_THE_WAY)  # still over Exit from the game before
        on_main_menu(game)
        session.run(["xdotool", "key", "alt+F4"])
        check(game.wait_exit() == 0, "closing the window ended the game with %s, not 0" % game.process.returncode)

    run_with(processes, session, args, None, exit_button)
    run_with(processes, session, args, None, close_window)


def scenario_missing_images(processes, session, args):
    for image in IMAGES:
        run_with(processes, session, args, without(image), lambda game: expect_fatal_message(
            session, game, "DirectDraw", "Can't Load %s! Quillmara is Exiting!!" % image))


def scenario_missing_sounds(processes, session, args):
    run_with(processes, session, args, without(MUSIC_FILE), lambda game: expect_fatal_message(
        session, game, "BkGnd Music", "BkGnd.mus not found,  Program will now quit"))
    for effect in EFFECTS:
        run_with(processes, session, args, without(effect), lambda game: expect_fatal_message(
            session, game, "Quillmara", "Media not found, sample will now quit"))

    def level_missing(game):
        game.wait_window()
        on_main_menu(game)
        game.click(*START)
        expect_fatal_message(session, game, "Quillmara", "Level file can't be opened!")

    run_with(processes, session, args, without("Tex/Level.txt"), level_missing)

    def best_times_missing(game):
        game.wait_window()
        on_main_menu(game)
        game.click(*HIGH_SCORES)
        for i in range(4):
            wait_for(lambda: game.clock(340, 150 + 70 * i) == format_time(0), SHOW_TIMEOUT,
                     "best time %d drawn as the current value 00-00-00" % i)
        check(game.process.poll() is None, "the game ended without config0.bst")

    run_with(processes, session, args, without("config0.bst"), best_times_missing)


# ------------------------------------------------------------------ sound

def read_samples(path, start_byte, end_byte=None):
    """Stereo 16-bit little-endian frames of the disk driver's output."""
    with open(path, "rb") as f:
        f.seek(start_byte - start_byte % 4)
        data = f.read() if end_byte is None else f.read(end_byte - start_byte)
    count = len(data) // 4
    values = struct.unpack("<%dh" % (2 * count), data[:4 * count])
    return values[0::2], values[1::2]


def energy(samples):
    return sum(v * v for v in samples) / max(len(samples), 1)


def output_frames(path):
    return os.path.getsize(path) // 4


def wait_output(path, frames, what):
    """Waits until the disk driver has written `frames` frames in all."""
    wait_for(lambda: output_frames(path) >= frames, SHOW_TIMEOUT, what)


def wait_silent(path, frames=4410):
    """Waits until the last `frames` frames written (0.1 s) are silent: what
    sounded before has died away."""
    def silent():
        left, right = read_samples(path, max(os.path.getsize(path) - 4 * frames, 0))
        return len(left) == frames and max(map(abs, left + right)) == 0
    wait_for(silent, SHOW_TIMEOUT, "the mixed output to fall silent")


def disk_env(game_folder_hint):
    return {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": game_folder_hint}


def left_and_right_jumps(folder):
    rows = ["0 0 0 0 0 0 0 0 0"] * 9
    rows[0] = "1 0 2 0 2 0 0 0 0"
    rows[8] = "0 0 0 0 2 0 2 0 1"
    with open(os.path.join(folder, "Tex", "Level.txt"), "w") as f:
        f.write("\n".join(rows) + "\n")


def scenario_sound(processes, session, args):
    output = os.path.join(session.shot_dir, "mixed.raw")

    def music_then_silence(game):
        game.wait_window()
        on_main_menu(game)
        wait_output(output, 44100, "a second of mixed output")
        left, right = read_samples(output, max(os.path.getsize(output) - 4 * 22050, 0))
        check(energy(left) + energy(right) > 1000, "no music in the mixed output")
        game.click(*OPTIONS)
        lamp(game, "music", True, "the music lamp on")
        game.click(*MUSIC)
        lamp(game, "music", False, "the music lamp off")
        game.click(*SOUND)
        lamp(game, "sound", False, "the sound lamp off")
        wait_silent(output)  # the Sound button's own click still sounds
        mark = os.path.getsize(output)
        time.sleep(1.0)
        left, right = read_samples(output, mark)
        check(len(left) > 20000, "the disk driver wrote only %d frames in a second" % len(left))
        check(max(map(abs, left + right)) == 0, "music and sound are off, yet the output is not silent")

    run_with(processes, session, args, None, music_then_silence, env=disk_env(output))
    os.remove(output)

    def panned_jumps(game):
        game.wait_window()
        on_main_menu(game)
        music_off(game)
        start_game(game)
        for (from_cell, to_cell, side) in (((0, 4), (0, 0), "left"), ((8, 4), (8, 8), "right")):
            select(game, *from_cell)
            wait_silent(output)  # the selection's own sound
            mark = os.path.getsize(output)
            game.click(*cell_centre(*to_cell))
            wait_for(lambda: shows_piece(game, *to_cell), SHOW_TIMEOUT, "the jump landing on %s" % (to_cell,))
            # The landing sounds from the frame that showed it: 0.8 s of it.
            wait_output(output, output_frames(output) + 35280, "0.8 s of output after the landing")
            left, right = read_samples(output, mark)
            louder, softer = (energy(left), energy(right)) if side == "left" else (energy(right), energy(left))
            check(louder > 2 * softer and louder > 1000,
                  "a jump landing on the %s side is not louder on the %s (left %.0f, right %.0f)"
                  % (side, side, energy(left), energy(right)))

    run_with(processes, session, args, left_and_right_jumps, panned_jumps, env=disk_env(output))


def scenario_no_sound_server(processes, session, args):
    def plays_silently(game):
        game.wait_window()
        on_main_menu(game)
        start_game(game)
        session.key("Escape")
        on_main_menu(game)
        lines = [line for line in game.stderr().splitlines() if "without sound" in line]
        check(len(lines) == 1, "expected one line saying the game plays without sound, got %r" % game.stderr())

    # A server address that answers nothing: with none given, libpulse would
    # start a PulseAudio of its own for a user who is not root.
    env = {"SDL_AUDIODRIVER": None, "PULSE_SERVER": "unix:/nonexistent/quillmara-e2e"}
    run_with(processes, session, args, None, plays_silently, env=env)


SCENARIOS = {
    "exit_codes": scenario_exit_codes,
    "missing_images": scenario_missing_images,
    "missing_sounds": scenario_missing_sounds,
    "sound": scenario_sound,
    "no_sound_server": scenario_no_sound_server,
}


def main():
    args = scenario_arguments(SCENARIOS, "game", "data", optional=("solver",))
    processes = Processes()
    sessions = []

    def body():
        sessions.append(XSession(processes, 800, 600))
        SCENARIOS[args.scenario](processes, sessions[0], args)

    def cleanup():
        processes.end_all()
        for session in sessions:
            session.close()

    return run_scenario(args.scenario, body, cleanup=cleanup)


if __name__ == "__main__":
    sys.exit(main())
