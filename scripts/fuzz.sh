#!/usr/bin/env bash
# Fuzzes the description decryption and the description parser with libFuzzer (clang, ASan,
# UBSan), in build/fuzz. Exit status 0 when no target crashed; a crash leaves its input in
# build/fuzz/artifacts/ (copy it to tests/fuzz/regressions/ once fixed: description_test
# replays that folder).
#   scripts/fuzz.sh           each target for FUZZ_SECONDS (default 600) seconds
#   scripts/fuzz.sh --short   each target for 30 seconds from the committed seed corpus
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

seconds=${FUZZ_SECONDS:-600}
if [ "${1:-}" = "--short" ]; then seconds=30; fi

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSETUP_SANITIZE=ON -DSETUP_BUILD_TESTS=ON -DSETUP_FUZZ_TARGETS=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_decrypt fuzz_description

mkdir -p "$build/artifacts"
status=0
run() {
  local target=$1 seeds=$2 max_len=$3
  shift 3
  # Found inputs go to a corpus of the build's own; the committed seeds are only read.
  local corpus=$build/corpus/$target
  mkdir -p "$corpus"
  echo "== fuzzing $target for ${seconds}s"
  if ! "$build/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      "$@" "$corpus" "$seeds" > "$build/$target.log" 2>&1; then
    echo "fuzz: $target failed; see $build/$target.log and $build/artifacts/" >&2
    grep -E "ERROR|SUMMARY|violated|Test unit written" "$build/$target.log" >&2 || tail -n 20 "$build/$target.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$target.log" || true
  fi
}
run fuzz_decrypt tests/fuzz/corpus/decrypt 4096
run fuzz_description tests/fuzz/corpus/description 8192 -dict=tests/fuzz/description.dict
exit $status
