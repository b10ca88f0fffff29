#!/usr/bin/env bash
# Builds the release: build/win32/Vokabra-<version>.zip with Vokabra.dll, its MapBasic
# declarations, the dictionary tool vok.exe, the documentation and the examples.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
cmake --build --preset win32 --target release
