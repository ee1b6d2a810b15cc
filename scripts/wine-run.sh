#!/usr/bin/env bash
# Runs a Windows program of a test build under Wine, in the project's own prefix.
#   wine-run.sh [--arch x86_64|i686] PROGRAM [ARGS...]
# A program file runs under the Wine of its own size (its PE header says which); Wine's own
# programs (cmd, reg, winepath) under that of SETUP_WINE_ARCH, else x86_64. The loader is called
# directly: the 64-bit one works where the kernel cannot start 32-bit programs. The 32-bit one is
# that of the clone's i386 root, and runs inside it (scripts/root32.sh).
set -e
arch=
if [ "${1:-}" = --arch ]; then arch=$2; shift 2; fi

# x86_64 or i686 from the machine field of a PE file; nothing for anything else.
pe_size() {
  [ -f "$1" ] && [ "$(head -c 2 "$1")" = MZ ] || return 0
  local header machine
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' ')
  case $machine in 8664) echo x86_64 ;; 014c) echo i686 ;; esac
}

[ -n "$arch" ] || arch=$(pe_size "${1:-}")
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
wine_prefix_select "$arch"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=${DISPLAY:-:77}
if [ -n "$WINE_IN_ROOT" ]; then exec "$WINE_IN_ROOT" run "$WINE_LOADER" "$@"; fi
exec "$WINE_LOADER" "$@"
