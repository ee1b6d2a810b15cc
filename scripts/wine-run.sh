#!/usr/bin/env bash
# Runs a Windows program of the test build under Wine, in the project's own prefix.
# The 64-bit loader is called directly: it works where the kernel cannot start 32-bit programs.
set -e
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Always the project's own prefix: a WINEPREFIX of the user's is never written to.
export WINEPREFIX=$repo/build/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=${DISPLAY:-:77}
exec /usr/lib/wine/wine64 "$@"
