#!/usr/bin/env bash
# Runs a Windows program of a test build under Wine, in the project's own prefix.
#   wine-run.sh [--arch x86_64|i686] PROGRAM [ARGS...]   (default: SETUP_WINE_ARCH, else x86_64)
# The loader of the build's own size is called directly: the 64-bit one works where the kernel
# cannot start 32-bit programs; the 32-bit one runs the product as it ships.
set -e
arch=
if [ "${1:-}" = --arch ]; then arch=$2; shift 2; fi
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
wine_prefix_select "$arch"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=${DISPLAY:-:77}
exec "$WINE_LOADER" "$@"
