#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's prefix, code page 1251 and no Wine
# diagnostics. Creates the prefix on first use.
# Usage: wine-run.sh [--win64] PROGRAM.exe [ARGS]
#   32-bit programs run in build/wineprefix (a 32-bit prefix), 64-bit ones (--win64) under
#   64-bit Wine in build/win64/wineprefix. WINEPREFIX, if set, names the prefix instead.
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
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  # Without a window manager Wine waits after every closed message box; unmanaged windows don't.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
exec "$wine" "$@"
