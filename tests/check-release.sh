#!/usr/bin/env bash
# Builds the release zip and checks what a user unpacks from it.
# Usage: check-release.sh CMAKE BINARY_DIR VERSION
set -euo pipefail
cmake=$1 bin=$2 version=$3
"$cmake" --build "$bin" --target release >/dev/null
zip="$(cd "$bin" && pwd)/Vokabra-$version.zip"
listing=$(cd "$bin" && "$cmake" -E tar tf "$zip")
for f in x86/Vokabra.dll x86/Vokabra.def x64/Vokabra.dll x64/Vokabra.def README.md examples/Vokabra.def \
         examples/Vokabra64.def examples/sample.vok examples/projections.prj examples/demo.mb docs/exports.md \
         docs/vok-format.md vok.exe; do
  grep -qx "Vokabra-$version/$f" <<<"$listing" || { echo "check-release: $f missing from $zip"; exit 1; }
done
# Each folder holds the DLL of its architecture and the declarations that go with it.
unzip_dir=$(mktemp -d)
trap 'rm -rf "$unzip_dir"' EXIT
(cd "$unzip_dir" && "$cmake" -E tar xf "$zip")
root=$unzip_dir/Vokabra-$version
for a in x86:pei-i386:i686 x64:pei-x86-64:x86_64; do
  IFS=: read -r dir format tool <<<"$a"
  $tool-w64-mingw32-objdump -f "$root/$dir/Vokabra.dll" | grep -q "file format $format" ||
    { echo "check-release: $dir/Vokabra.dll is not $format"; exit 1; }
done
grep -q 'As IntPtr' "$root/x64/Vokabra.def" || { echo "check-release: x64/Vokabra.def declares no IntPtr handles"; exit 1; }
! grep -q 'As IntPtr' "$root/x86/Vokabra.def" || { echo "check-release: x86/Vokabra.def declares IntPtr handles"; exit 1; }
echo "check-release: $(wc -l <<<"$listing") entries in $(basename "$zip")"
