#!/usr/bin/env bash
# Installs what is missing, builds Vokabra.dll and runs the stand-in host on the sample
# dictionary under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh win32
cd build/win32
xvfb-run -a ../../cmake/wine-run.sh vokhost.exe ../../examples/sample.vok "$@" 2> >(grep -v "X connection" >&2) | iconv -f cp1251 -t utf-8
