#!/usr/bin/python3
"""The installed game, one scenario per run:

    install_scenarios.py --scenario NAME --build BUILD_FOLDER --run RUN_FOLDER

Each scenario installs the build into a fresh temporary prefix (or packs it
with cpack) and plays the part of a player or a packager. Exits 0 when the
scenario passed, 1 when it failed (with the reason)."""

import configparser
import filecmp
import gzip
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (  # noqa: E402
    SHOW_TIMEOUT, Game, Processes, ScenarioFailed, XSession, check, run_scenario, scenario_arguments, take_screenshot,
    wait_for)

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
APP_ID = "io.github.quillmara.Quillmara"
DATA_ENTRIES = ("Tex", "Sound", "config0.bst")


def install(build, prefix):
    result = subprocess.run(["cmake", "--install", build, "--prefix", prefix], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, timeout=120)
    check(result.returncode == 0, "cmake --install failed:\n" + result.stdout)
    return Installation(prefix)


class Installation:
    def __init__(self, prefix):
        self.prefix = prefix
        self.launcher = os.path.join(prefix, "bin", "quillmara")
        self.game = os.path.join(prefix, "lib", "quillmara", "quillmara")
        self.data = os.path.join(prefix, "share", "quillmara")
        self.solver = os.path.join(prefix, "bin", "quillmara-solve")
        self.levels = os.path.join(self.data, "levels")
        self.desktop = os.path.join(prefix, "share", "applications", APP_ID + ".desktop")
        self.metainfo = os.path.join(prefix, "share", "metainfo", APP_ID + ".metainfo.xml")

    def listing(self):
        """Every path under the installed data with its kind and size."""
        found = []
        for folder, dirs, files in os.walk(self.data):
            for name in dirs + files:
                path = os.path.join(folder, name)
                found.append((os.path.relpath(path, self.data), os.path.islink(path), os.path.getsize(path)))
        return sorted(found)


def data_files(root):
    """Relative paths of the regular files under root's data entries."""
    files = []
    for entry in DATA_ENTRIES:
        path = os.path.join(root, entry)
        if os.path.isfile(path):
            files.append(entry)
        for folder, _, names in os.walk(path):
            files += [os.path.relpath(os.path.join(folder, n), root) for n in names]
    return sorted(files)


def player_env(xdg, **extra):
    env = dict(os.environ, XDG_DATA_HOME=xdg, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    env.update(extra)
    return env


def check_links_only(play, installation):
    """The play folder holds links to the installed data and no copy of it."""
    for folder, dirs, files in os.walk(play):
        for name in dirs + files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, play)
            if relative == "Tex":
                check(os.path.isdir(path) and not os.path.islink(path), "Tex in the play folder is no real folder")
                continue
            check(os.path.islink(path), "%s in the play folder is a copy, not a link" % relative)
            target = os.readlink(path)
            expected = os.path.join(os.path.realpath(installation.data), relative)
            check(target == expected, "%s links to %s, not to %s" % (relative, target, expected))
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(folder, d))]
    for relative in data_files(installation.data):
        check(os.path.exists(os.path.join(play, relative)), "%s cannot be reached from the play folder" % relative)


def project_version(build):
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.strip().split("=", 1)[1]
    raise ScenarioFailed("no project version in the build's cache")


