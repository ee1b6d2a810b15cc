#!/usr/bin/env bash
# Runs every benchmark; each prints ratios measured side by side in one run. The window, the
# download, the whole run and the slow line are measured for both Windows builds.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
cmake --preset native >/dev/null && cmake --build build/native -j"$(nproc)"
cmake --preset windows >/dev/null && cmake --build build/windows -j"$(nproc)"
cmake --preset win64 >/dev/null && cmake --build build/win64 -j"$(nproc)"
for b in scripts/bench-size.sh scripts/bench-description.sh; do
  [ -f "$b" ] && { echo "== $b"; bash "$b"; }
done
source scripts/wine-session.sh
builds=build/win64
# scripts/setup.sh says whether this kernel starts 32-bit programs.
[ "$(cat build/i686-suite.txt 2>/dev/null)" = on ] && builds="$builds build/windows"
for build in $builds; do
  arch=x86_64
  [ "$build" = build/windows ] && arch=i686
  for b in scripts/bench-window.sh scripts/bench-download.sh; do
    echo "== $b ($build)"
    SETUP_BUILD_DIR=$build bash "$b"
  done
  echo "== whole run and slow line ($build)"
  wine_session_begin "$arch"
  SETUP_BUILD_DIR=$build python3 scripts/bench-run.py
  SETUP_BUILD_DIR=$build python3 scripts/bench-shaped.py
  wine_session_end
done
