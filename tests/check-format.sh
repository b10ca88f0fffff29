#!/usr/bin/env bash
# Checks that the product and tool sources keep the layout of .clang-format.
# Usage: check-format.sh SOURCE_DIR
set -euo pipefail
cd "$1"
files=$(git ls-files 'lookup/*.cpp' 'lookup/*.h' 'library/*.cpp' 'library/*.h' 'forms/*.cpp' 'forms/*.h' \
        'help/*.cpp' 'help/*.h' 'util/*.cpp' 'util/*.h' 'win32/*.cpp' 'win32/*.h' 'tools/*.cpp' 'tools/*.h' \
        'tools/*/*.cpp' 'tools/*/*.h' 2>/dev/null || true)
[ -n "$files" ] || { echo "check-format: no sources found (not a git checkout?)"; exit 0; }
clang-format --dry-run --Werror $files
echo "check-format: $(wc -w <<<"$files") files as .clang-format lays them out"
