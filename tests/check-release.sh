#!/usr/bin/env bash
# Builds the release zip and checks what a user unpacks from it.
# Usage: check-release.sh CMAKE BINARY_DIR VERSION
set -euo pipefail
cmake=$1 bin=$2 version=$3
"$cmake" --build "$bin" --target release >/dev/null
zip="$(cd "$bin" && pwd)/Vokabra-$version.zip"
listing=$(cd "$bin" && "$cmake" -E tar tf "$zip")
for f in Vokabra.dll README.md examples/Vokabra.def examples/sample.vok examples/projections.prj \
         examples/demo.mb docs/exports.md docs/vok-format.md vok.exe; do
  grep -qx "Vokabra-$version/$f" <<<"$listing" || { echo "check-release: $f missing from $zip"; exit 1; }
done
echo "check-release: $(wc -l <<<"$listing") entries in $(basename "$zip")"
