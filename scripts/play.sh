#!/usr/bin/env bash
# Sets up, builds and starts the game: scripts/play.sh [OPTION], with the
# installed launcher's options (--level NAME|PATH, --random [SEED],
# --list-levels, --help, --version). The build tree's launcher, made from the
# same template, runs the game and its data in build/run/ with the play
# folder build/play/quillmara; build/run/ itself is never changed.
# build/ is configured with the tests on, as scripts/test.sh configures it, so
# the test command reuses this configuration; only what playing needs is built.
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQM_TESTS=ON
cmake --build build -j"$(nproc)" --target play_ready
# A level PATH is the caller's, so the launcher starts from the caller's folder.
cd "$caller"
XDG_DATA_HOME="$root/build/play" exec "$root/build/launcher/quillmara" "$@"
