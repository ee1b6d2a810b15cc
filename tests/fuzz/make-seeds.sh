#!/usr/bin/env bash
# Makes the encrypted seeds of the decryption fuzz target from the plain seeds, with the demo
# key. Usage: tests/fuzz/make-seeds.sh [EIFTOOL]   (default: build/native/eiftool)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=${1:-$repo/build/native/eiftool}
plain=$repo/tests/fuzz/corpus/description
out=$repo/tests/fuzz/corpus/decrypt
mkdir -p "$out"
for f in demo crlf placeholders; do
  "$tool" pack "$repo/keys/public.der" "$plain/$f.txt" "$out/$f.eif"
done
# Signature and 0x00 only: no blocks.
head -c 14 "$out/demo.eif" > "$out/header-only.eif"
# One good block followed by a block that is not below the modulus.
{ head -c 142 "$out/demo.eif"; head -c 128 /dev/zero | tr '\0' '\377'; } > "$out/ff-block.eif"
