#!/usr/bin/env bash
# Description benchmark: loading a 64 KB description against bare RSA decryption of its
# blocks, section lookups by description size, and the load and walk of 200 and 2,000 listed
# files. Release build of its own, no sanitizers.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
build=build/bench-description
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSETUP_SANITIZE=OFF -DSETUP_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target description_bench >/dev/null
"$build/bench/description_bench" --benchmark_min_time=0.5 "$@"
