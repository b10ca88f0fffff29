#!/usr/bin/env bash
# The reliability checks of the dictionary core: its unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/native-asan/), the same tests under valgrind's memcheck
# (build/native/), and every fuzz target for FUZZ_SECONDS (default 30) through tools/fuzz.sh.
# Exits non-zero when any of them finds an error.
#
#   bash tools/reliability.sh [FUZZ_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan >/dev/null
ctest --preset native-asan

echo "== unit tests under valgrind (memcheck)"
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
  build/native/vok_native_tests --gtest_brief=1
echo "valgrind: no error"

echo "== fuzz targets, ${seconds} s each"
bash tools/fuzz.sh "$seconds"
