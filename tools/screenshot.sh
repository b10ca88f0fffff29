#!/usr/bin/env bash
# Takes a picture of the selection dialog as a user sees it: the stand-in host opens it under
# Xvfb on the Cyrillic section of the sample dictionary, on an item of the third level (so the
# path list shows two rows), and the screen is saved to build/screenshots/vokform.png.
# With DPI=120 the screen has the density the form was designed at (a prefix of its own,
# build/wineprefix-120dpi; picture vokform-120dpi.png).
# With a pattern as second argument the search dialog (F3) is opened over it and searches for
# the pattern (picture search.png).
# With VOK_LC_ALL=C.UTF-8 the program runs on a Western Windows (ANSI code page 1252): take the
# section Places there (SECTION=Places START=1101001), whose name the code page holds.
# The x64 DLL by default; --win32 takes the 32-bit one (pictures named *-win32.png).
# Usage: [DPI=120] [SECTION=NAME] tools/screenshot.sh [--win32] [START_CODE [PATTERN]]
set -euo pipefail
cd "$(dirname "$0")/.."
export ARCH=--win64 SUFFIX=
preset=win64
if [ "${1:-}" = --win32 ]; then
  ARCH= SUFFIX=-win32 preset=win32
  shift
fi
bash tools/build.sh $preset
out=$PWD/build/screenshots
mkdir -p "$out"
cd build/$preset
export START=${1:-4501002} PNG=$out/vokform${VOK_LC_ALL:+-$VOK_LC_ALL}$SUFFIX.png PATTERN=${2:-}
export SECTION=${SECTION:-Регионы}
[ -z "$PATTERN" ] || PNG=$out/search$SUFFIX.png
if [ -n "${DPI:-}" ]; then
  export WINEPREFIX=$PWD/../wineprefix-${DPI}dpi${SUFFIX:--x64} PNG=$out/vokform-${DPI}dpi$SUFFIX.png
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    ../../cmake/wine-run.sh $ARCH reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null
    WINEPREFIX=$WINEPREFIX wineserver -w
  fi
fi
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ../../cmake/wine-run.sh $ARCH vokhost.exe --pick ../../examples/sample.vok "$SECTION" "$START" --close-after 8000 \
    ${PATTERN:+--search "$PATTERN"} | iconv -f cp1251 -t utf-8 &
  # Wait for the dialog (its caption ends with the F3 hint), then for its first painting.
  for _ in $(seq 30); do
    xwininfo -root -tree 2>/dev/null | grep -q "F3 - " && break
    sleep 0.2
  done
  if [ -n "$PATTERN" ]; then sleep 2; else sleep 1; fi
  import -window root "$PNG"
  wait' 2> >(grep -v "X connection" >&2)
echo "screenshot: $PNG"
