#!/usr/bin/env bash
# Sets up, builds and starts the game: scripts/play.sh [OPTION], with the
# installed launcher's options (--level NAME|PATH, --random [SEED],
# --list-levels, --help, --version). The build tree's launcher, made from the
# same template, runs the game and its data in build/run/ with the play
# folder build/play/quillmara; build/run/ itself is never changed.
# build/ is configured exactly as scripts/test.sh configures it (the default,
# optimised build type, tests on), so the test command reuses this
# configuration and its objects; only what playing needs is built here.
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake -S . -B build -DQM_TESTS=ON
cmake --build build -j"$(nproc)" --target play_ready
# A level PATH is the caller's, so the launcher starts from the caller's folder.
cd "$caller"
XDG_DATA_HOME="$root/build/play" exec "$root/build/launcher/quillmara" "$@"
