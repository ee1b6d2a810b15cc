#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows builds, runs every test.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc)

bash scripts/setup.sh

# Crypto++ for both Windows builds, side by side (cached: only the first run pays).
bash scripts/build-cryptopp-mingw.sh i686-w64-mingw32 build/cryptopp-i686 &
i686_job=$!
bash scripts/build-cryptopp-mingw.sh x86_64-w64-mingw32 build/cryptopp-x86_64
wait "$i686_job"

echo "== native build and tests (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"
if [ -f scripts/fuzz.sh ]; then
  echo "== short fuzzing runs from the seed corpus"
  bash scripts/fuzz.sh --short
fi

echo "== Setup.exe for 32-bit Windows"
cmake --preset windows >/dev/null
cmake --build build/windows -j"$jobs"
# The product must be a 32-bit GUI program, whatever the test build is.
kind=$(file build/windows/app/Setup.exe)
echo "$kind"
grep -q 'PE32 executable (GUI) Intel 80386' <<<"$kind" \
  || { echo "build/windows/app/Setup.exe is not a PE32 GUI executable" >&2; exit 1; }

echo "== Windows tests under Wine"
cmake --preset win64 >/dev/null
cmake --build build/win64 -j"$jobs"
# Tests always get a display of their own, whatever DISPLAY says.
export SETUP_USE_XVFB=1
source scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_begin
ctest --test-dir build/win64 --output-on-failure -j"$jobs" --timeout 900
