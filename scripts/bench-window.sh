#!/usr/bin/env bash
# Times 100 000 progress messages to the real progress window against 100 000 messages to a
# window that does nothing, under Wine, and prints both with their ratio.
# SETUP_BUILD_DIR picks the build folder (default build/win64; build/windows for the 32-bit one).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
source scripts/bench-build.sh
bench_build progress_window_bench
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin "$BENCH_ARCH"
scripts/wine-run.sh "$build/bench/progress_window_bench.exe"
