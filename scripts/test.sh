#!/usr/bin/env bash
# Sets up, builds and runs every test. Extra arguments go to cmake's configure
# step (CI passes -DQM_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build "$@"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
