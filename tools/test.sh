#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native unit tests of
# the core, the reliability checks (sanitizers, valgrind, VOK_FUZZ_SECONDS of fuzzing per
# target, default 30), then the Windows tests of the 32-bit and the 64-bit Vokabra.dll under
# 32-bit and 64-bit Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh native win32 win64
ctest --preset native
bash tools/reliability.sh "${VOK_FUZZ_SECONDS:-30}"
xvfb-run -a ctest --preset win32
xvfb-run -a ctest --preset win64
