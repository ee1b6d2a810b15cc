#!/usr/bin/env bash
# Sourced: the project's own Wine prefix and loader for the build whose programs are run.
#   SETUP_WINE_ARCH=x86_64 (default): build/wineprefix, a 64-bit prefix, the 64-bit loader
#   SETUP_WINE_ARCH=i686: build/wineprefix32, a 32-bit prefix, the 32-bit loader (wine32:i386)
# Two prefixes keep the suites apart: each has its own temporary folder, registry and server.
# A WINEPREFIX of the user's is never written to.
wine_prefix_select() {
  local repo
  repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export SETUP_WINE_ARCH=${1:-${SETUP_WINE_ARCH:-x86_64}}
  case $SETUP_WINE_ARCH in
    x86_64) export WINEPREFIX=$repo/build/wineprefix WINEARCH=win64 WINE_LOADER=/usr/lib/wine/wine64 ;;
    i686) export WINEPREFIX=$repo/build/wineprefix32 WINEARCH=win32 WINE_LOADER=/usr/lib/wine/wine ;;
    *) echo "wine: SETUP_WINE_ARCH must be x86_64 or i686, not $SETUP_WINE_ARCH" >&2; return 2 ;;
  esac
  if [ ! -x "$WINE_LOADER" ]; then
    echo "wine: $WINE_LOADER is missing (for i686: scripts/setup.sh installs wine32:i386)" >&2
    return 2
  fi
}
