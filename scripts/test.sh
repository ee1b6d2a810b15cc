#!/usr/bin/env bash
# Installs what is missing, builds the native and both Windows builds, runs every test: the
# native suite, the 64-bit build's suite under 64-bit Wine, then the suite of the shipped 32-bit
# build under 32-bit Wine where the kernel starts 32-bit programs (scripts/setup.sh decides).
# Ends with one line that says which suites ran and how many of their tests passed.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc)
# A warning in the code of the source folders fails the run (the tests' own code is exempt).
strict=(-DSETUP_WERROR=ON)

bash scripts/setup.sh
i686_suite=$(cat build/i686-suite.txt)

echo "== configure (the first run builds Crypto++ for both Windows sizes, side by side)"
cmake --preset windows "${strict[@]}" >/dev/null &
windows_configure=$!
cmake --preset win64 "${strict[@]}" >/dev/null
wait "$windows_configure"
cmake --preset native "${strict[@]}" >/dev/null

# "passed/total" of the ctest output in file $1, or "no result" (a run that ended early).
ctest_counts() {
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1) || true
  [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]] || { echo "no result"; return; }
  echo "$((BASH_REMATCH[2] - BASH_REMATCH[1]))/${BASH_REMATCH[2]}"
}

failed=0
summary=()
# Runs a test preset; its output is kept in build/<preset>/ctest.log. Extra arguments go to ctest.
run_suite() {
  local preset=$1 label=$2 log=build/$1/ctest.log rc=0
  shift 2
  ctest --preset "$preset" -j"$jobs" "$@" 2>&1 | tee "$log" || rc=$?
  local counts
  counts=$(ctest_counts "$log")
  [ "$rc" -eq 0 ] && [ "$counts" != "no result" ] || failed=1
  summary+=("$label: $counts$([ "$rc" -eq 0 ] || echo " FAILED")")
}

echo "== native build and tests (ASan + UBSan)"
cmake --build --preset native -j"$jobs"
run_suite native native
[ "$failed" -eq 0 ] || { echo "Tests: ${summary[0]}"; exit 1; }
if [ -f scripts/fuzz.sh ]; then
  echo "== short fuzzing runs from the seed corpus"
  bash scripts/fuzz.sh --short
fi

echo "== Setup.exe for 32-bit Windows, the product, and its tests"
cmake --build --preset windows -j"$jobs"
# The product must be a 32-bit GUI program.
kind=$(file build/windows/app/Setup.exe)
echo "$kind"
grep -q 'PE32 executable (GUI) Intel 80386' <<<"$kind" \
  || { echo "build/windows/app/Setup.exe is not a PE32 GUI executable" >&2; exit 1; }
echo "== the same code for 64-bit Windows, and its tests"
cmake --build --preset win64 -j"$jobs"

# Tests always get a display of their own, whatever DISPLAY says.
export SETUP_USE_XVFB=1
source scripts/wine-session.sh
trap wine_session_end EXIT

echo "== Windows tests (x86_64) under 64-bit Wine"
wine_session_begin x86_64
run_suite win64 "Windows (x86_64)"
wine_session_end

if [ "$i686_suite" = on ]; then
  echo "== Windows tests of the shipped build (i686) under 32-bit Wine"
  wine_session_begin i686
  run_suite windows "Windows (i686, shipped build)"
  wine_session_end
else
  # What needs no Wine still checks the file that ships: what it links.
  echo "== what the shipped Setup.exe links (the rest of its suite needs 32-bit Wine)"
  run_suite windows "Windows (i686): ${i686_suite%% (*}; link check of the shipped build" -L build-machine
fi

printf -v line '%s; ' "${summary[@]}"
echo "Tests: ${line%; }"
exit "$failed"