def validate(command, path):
    """Runs a validator on an installed file: no output, exit 0; skipped aloud
    where the validator is not installed."""
    if not shutil.which(command[0]):
        print("%s is not installed: that check is skipped" % command[0])
        return
    result = subprocess.run(command + [path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=60)
    print("%s says:\n%s" % (" ".join(command), result.stdout.strip() or "(nothing)"))
    check(result.returncode == 0, "%s fails on %s:\n%s" % (command[0], path, result.stdout))
    return result.stdout


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", "%s is no PNG file" % path)
    return struct.unpack(">II", head[16:24])


# ------------------------------------------------------------------ scenarios

def scenario_layout(args, work):
    inst = install(args.build, os.path.join(work, "prefix"))
    check(os.access(inst.launcher, os.X_OK), "no launcher at bin/quillmara")
    with open(inst.launcher, "rb") as f:
        check(f.readline() == b"#!/bin/sh\n", "the launcher is no POSIX shell script")
    check(os.access(inst.game, os.X_OK), "no game at lib/quillmara/quillmara")
    games_link = os.path.join(inst.prefix, "games", "quillmara")
    check(os.path.islink(games_link) and os.readlink(games_link) == "../bin/quillmara",
          "games/quillmara is no relative link to the launcher")
    installed, built = data_files(inst.data), data_files(args.run)
    check(installed == built, "installed data %s differs from the run folder's %s" % (installed, built))
    check(len([f for f in installed if f.endswith(".Tex")]) == 20, "not twenty images: %s" % installed)
    for relative in ("Tex/Level.txt", "config0.bst", "Sound/BkGnd.mus"):
        check(relative in installed, "%s is not installed" % relative)
    for relative in installed:
        check(filecmp.cmp(os.path.join(inst.data, relative), os.path.join(args.run, relative), shallow=False),
              "installed %s differs from the built one" % relative)
    # A screenshot taken in the run folder is no part of the game's data.
    check(not any(f.startswith("GAME") for f in os.listdir(inst.data)), "a screenshot was installed")
    check(os.access(inst.solver, os.X_OK), "no solver at bin/quillmara-solve")
    # The level set: only level files, as built, and their order beside them.
    built_levels = sorted(os.listdir(os.path.join(args.run, "levels")))
    check(sorted(os.listdir(inst.levels)) == built_levels and all(n.endswith(".txt") for n in built_levels),
          "installed levels %s, built %s" % (sorted(os.listdir(inst.levels)), built_levels))
    for relative in ["levels.order"] + ["levels/" + n for n in built_levels]:
        check(filecmp.cmp(os.path.join(inst.data, relative), os.path.join(args.run, relative), shallow=False),
              "installed %s differs from the built one" % relative)

    for size in ICON_SIZES:
        path = os.path.join(inst.prefix, "share/icons/hicolor/%dx%d/apps/quillmara.png" % (size, size))
        check(os.path.isfile(path), "no %dx%d icon" % (size, size))
        check(png_size(path) == (size, size), "the %dx%d icon is %s" % (size, size, png_size(path)))

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(inst.desktop)
    expected = {"Desktop Entry": {"Name": "Quillmara", "Exec": "env QUILLMARA_FROM_DESKTOP=1 quillmara",
                                  "Icon": "quillmara", "Type": "Application", "Categories": "Game;LogicGame;",
                                  "Terminal": "false", "Actions": "series;endless;"},
                "Desktop Action series": {"Exec": "env QUILLMARA_FROM_DESKTOP=1 quillmara --series"},
                "Desktop Action endless": {"Exec": "env QUILLMARA_FROM_DESKTOP=1 quillmara --endless"}}
    for section, keys in expected.items():
        for key, value in keys.items():
            found = entry.get(section, key, fallback=None)
            check(found == value, "desktop entry [%s] %s is %r, not %r" % (section, key, found, value))
    output = validate(["desktop-file-validate"], inst.desktop)
    check(not (output or "").strip(), "desktop-file-validate warns")
    validate(["appstreamcli", "validate", "--no-net"], inst.metainfo)

    # One version everywhere: the project's, the launcher's, the change
    # log's newest entry and the software centre's newest release.
    version = project_version(args.build)
    result = subprocess.run([inst.launcher, "--version"], stdout=subprocess.PIPE, text=True, timeout=30)
    with gzip.open(os.path.join(inst.prefix, "share/doc/quillmara/changelog.gz"), "rt") as f:
        changelog = f.readline().split()[1].strip("()")
    releases = ElementTree.parse(inst.metainfo).getroot().findall("releases/release")
    newest = max(releases, key=lambda r: r.get("date")).get("version")
    check(result.stdout == "quillmara %s\n" % version and changelog == version and newest == version,
          "versions differ: project %s, launcher %r, changelog %s, metainfo %s" % (
              version, result.stdout, changelog, newest))
    for relative in ("share/man/man6/quillmara.6.gz", "share/doc/quillmara/copyright",
                     "share/doc/quillmara/changelog.gz"):
        check(os.path.isfile(os.path.join(inst.prefix, relative)), "%s is not installed" % relative)


STUB_GAME = """#!/bin/sh
# Stands in for the game: tells where it was started and with what. Then it
# reads its level STUB_READS times as new games do, noting each level's
# path, and after each read waits a while for the link to move on.
{ pwd -P; for a in "$@"; do printf '%s\\n' "$a"; done; } > "$STUB_REPORT"
i=0
while [ "$i" -lt "${STUB_READS:-0}" ]; do
    was=$(readlink Tex/Level.txt)
    printf '%s\\n' "$was" >> "$STUB_REPORT.levels"
    cat Tex/Level.txt > /dev/null
    n=0
    while [ "$(readlink Tex/Level.txt)" = "$was" ] && [ "$n" -lt 100 ]; do sleep 0.05; n=$((n + 1)); done
    i=$((i + 1))
done
exit "${STUB_EXIT:-0}"
"""


class Stub:
    """The installation with a stand-in game that reports and exits at once."""

    def __init__(self, inst, work):
        self.inst, self.work = inst, work
        with open(inst.game, "w") as f:
            f.write(STUB_GAME)
        os.chmod(inst.game, 0o755)
        self.report = os.path.join(work, "report.txt")

    def run(self, launcher=None, args=(), env=None, cwd=None, command=None):
        for path in (self.report, self.report + ".levels"):
            if os.path.exists(path):
                os.remove(path)
        full_env = dict(env if env is not None else os.environ, STUB_REPORT=self.report)
        result = subprocess.run(command or [launcher or self.inst.launcher] + list(args), env=full_env,
                                cwd=cwd or self.work, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                timeout=30)
        started = None
        if os.path.exists(self.report):
            with open(self.report) as f:
                lines = f.read().split("\n")[:-1]
            started = (lines[0], lines[1:])
        return result.returncode, result.stderr, started


def fresh(work, name):
    path = os.path.join(work, name)
    os.makedirs(path)
    return path


def scenario_launcher(args, work):
    inst = install(args.build, os.path.join(work, "prefix"))
    stub = Stub(inst, work)
    data_before = inst.listing()

    # Words that are no option are refused before anything is made.
    xdg = fresh(work, "xdg")
    play = os.path.join(xdg, "quillmara")
    rc, err, started = stub.run(args=["two words", ""], env=player_env(xdg))
    check(rc == 2 and "usage: quillmara" in err and started is None, "two words: %d %r %s" % (rc, err, started))
    check(not os.path.exists(play), "a refused start made the play folder")

    # A first start makes the play folder under XDG_DATA_HOME and starts the
    # game there, without arguments, passing its exit codes through.
    for code in (0, 1, 255):
        rc, err, started = stub.run(env=player_env(xdg, STUB_EXIT=str(code)))
        check(rc == code, "the game's exit code %d came back as %d: %s" % (code, rc, err))
        check(started == (os.path.realpath(play), []), "the game started as %s" % (started,))
    check_links_only(play, inst)

    # Without a usable XDG_DATA_HOME (unset, empty, relative) it is ~/.local/share.
    home = fresh(work, "home")
    for xdg_value in (None, "", "relative/share"):
        env = dict(os.environ, HOME=home)
        env.pop("XDG_DATA_HOME", None)
        if xdg_value is not None:
            env["XDG_DATA_HOME"] = xdg_value
        rc, err, started = stub.run(env=env)
        check(rc == 0 and started, "XDG_DATA_HOME=%r: exit %d %s" % (xdg_value, rc, err))
        check(started[0] == os.path.realpath(os.path.join(home, ".local/share/quillmara")),
              "XDG_DATA_HOME=%r: started in %s" % (xdg_value, started[0]))
    check(not os.path.exists(os.path.join(work, "relative")), "a relative XDG_DATA_HOME was used")

    # Nowhere to put the play folder, or a broken installation: a clear
    # message, exit code 2, and the game is not started.
    env = dict(os.environ)
    env.pop("XDG_DATA_HOME", None)
    env.pop("HOME", None)
    blocked = fresh(work, "blocked")
    with open(os.path.join(blocked, "quillmara"), "w") as f:
        f.write("a file where the play folder should go\n")
    refusals = [
        (env, "neither XDG_DATA_HOME nor HOME is an absolute path"),
        (player_env(blocked), "cannot make the play folder %s/quillmara" % blocked),
        (player_env(os.path.join(inst.prefix, "share")), "is the installed data folder itself"),
    ]
    for refused_env, message in refusals:
        rc, err, started = stub.run(env=refused_env)
        check(rc == 2 and message in err and started is None,
              "expected exit 2 with %r, got %d %r (started: %s)" % (message, rc, err, started))

    # The player's own files are used and never replaced; links that lead
    # nowhere or into another installation's data are pointed at this one.
    xdg = fresh(work, "own")
    play = os.path.join(xdg, "quillmara")
    os.makedirs(os.path.join(play, "Tex"))
    own_level = "0 0 0 0 0 0 0 0 0\n" * 4 + "2 1 1 2 1 0 0 0 0\n" + "0 0 0 0 0 0 0 0 0\n" * 4
    with open(os.path.join(play, "Tex", "Level.txt"), "w") as f:
        f.write(own_level)
    with open(os.path.join(play, "config0.bst"), "w") as f:
        f.write("1 2 3 4\n")
    my_sound = fresh(work, "my-sound")
    os.symlink(my_sound, os.path.join(play, "Sound"))
    os.symlink("/no/such/old/prefix/share/quillmara/Tex/Board.Tex", os.path.join(play, "Tex", "Board.Tex"))
    other = os.path.join(work, "other", "share", "quillmara", "Tex")
    os.makedirs(other)
    with open(os.path.join(other, "Help.Tex"), "w") as f:
        f.write("another installation's image\n")
    os.symlink(os.path.join(other, "Help.Tex"), os.path.join(play, "Tex", "Help.Tex"))
    for attempt in (1, 2):
        rc, err, started = stub.run(env=player_env(xdg))
        check(rc == 0 and started, "start %d with the player's own files: %d %s" % (attempt, rc, err))
        with open(os.path.join(play, "Tex", "Level.txt")) as f:
            check(f.read() == own_level, "start %d replaced the player's own level" % attempt)
        check(not os.path.islink(os.path.join(play, "Tex", "Level.txt")), "the own level became a link")
        with open(os.path.join(play, "config0.bst")) as f:
            check(f.read() == "1 2 3 4\n", "start %d replaced the player's best times" % attempt)
        check(os.readlink(os.path.join(play, "Sound")) == my_sound, "the player's own Sound link was replaced")
        check(os.listdir(my_sound) == [], "links were made inside the player's own Sound folder")
        for name in ("Board.Tex", "Help.Tex", "Menu"):
            target = os.readlink(os.path.join(play, "Tex", name))
            check(target == os.path.join(os.path.realpath(inst.data), "Tex", name),
                  "Tex/%s still leads to %s" % (name, target))

    # A whole-Tex link left by an older layout becomes a real folder, and
    # nothing is ever written into the installed data through it.
    for number, old_target in enumerate((os.path.join(os.path.realpath(inst.data), "Tex"),
                                         "/gone/share/quillmara/Tex")):
        xdg = fresh(work, "old-layout-%d" % number)
        play = os.path.join(xdg, "quillmara")
        os.makedirs(play)
        os.symlink(old_target, os.path.join(play, "Tex"))
        rc, err, started = stub.run(env=player_env(xdg))
        check(rc == 0 and started, "with Tex linked to %s: %d %s" % (old_target, rc, err))
        check_links_only(play, inst)

    # Reached through a chain of links, run with sh, or moved with its
    # prefix to a folder with spaces: it still finds the game and its data.
    links = fresh(work, "links")
    os.symlink(os.path.relpath(inst.launcher, links), os.path.join(links, "hop1"))
    os.symlink("hop1", os.path.join(links, "quillmara"))
    moved = os.path.join(work, "moved games", "pre fix")
    shutil.copytree(inst.prefix, moved, symlinks=True)
    xdg = fresh(work, "xdg with spaces 'and quotes'")
    for how, command, cwd in (
            ("through two links", [os.path.join(links, "quillmara")], None),
            ("from games/", [os.path.join(inst.prefix, "games", "quillmara")], None),
            ("as sh quillmara in bin", ["sh", "quillmara"], os.path.join(inst.prefix, "bin")),
            ("moved", [os.path.join(moved, "bin", "quillmara")], None)):
        rc, err, started = stub.run(command=command, env=player_env(xdg), cwd=cwd)
        check(rc == 0 and started, "%s: exit %d %s" % (how, rc, err))
    check_links_only(os.path.join(xdg, "quillmara"), Installation(moved))

    check(inst.listing() == data_before, "the installed data changed while players played")

    # A broken installation says what is missing.
    os.remove(os.path.join(moved, "lib", "quillmara", "quillmara"))
    rc, err, _ = stub.run(command=[os.path.join(moved, "bin", "quillmara")], env=player_env(xdg))
    check(rc == 2 and "the game is not installed at" in err, "without the game: %d %r" % (rc, err))
    shutil.rmtree(os.path.join(moved, "share", "quillmara"))
    shutil.copy(inst.game, os.path.join(moved, "lib", "quillmara", "quillmara"))
    rc, err, _ = stub.run(command=[os.path.join(moved, "bin", "quillmara")], env=player_env(xdg))
    check(rc == 2 and "the game's data is not installed at" in err, "without the data: %d %r" % (rc, err))


def snapshot(folder):
    """Every entry below folder: a link's target, a file's bytes, or a folder."""
    found = {}
    for parent, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(parent, name)
            if os.path.islink(path):
                found[os.path.relpath(path, folder)] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                found[os.path.relpath(path, folder)] = ("folder",)
            else:
                with open(path, "rb") as f:
                    found[os.path.relpath(path, folder)] = ("file", f.read())
    return found if os.path.exists(folder) else None


def scenario_levels(args, work):
    inst = install(args.build, os.path.join(work, "prefix"))
    stub = Stub(inst, work)
    data_before = inst.listing()
    xdg = fresh(work, "xdg")
    play = os.path.join(xdg, "quillmara")
    level_link = os.path.join(play, "Tex", "Level.txt")
    with open(os.path.join(inst.data, "levels.order")) as f:
        order = f.read()
    names = [line.split("\t")[0] for line in order.splitlines()]
    check(len(names) >= 12, "the installed order lists %s" % names)

    # Options that only print: exit 0, no game, no play folder.
    for option, expected in (("--help", None), ("--version", "quillmara %s\n" % project_version(args.build)),
                             ("--list-levels", order)):
        result = subprocess.run([inst.launcher, option], env=player_env(xdg), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, timeout=30)
        check(result.returncode == 0 and result.stderr == "", "%s: %d %r" % (option, result.returncode, result.stderr))
        if expected is not None:
            check(result.stdout == expected, "%s printed %r" % (option, result.stdout))
        else:
            for word in ("--level", "--random", "--series", "--endless", "--list-levels", "--help", "--version"):
                check(word in result.stdout, "--help does not name %s" % word)
        check(not os.path.exists(play), "%s made the play folder" % option)

    # A level of the set by name, then a plain start keeps it.
    for command in (["--level", names[1]], []):
        rc, err, started = stub.run(args=command, env=player_env(xdg))
        check(rc == 0 and started == (os.path.realpath(play), []), "%s: %d %r %s" % (command, rc, err, started))
        check(os.readlink(level_link) == os.path.join(os.path.realpath(inst.levels), names[1] + ".txt"),
              "after %s the level is %s" % (command, os.readlink(level_link)))

    # A path from the caller's folder; one that cannot be won is played
    # with a warning.
    mine = fresh(work, "mine")
    with open(os.path.join(mine, "stuck.txt"), "w") as f:
        f.write("2 2\n")
    rc, err, started = stub.run(args=["--level", "stuck.txt"], env=player_env(xdg), cwd=mine)
    check(rc == 0 and started and err.count("\n") == 1 and "cannot be won" in err, "stuck.txt: %d %r" % (rc, err))
    check(os.readlink(level_link) == os.path.join(os.path.realpath(mine), "stuck.txt"), "the path was not chosen")

    # A generated level, kept in the play folder; without a seed one is drawn.
    rc, err, started = stub.run(args=["--random", "0042"], env=player_env(xdg))
    kept = os.path.join(play, "random", "42.txt")
    generated = subprocess.run([inst.solver, "--generate", "--seed", "42"], stdout=subprocess.PIPE,
                               timeout=30).stdout
    with open(kept, "rb") as f:
        check(rc == 0 and started and f.read() == generated, "--random 0042: %d %r" % (rc, err))
    check(os.readlink(level_link) == kept, "--random 42 chose %s" % os.readlink(level_link))
    rc, err, started = stub.run(args=["--random"], env=player_env(xdg))
    check(rc == 0 and started and len(os.listdir(os.path.join(play, "random"))) == 2, "--random: %d %r" % (rc, err))
    check(os.path.dirname(os.readlink(level_link)) == os.path.join(play, "random"), "--random chose no random level")

    # Every refusal: exit 2, no game, the play folder as it was, whether it
    # is there or not yet.
    no_level = fresh(work, "a folder.txt")
    refused = [["--bogus"], ["two words", ""], ["--level"], ["--level", ""], ["--level", "no-such-name"],
               ["--level", "no-such-file.txt"], ["--level", no_level], ["--level", names[0], "--random"],
               ["--random", "x"], ["--random", "-1"], ["--random", "4294967296"], ["--random", "1", "2"],
               ["--help", "--version"], ["--list-levels", "all"], ["--version", "x"],
               ["--series", "no-such-name"], ["--series", ""], ["--series", "../levels/" + names[0]],
               ["--series", names[0], names[1]], ["--endless", "--pieces", "7"], ["--endless", "--pieces", "21"],
               ["--endless", "--pieces"], ["--endless", "9"]]
    for folder in (xdg, fresh(work, "new-xdg")):
        before = snapshot(os.path.join(folder, "quillmara"))
        for command in refused:
            rc, err, started = stub.run(args=command, env=player_env(folder))
            check(rc == 2 and started is None and err.startswith("quillmara: "), "%s: %d %r" % (command, rc, err))
            check(snapshot(os.path.join(folder, "quillmara")) == before, "%s changed the play folder" % command)

    # The player's own level is never replaced: choosing refuses and says how
    # to keep it; a plain start plays it.
    os.remove(level_link)
    with open(level_link, "w") as f:
        f.write("my own level\n")
    before = snapshot(play)
    for command in (["--level", names[0]], ["--random", "7"], ["--level", os.path.join(mine, "stuck.txt")],
                    ["--series"], ["--endless"]):
        rc, err, started = stub.run(args=command, env=player_env(xdg))
        check(rc == 2 and started is None and "never replaced" in err and "mv " in err, "%s: %d %r" % (command, rc, err))
        check(snapshot(play) == before, "%s changed the play folder" % command)
    rc, err, started = stub.run(env=player_env(xdg))
    check(rc == 0 and started and snapshot(play) == before, "a plain start with the own level: %d %r" % (rc, err))

    # Started from the desktop, a refusal is also a notification.
    stubs = fresh(work, "notify-bin")
    notified = os.path.join(work, "notified.txt")
    with open(os.path.join(stubs, "notify-send"), "w") as f:
        f.write('#!/bin/sh\nprintf "%s\\n" "$@" > "$NOTIFIED"\n')
    os.chmod(os.path.join(stubs, "notify-send"), 0o755)
    for from_desktop in ("1", None):
        env = player_env(xdg, PATH=stubs + os.pathsep + os.environ["PATH"], NOTIFIED=notified)
        if from_desktop:
            env["QUILLMARA_FROM_DESKTOP"] = from_desktop
        rc, err, started = stub.run(args=["--series", "no-such-name"], env=env)
        check(rc == 2 and started is None, "--series no-such-name: %d %r" % (rc, err))
        if from_desktop:
            with open(notified) as f:
                shown = f.read()
            check("Quillmara cannot start" in shown and "no level named 'no-such-name'" in shown,
                  "the notification says %r" % shown)
            os.remove(notified)
        else:
            check(not os.path.exists(notified), "a refusal outside the desktop became a notification")
    check(inst.listing() == data_before, "the installed data changed while levels were chosen")


def installation_processes(prefix):
    """The pids of running programs installed under prefix."""
    root = os.path.realpath(prefix) + os.sep
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.path.realpath("/proc/%s/exe" % pid).startswith(root):
                found.append(int(pid))
        except OSError:
            pass
    return found


def scenario_deal(args, work):
    """--series and --endless with a stand-in game that reads its level as
    new games do: the levels dealt, where they are kept, what is pruned, and
    no dealer left once the game has ended."""
    inst = install(args.build, os.path.join(work, "prefix"))
    stub = Stub(inst, work)
    xdg = fresh(work, "xdg")
    play = os.path.join(xdg, "quillmara")
    with open(os.path.join(inst.data, "levels.order")) as f:
        names = [line.split("\t")[0] for line in f.read().splitlines()]

    def dealt(command, reads):
        rc, err, started = stub.run(args=command, env=player_env(xdg, STUB_READS=str(reads)))
        check(rc == 0 and started and not err, "%s: %d %r" % (command, rc, err))
        wait_for(lambda: not installation_processes(inst.prefix), 1, "the dealer to end with the game")
        with open(stub.report + ".levels") as f:
            return [os.path.relpath(path, play) for path in f.read().split()]

    # The first series starts with the easiest, the next after the level the
    # last one played; a NAME starts there; after the hardest, the easiest.
    for command, reads, expected in ((["--series"], 2, names[0:2]), (["--series"], 1, names[2:3]),
                                     (["--series", names[-1]], 2, [names[-1], names[0]]),
                                     (["--series"], 1, names[1:2])):
        got = dealt(command, reads)
        check(got == ["series/%s.txt" % n for n in expected], "%s dealt %s, not %s" % (command, got, expected))
    check(filecmp.cmp(os.path.join(play, "series", names[0] + ".txt"), os.path.join(inst.levels, names[0] + ".txt"),
                      shallow=False), "the series' copy differs from the installed level")

    # Endless levels from their seed and piece count; endless/ keeps its 100
    # newest files, random/ everything.
    endless = os.path.join(play, "endless")
    os.makedirs(endless)
    old = ["%d-12.txt" % i for i in range(100)]
    for i, name in enumerate(old):
        with open(os.path.join(endless, name), "w") as f:
            f.write("an old level\n")
        os.utime(os.path.join(endless, name), (1e9 + i, 1e9 + i))
    os.makedirs(os.path.join(play, "random"))
    with open(os.path.join(play, "random", "5.txt"), "w") as f:
        f.write("a random level\n")
    got = dealt(["--endless", "--pieces", "9"], 2)
    check(len(set(got)) == 2, "--endless dealt %s" % got)
    for relative in got:
        folder, name = os.path.split(relative)
        seed, pieces = name[:-len(".txt")].split("-")
        check(folder == "endless" and pieces == "9", "--endless --pieces 9 dealt %s" % relative)
        generated = subprocess.run([inst.solver, "--generate", "--seed", seed, "--pieces", "9"],
                                   stdout=subprocess.PIPE, timeout=30).stdout
        with open(os.path.join(play, relative), "rb") as f:
            check(f.read() == generated, "%s is not the level of its seed" % relative)
    kept = set(os.listdir(endless))
    check(len(kept) == 100 and kept >= set(old[3:]) | {os.path.basename(g) for g in got},
          "endless/ keeps %d files, without %s" % (len(kept), sorted(set(old[3:]) - kept)))
    check(os.listdir(os.path.join(play, "random")) == ["5.txt"], "random/ was pruned")


def scenario_build_tree(args, work):
    """The build tree's launcher (scripts/play.sh): the same options, the
    game and data of the run folder, which it never changes."""
    launcher = os.path.join(args.build, "launcher", "quillmara")
    game = os.path.join(args.run, "quillmara")

    def run_data():
        # What the launcher reads; other tests may leave screenshots beside it.
        found = {entry: snapshot(os.path.join(args.run, entry)) for entry in ("Tex", "Sound", "levels")}
        for entry in ("config0.bst", "levels.order"):
            with open(os.path.join(args.run, entry), "rb") as f:
                found[entry] = f.read()
        return found

    run_before = run_data()
    xdg = fresh(work, "xdg")
    result = subprocess.run([launcher, "--list-levels"], env=player_env(xdg), stdout=subprocess.PIPE, text=True,
                            timeout=30)
    with open(os.path.join(args.run, "levels.order")) as f:
        check(result.returncode == 0 and result.stdout == f.read(), "--list-levels: %d" % result.returncode)
    name = result.stdout.split("\t")[0]
    processes = Processes()
    try:
        code = run_until_sigterm(processes, launcher, player_env(xdg), game, ["--level", name])
        check(code == 0, "the game ended with %d on SIGTERM, not 0" % code)
    finally:
        processes.end_all()
    level = os.path.join(xdg, "quillmara", "Tex", "Level.txt")
    check(os.readlink(level) == os.path.join(os.path.realpath(args.run), "levels", name + ".txt"),
          "the play folder's level is %s" % os.readlink(level))
    check(run_data() == run_before, "the run folder's data changed")


def run_until_sigterm(processes, launcher, env, installed_game, options=()):
    """Starts the launcher, checks the game runs in its place, ends it with
    SIGTERM and returns the exit code."""
    process = processes.start([launcher] + list(options), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    exe = "/proc/%d/exe" % process.pid
    wait_for(lambda: process.poll() is not None or
             (os.path.exists(exe) and os.path.realpath(exe) == os.path.realpath(installed_game)), 10,
             "the launcher to become the game")
    time.sleep(1.0)
    if process.poll() is not None:
        raise ScenarioFailed("the game ended by itself with %d: %s" % (process.returncode,
                                                                       process.stderr.read().decode()))
    process.send_signal(signal.SIGTERM)
    try:
        return process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise ScenarioFailed("the game did not end on SIGTERM")


def scenario_dummy(args, work):
    inst = install(args.build, os.path.join(work, "prefix"))
    xdg = fresh(work, "xdg")
    processes = Processes()
    try:
        code = run_until_sigterm(processes, inst.launcher, player_env(xdg), inst.game)
        check(code == 0, "the game ended with %d on SIGTERM, not 0" % code)
    finally:
        processes.end_all()
    check_links_only(os.path.join(xdg, "quillmara"), inst)


class InstalledGame(Game):
    """The installed game started through its launcher in a real X session;
    the play folder stands where the harness keeps its copy of the data."""

    def __init__(self, processes, session, inst, xdg, args=()):
        self.session = session
        self.folder = os.path.join(xdg, "quillmara")
        self.stderr_path = os.path.join(os.path.dirname(xdg), "stderr-%d.txt" % time.monotonic_ns())
        self.stderr_file = open(self.stderr_path, "w")
        env = dict(session.env, SDL_AUDIODRIVER="dummy", XDG_DATA_HOME=xdg)
        self.process = processes.start([inst.launcher] + list(args), cwd=os.path.dirname(xdg), env=env,
                                       stdout=subprocess.DEVNULL, stderr=self.stderr_file)
        self.images = {}

    def end(self):
        self.process.send_signal(signal.SIGTERM)
        code = self.wait_exit()
        check(code == 0, "the game ended with %d on SIGTERM: %s" % (code, self.stderr()))

    def close(self):
        self.stderr_file.close()


def in_x_session(work, body):
    processes = Processes()
    session = None
    try:
        session = XSession(processes, 800, 600)
        body(processes, session)
    finally:
        processes.end_all()
        if session:
            session.close()


def scenario_screenshot(args, work):
    from play_scenarios import on_main_menu
    inst = install(args.build, os.path.join(work, "prefix"))
    xdg = fresh(work, "xdg")
    data_before = inst.listing()

    def body(processes, session):
        game = InstalledGame(processes, session, inst, xdg)
        try:
            game.wait_window()
            on_main_menu(game)
            shot = take_screenshot(session, game.folder, "GAME0.bmp")
            check(not os.path.islink(shot), "the screenshot is a link")
            game.end()
        finally:
            game.close()

    in_x_session(work, body)
    check(inst.listing() == data_before, "the installed data changed: a screenshot went there?")
    check(not [n for n in os.listdir(work) if n.startswith("GAME")], "a screenshot landed beside the launcher")


def scenario_own_level(args, work):
    from play_scenarios import on_main_menu, start_game
    inst = install(args.build, os.path.join(work, "prefix"))
    xdg = fresh(work, "xdg")
    level = os.path.join(xdg, "quillmara", "Tex", "Level.txt")
    os.makedirs(os.path.dirname(level))
    stuck = "0 0 0 0 0 0 0 0 0\n" * 4 + "2 1 1 2 1 0 0 0 0\n" + "0 0 0 0 0 0 0 0 0\n" * 4
    with open(level, "w") as f:
        f.write(stuck)

    def body(processes, session):
        for attempt in (1, 2):
            game = InstalledGame(processes, session, inst, xdg)
            try:
                game.wait_window()
                on_main_menu(game)
                start_game(game)
                # Two pieces that cannot jump: the Lost screen at once.
                game.wait_shows("Tex/Fail.Tex", 33, 270, what="the Lost banner (start %d)" % attempt)
                game.end()
            finally:
                game.close()
            check(not os.path.islink(level), "start %d made the player's level a link" % attempt)
            with open(level) as f:
                check(f.read() == stuck, "start %d replaced the player's own level" % attempt)

    in_x_session(work, body)


def level_pieces(path):
    """Where a level file puts pieces: 81 booleans, row by row."""
    with open(path) as f:
        return [int(v) == 2 for v in f.read().split()]


def wait_board(game, level, what):
    """Waits until the board on screen has the pieces of the level file."""
    expected = level_pieces(level)

    def pieces_on_screen():
        screen = game.session.screenshot()
        return [game.shows("Tex/Lamp.Tex", 175 + 50 * (i % 9) - 7, 75 + 50 * (i // 9) - 15, threshold=0.9,
                           screen=screen) for i in range(81)]

    wait_for(lambda: pieces_on_screen() == expected, SHOW_TIMEOUT, "the pieces of %s on the board" % what)
    return expected


def scenario_level_choice(args, work):
    """quillmara --level NAME: a click on Start shows that level's board."""
    from play_scenarios import on_main_menu, start_game
    inst = install(args.build, os.path.join(work, "prefix"))
    xdg = fresh(work, "xdg")
    name = "diamond"
    check(level_pieces(os.path.join(inst.data, "Tex", "Level.txt")) !=
          level_pieces(os.path.join(inst.levels, name + ".txt")), "the chosen level is the default one")

    def body(processes, session):
        game = InstalledGame(processes, session, inst, xdg, args=["--level", name])
        try:
            game.wait_window()
            session.move(790, 590)
            on_main_menu(game)
            start_game(game)
            wait_board(game, os.path.join(inst.levels, name + ".txt"), name)
            game.end()
        finally:
            game.close()

    in_x_session(work, body)


def scenario_deb(args, work):
    out = fresh(work, "package")
    result = subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(args.build, "CPackConfig.cmake"),
                             "-B", out], cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=600)
    check(result.returncode == 0, "cpack failed:\n" + result.stdout)
    debs = [n for n in os.listdir(out) if n.endswith(".deb")]
    check(len(debs) == 1, "cpack made %s" % debs)
    deb = os.path.join(out, debs[0])

    def deb_field(name):
        return subprocess.run(["dpkg-deb", "-f", deb, name], stdout=subprocess.PIPE, text=True,
                              timeout=30).stdout.strip()

    arch = subprocess.run(["dpkg", "--print-architecture"], stdout=subprocess.PIPE, text=True).stdout.strip()
    for name, expected in (("Package", "quillmara"), ("Section", "games"), ("Architecture", arch)):
        check(deb_field(name) == expected, "%s is %r, not %r" % (name, deb_field(name), expected))
    check(deb_field("Version").startswith("1."), "Version is %r" % deb_field("Version"))
    maintainer = deb_field("Maintainer")
    check("<" in maintainer and maintainer.endswith(">"), "Maintainer %r has no address" % maintainer)
    depends = [d.strip().split(" ")[0] for d in deb_field("Depends").split(",")]
    for library in ("libsdl2-2.0-0", "libsdl2-mixer-2.0-0"):
        check(library in depends, "Depends lacks %s: %s" % (library, deb_field("Depends")))
    check(deb_field("Recommends") == "libnotify-bin", "Recommends is %r" % deb_field("Recommends"))
    description = deb_field("Description").split("\n")
    check(len(description) > 1 and description[0].strip(), "no short and long description: %s" % description)

    listing = subprocess.run(["dpkg-deb", "-c", deb], stdout=subprocess.PIPE, text=True, timeout=30).stdout
    entries = {}
    for line in listing.splitlines():
        fields = line.split()
        entries[fields[5].rstrip("/")] = (fields[0], fields[1])
    expected = {"./usr/bin/quillmara": "-rwxr-xr-x", "./usr/lib/quillmara/quillmara": "-rwxr-xr-x",
                "./usr/share/applications/%s.desktop" % APP_ID: "-rw-r--r--",
                "./usr/share/metainfo/%s.metainfo.xml" % APP_ID: "-rw-r--r--",
                "./usr/lib/quillmara/quillmara-deal": "-rwxr-xr-x",
                "./usr/share/man/man6/quillmara.6.gz": "-rw-r--r--",
                "./usr/share/doc/quillmara/copyright": "-rw-r--r--",
                "./usr/share/doc/quillmara/changelog.gz": "-rw-r--r--"}
    for size in ICON_SIZES:
        expected["./usr/share/icons/hicolor/%dx%d/apps/quillmara.png" % (size, size)] = "-rw-r--r--"
    for relative in data_files(args.run) + ["levels.order"] + ["levels/" + n for n in os.listdir(
            os.path.join(args.run, "levels"))]:
        expected["./usr/share/quillmara/" + relative] = "-rw-r--r--"
    expected["./usr/bin/quillmara-solve"] = "-rwxr-xr-x"
    expected["./usr/share/man/man6/quillmara-solve.6.gz"] = "lrwxrwxrwx"
    expected["./usr/games/quillmara"] = "lrwxrwxrwx"
    check(listing.count("./usr/games/quillmara -> ../bin/quillmara") == 1,
          "the package has no link from /usr/games to the launcher")
    for path, mode in sorted(expected.items()):
        check(path in entries, "the package lacks %s" % path)
        check(entries[path][0] == mode, "%s has mode %s, not %s" % (path, entries[path][0], mode))
    for path, (mode, owner) in entries.items():
        check(path in (".", "./usr") or path.startswith("./usr/"), "the package puts %s outside /usr" % path)
        check(owner == "root/root", "%s is owned by %s" % (path, owner))
        if mode.startswith("d"):
            check(mode == "drwxr-xr-x", "folder %s has mode %s" % (path, mode))
        else:
            check(path in expected, "unexpected file in the package: %s" % path)

    # The unpacked package is a prefix like any other: its launcher starts
    # its game, which ends with 0 on SIGTERM.
    tree = fresh(work, "unpacked")
    subprocess.run(["dpkg-deb", "-x", deb, tree], check=True, timeout=60)
    unpacked = Installation(os.path.join(tree, "usr"))
    processes = Processes()
    try:
        xdg = fresh(work, "xdg")
        code = run_until_sigterm(processes, unpacked.launcher, player_env(xdg), unpacked.game)
        check(code == 0, "the packaged game ended with %d on SIGTERM" % code)
    finally:
        processes.end_all()

    if not shutil.which("lintian"):
        print("lintian is not installed (apt-get install lintian): the lintian check is skipped")
        return
    result = subprocess.run(["lintian", "--tag-display-limit", "0", deb], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, timeout=600)
    print("lintian says:\n" + (result.stdout.strip() or "(nothing)"))
    errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
    check(not errors, "lintian finds errors:\n" + "\n".join(errors))


SCENARIOS = {
    "layout": scenario_layout,
    "launcher": scenario_launcher,
    "dummy": scenario_dummy,
    "screenshot": scenario_screenshot,
    "own_level": scenario_own_level,
    "levels": scenario_levels,
    "deal": scenario_deal,
    "build_tree": scenario_build_tree,
    "level_choice": scenario_level_choice,
    "deb": scenario_deb,
}


def run_installed(scenarios, prefix):
    """Runs the scenario its command line names (--scenario NAME --build
    BUILD_FOLDER --run RUN_FOLDER) in a fresh folder; returns the exit code."""
    args = scenario_arguments(scenarios, "build", "run")
    args.build, args.run = os.path.abspath(args.build), os.path.abspath(args.run)
    work = tempfile.mkdtemp(prefix=prefix)
    return run_scenario(args.scenario, lambda: scenarios[args.scenario](args, work),
                        cleanup=lambda: shutil.rmtree(work, ignore_errors=True))


if __name__ == "__main__":
    sys.exit(run_installed(SCENARIOS, "quillmara-install-"))
