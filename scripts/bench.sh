#!/usr/bin/env bash
# Runs every benchmark; each prints ratios measured side by side in one run.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
cmake --preset native >/dev/null && cmake --build build/native -j"$(nproc)"
cmake --preset windows >/dev/null && cmake --build build/windows -j"$(nproc)"
cmake --preset win64 >/dev/null && cmake --build build/win64 -j"$(nproc)"
for b in scripts/bench-size.sh scripts/bench-description.sh scripts/bench-window.sh scripts/bench-download.sh; do
  [ -f "$b" ] && { echo "== $b"; bash "$b"; }
done
echo "== whole run"
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin
python3 scripts/bench-run.py
