#!/usr/bin/env bash
# Size of the product: build/windows/app/Setup.exe as the build leaves it (linked stripped), and
# its bytes attributed to libraries and objects from the linker's map.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
cmake --preset windows >/dev/null
cmake --build build/windows --target Setup -j"$(nproc)" >/dev/null
python3 scripts/bench-size.py build/windows/app/Setup.map build/windows/app/Setup.exe 400
