#!/usr/bin/env bash
# Sets up, builds and starts the game (from its run folder, build/run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQM_TESTS=OFF
cmake --build build -j"$(nproc)"
cd build/run
exec ./quillmara
