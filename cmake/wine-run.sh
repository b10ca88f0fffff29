#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's prefix, code page 1251 and no Wine
# diagnostics. Creates the prefix on first use, and says what wineboot said when that fails.
# Usage: wine-run.sh [--win64] PROGRAM.exe [ARGS]
#        wine-run.sh [--win64] --server start|stop
#   32-bit programs run in build/wineprefix (a 32-bit prefix), 64-bit ones (--win64) under
#   64-bit Wine in build/win64/wineprefix. WINEPREFIX, if set, names the prefix instead.
#   --server start makes the prefix and keeps its wineserver, and with it Wine's services, alive
#   until --server stop, so that a run of many programs pays their start once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" = --win64 ]; then
  shift
  export WINEARCH=win64 WINEPREFIX=${WINEPREFIX:-$here/../build/win64/wineprefix}
  wine=/usr/lib/wine/wine64
else
  export WINEARCH=win32 WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
  wine=wine
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=${VOK_LC_ALL:-ru_RU.UTF-8} LANG=${VOK_LC_ALL:-ru_RU.UTF-8}
if [ "${1:-}" = --server ] && [ "${2:-}" = stop ]; then
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  exit 0
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  new=0
  [ -d "$WINEPREFIX" ] || new=1
  mkdir -p "$WINEPREFIX"
  log=$(mktemp)
  # Without a window manager Wine waits after every closed message box; unmanaged windows don't.
  if ! { timeout 600 "$wine" wineboot -i &&
         "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
         timeout 120 wineserver -w; } >"$log" 2>&1; then
    echo "wine-run: making the Wine prefix $WINEPREFIX ($WINEARCH) failed; Wine said:" >&2
    sed 's/^/  /' "$log" >&2
    echo "  (a 32-bit Wine needs a kernel that runs 32-bit programs, or the emulation that tools/setup.sh" \
      "registers; 'bash tools/setup.sh --i386' tells which this machine has)" >&2
    rm -f "$log"
    wineserver -k 2>/dev/null || true
    [ $new = 0 ] || rm -rf "$WINEPREFIX"
    exit 1
  fi
  rm -f "$log"
fi
if [ "${1:-}" = --server ]; then
  [ "${2:-}" = start ] || { echo "usage: wine-run.sh [--win64] --server start|stop" >&2; exit 2; }
  wineserver -p
  # Wine's services start now, on no terminal or pipe of the caller's: started by the first
  # program of the run, they would hold its output open, and ctest would wait for them.
  "$wine" wineboot </dev/null >/dev/null 2>&1
  exit 0
fi
exec "$wine" "$@"
