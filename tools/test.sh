#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native unit tests of
# the core, the reliability checks (sanitizers, valgrind, VOK_FUZZ_SECONDS of fuzzing per
# target, default 30), then the Windows tests of Vokabra.dll under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
ctest --preset native
bash tools/reliability.sh "${VOK_FUZZ_SECONDS:-30}"
xvfb-run -a ctest --preset win32
