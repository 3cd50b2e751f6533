#!/usr/bin/env bash
# Builds the game for the browser into build-web/site/ (index.html with its
# .js, .wasm and .data files), and serves it on request:
#
#   scripts/web.sh                  install what is needed, build the site
#   scripts/web.sh --serve [PORT]   the same, then serve it on 127.0.0.1:PORT (8080)
#   scripts/web.sh --data RUN_DIR   build the site from the data of an existing
#                                   native run folder, installing nothing (the
#                                   web tests do this; exits 77 without emcc)
#
# The art, the sounds and the levels are made by the native build (build/),
# exactly as for the desktop; build-web/ is the same CMake project configured
# with Emscripten's toolchain.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
serve=false
port=8080
data=""
while [ $# -gt 0 ]; do
  case $1 in
    --serve)
      serve=true
      if [ $# -gt 1 ] && [[ $2 =~ ^[0-9]+$ ]]; then port=$2; shift; fi ;;
    --data)
      [ $# -gt 1 ] || { echo "web.sh: --data needs a run folder" >&2; exit 2; }
      data=$(cd "$2" && pwd); shift ;;
    -h|--help)
      sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *)
      echo "web.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "$data" ]; then
  scripts/install-deps.sh
  cmake -S . -B build -DQM_TESTS=ON
  cmake --build build -j"$(nproc)" --target game_art game_sound quillmara_level quillmara_level_set
  data=$root/build/run
elif ! command -v emcc >/dev/null; then
  echo "web.sh: emcc is missing (Debian's emscripten package): no site built" >&2
  exit 77
fi

# Debian's emscripten runs its JavaScript tools on the machine's node, which
# does not look where Debian keeps their modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQM_WEB_DATA="$data" >/dev/null
cmake --build build-web -j"$(nproc)"
echo "web.sh: the site is in build-web/site/"
ls -l build-web/site/

if $serve; then
  echo "web.sh: serving on http://127.0.0.1:$port/ (Ctrl+C ends)"
  exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
