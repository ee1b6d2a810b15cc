#!/usr/bin/env bash
# Downloads a 256 MB file from nginx on loopback, side by side in one run: our transfer with a
# live progress window and a bare WinINet loop under Wine, and native curl for reference; then
# the transfer with and without the file's SHA-256 checked as it is written.
# SETUP_BUILD_DIR picks the build folder (default build/win64; build/windows for the 32-bit
# one); SETUP_BENCH_MB the size.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
megabytes=${SETUP_BENCH_MB:-256}
source scripts/bench-build.sh
bench_build download_bench

state=$(realpath -m "$build/bench-download")
work="$state/work"
source scripts/wine-session.sh
cleanup() {
  tests/servers/rig.sh stop "$state"
  rm -rf "$work" "$state/www/site1/big.bin"
  wine_session_end
}
trap cleanup EXIT
base=$(tests/servers/rig.sh free-base)
tests/servers/rig.sh start "$state" "$base"
mkdir -p "$work"
head -c $((megabytes * 1048576)) /dev/urandom > "$state/www/site1/big.bin"
url="http://127.0.0.1:$((base + 3))/big.bin"

echo "$megabytes MB from nginx on 127.0.0.1"
curl -s -o /dev/null -w 'native curl to /dev/null               %{time_total} s  %{speed_download} B/s\n' "$url"
wine_session_begin "$BENCH_ARCH"
digest=$(sha256sum "$state/www/site1/big.bin" | cut -d' ' -f1)
scripts/wine-run.sh "$build/bench/download_bench.exe" "$url" "Z:${work//\//\\}" "$digest"
