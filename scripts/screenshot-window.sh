#!/usr/bin/env bash
# Shows the progress window under Wine with its bar at 40 % and saves a picture of it as
# build/progress-window.png (the window alone when it can be found, else the whole screen).
# SETUP_BUILD_DIR picks the 64-bit build folder (default build/win64).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
build=${SETUP_BUILD_DIR:-build/win64}
out=${SETUP_SCREENSHOT:-build/progress-window.png}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
        -DSETUP_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target progress_window_show >/dev/null
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin

scripts/wine-run.sh "$build/bench/progress_window_show.exe" 8 &
shown=$!
window=
for _ in $(seq 60); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velmar.s Projects"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.2
done
sleep 1  # let the first paint reach the display
if [ -n "$window" ]; then
  xwd -id "$window" -silent | convert xwd:- "$out"
else
  echo "window not found: saving the whole screen" >&2
  xwd -root -silent | convert xwd:- "$out"
fi
wait "$shown"
echo "saved $out ($(identify -format '%wx%h' "$out"))"
