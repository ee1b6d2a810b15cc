#!/usr/bin/env bash
# Installs what is missing, builds, and runs the sample download-and-install under Wine:
# on the user's display when DISPLAY is set, otherwise on Xvfb.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc)
bash scripts/setup.sh
cmake --preset native >/dev/null && cmake --build build/native -j"$jobs" --target eiftool
cmake --preset windows >/dev/null && cmake --build build/windows -j"$jobs"
cmake --preset win64 >/dev/null && cmake --build build/win64 -j"$jobs" --target Setup observer final_setup
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin
python3 scripts/demo.py
