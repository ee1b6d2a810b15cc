#!/usr/bin/env bash
# Sourced: the project's own Wine prefix and loader for the build whose programs are run.
#   SETUP_WINE_ARCH=x86_64 (default): build/wineprefix, a 64-bit prefix, the host's 64-bit Wine
#   SETUP_WINE_ARCH=i686: build/wineprefix32, a 32-bit prefix, the 32-bit Wine of the clone's
#     i386 root build/root32 (scripts/root32.sh; the prefix has the same path inside it)
# Two prefixes keep the suites apart: each has its own temporary folder, registry and server,
# and each is only ever served by the wineserver of its own Wine. A WINEPREFIX of the user's is
# never written to. wine_cmd runs a command (loader or server) where that Wine lives.
wine_prefix_select() {
  local repo
  repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export SETUP_WINE_ARCH=${1:-${SETUP_WINE_ARCH:-x86_64}}
  case $SETUP_WINE_ARCH in
    x86_64)
      export WINEPREFIX=$repo/build/wineprefix WINEARCH=win64 WINE_LOADER=/usr/lib/wine/wine64
      WINE_SERVER=/usr/bin/wineserver WINE_IN_ROOT= ;;
    i686)
      # Paths inside the root.
      export WINEPREFIX=$repo/build/wineprefix32 WINEARCH=win32 WINE_LOADER=/usr/lib/wine/wine
      WINE_SERVER=/usr/lib/wine/wineserver32 WINE_IN_ROOT=$repo/scripts/root32.sh
      if [ ! -f "$repo/build/root32/.complete" ]; then
        echo "wine: the 32-bit Wine of build/root32 is missing (scripts/setup.sh makes it)" >&2
        return 2
      fi
      return ;;
    *) echo "wine: SETUP_WINE_ARCH must be x86_64 or i686, not $SETUP_WINE_ARCH" >&2; return 2 ;;
  esac
  if [ ! -x "$WINE_LOADER" ]; then
    echo "wine: $WINE_LOADER is missing (scripts/setup.sh installs wine64)" >&2
    return 2
  fi
}

wine_cmd() {
  if [ -n "$WINE_IN_ROOT" ]; then "$WINE_IN_ROOT" run "$@"; else "$@"; fi
}
