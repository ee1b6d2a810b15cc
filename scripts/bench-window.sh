#!/usr/bin/env bash
# Times 100 000 progress messages to the real progress window against 100 000 messages to a
# window that does nothing, under Wine, and prints both with their ratio.
# SETUP_BUILD_DIR picks the 64-bit build folder (default build/win64).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
build=${SETUP_BUILD_DIR:-build/win64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
        -DSETUP_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target progress_window_bench >/dev/null
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin
scripts/wine-run.sh "$build/bench/progress_window_bench.exe"
