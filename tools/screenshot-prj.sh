#!/usr/bin/env bash
# Takes a screenshot of the coordinate system chooser on examples/projections.prj under Xvfb,
# with a Russian group chosen, for a person to look at. Builds what is missing first.
# The x64 DLL by default, the 32-bit one with --win32.
# Usage: screenshot-prj.sh [--win32] [GROUP_INDEX] [OUT.png]   (default: group 2, build/prj-chooser.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
preset=win64 arch=--win64
if [ "${1:-}" = --win32 ]; then
  preset=win32 arch=
  shift
fi
group=${1:-2}
out=$(realpath -m "${2:-build/prj-chooser.png}")
bash tools/build.sh $preset
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cd build/$preset
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  "$1"/cmake/wine-run.sh $5 vokhost.exe --prj "$1"/examples/projections.prj --group "$2" --close-after 4000 >"$3" 2>/dev/null &
  host=$!
  for _ in $(seq 200); do grep -q "chooser shown" "$3" && break; sleep 0.1; done
  sleep 1
  import -window root "$4"
  wait $host
' _ "$root" "$group" "$log" "$out" "$arch"
iconv -f cp1251 -t utf-8 "$log"
echo "screenshot: $out"
