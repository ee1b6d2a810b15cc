#!/usr/bin/env bash
# Sourced by the test and demo scripts: an X display (Xvfb unless one is given), the project's
# Wine prefix, and one wineserver kept alive for the whole run. Call wine_session_end at the end.
#   wine_session_begin [x86_64|i686]   the size of the build whose programs run (default x86_64)
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
XVFB_PID=

wine_session_begin() {
  # Always the project's own prefix: the wineserver that wine_session_end stops is its own.
  wine_prefix_select "${1:-x86_64}" || return
  if [ -z "${DISPLAY:-}" ] || [ "${SETUP_USE_XVFB:-}" = 1 ]; then
    local n=77
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix $WINEPREFIX (first run only)"
    wine_cmd "$WINE_LOADER" wineboot --init >/dev/null 2>&1 || true
  fi
  wine_cmd "$WINE_SERVER" -p >/dev/null 2>&1 || true
  # Start Wine's own services now, detached from our output: started later by a test, they
  # would inherit the test runner's pipes and keep it waiting after the test has ended.
  wine_cmd "$WINE_LOADER" wineboot >/dev/null 2>&1 </dev/null || true
  # A crashing program must end (and fail its test), not wait behind Wine's crash dialog.
  wine_cmd "$WINE_LOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 </dev/null || true
  # Without a window manager (Xvfb) Wine waits 2 s at every DestroyWindow of a managed window.
  wine_cmd "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 </dev/null || true
}

# Safe under set -e: a wineserver already gone is no failure of the caller's.
wine_session_end() {
  if [ -n "${WINE_SERVER:-}" ]; then wine_cmd "$WINE_SERVER" -k >/dev/null 2>&1 || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=
}
