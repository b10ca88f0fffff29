#!/usr/bin/env bash
# Installs what is missing (tools/setup.sh), then configures and builds each preset named, quietly;
# the compilers' messages still show.
# Usage: bash tools/build.sh PRESET... [-- TARGET...]   e.g. bash tools/build.sh win32 win64
set -euo pipefail
cd "$(dirname "$0")/.."
presets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do presets+=("$1"); shift; done
[ $# -gt 0 ] && shift
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
bash tools/setup.sh
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" "${targets[@]}" >/dev/null
done
