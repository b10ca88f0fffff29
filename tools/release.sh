#!/usr/bin/env bash
# Builds the release: build/win32/Vokabra-<version>.zip with the 32-bit and the 64-bit
# Vokabra.dll (x86/ and x64/, each with its MapBasic declarations), the dictionary tool vok.exe,
# the documentation and the examples.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh win32 win64
cmake --build --preset win32 --target release
