#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's prefix, code page 1251 and no
# Wine diagnostics. Creates the prefix on first use. Usage: wine-run.sh PROGRAM.exe [ARGS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Without a window manager Wine waits after every closed message box; unmanaged windows don't.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
exec wine "$@"
