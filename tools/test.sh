#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native unit tests of
# the core, the reliability checks (sanitizers, valgrind, VOK_FUZZ_SECONDS of fuzzing per
# target, default 30), then the Windows tests of the x64 and the 32-bit Vokabra.dll under
# 64-bit and 32-bit Wine and Xvfb (the 32-bit ones under qemu-user's i386 emulation where the
# kernel runs no 32-bit program). Every suite runs whatever the others' results; the run ends
# with one line per suite and a non-zero status when any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
bash tools/setup.sh || { echo "test: tools/setup.sh failed: nothing was built or run" >&2; exit 1; }
i386=$(bash tools/setup.sh --i386)

results=() passed=0 failed=0
minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }
# Runs the suite NAME as the rest of the command line and keeps its result.
suite() {
  local name=$1 t=$SECONDS rc=0
  shift
  echo "== $name"
  "$@" || rc=$?
  if [ $rc = 0 ]; then
    results+=("passed  $name ($(minutes $((SECONDS - t))))")
    passed=$((passed + 1))
  else
    results+=("FAILED  $name: exit status $rc ($(minutes $((SECONDS - t))))")
    failed=$((failed + 1))
  fi
}
# The Windows tests of the build tree PRESET, with one wineserver kept alive for the whole run.
windows() {
  local preset=$1 flag=
  [ "$preset" = win64 ] && flag=--win64
  bash tools/build.sh "$preset" || return
  xvfb-run -a bash -c '
    cmake/wine-run.sh $1 --server start || exit
    ctest --preset "$2"; rc=$?
    cmake/wine-run.sh $1 --server stop
    exit $rc' _ "$flag" "$preset" 2> >(grep -v '^X connection' >&2)
}

suite "native unit tests" bash -c 'bash tools/build.sh native && ctest --preset native'
suite "reliability: sanitizers, valgrind, fuzzing" bash tools/reliability.sh "${VOK_FUZZ_SECONDS:-30}"
suite "x64 DLL under 64-bit Wine" windows win64
suite "32-bit DLL under 32-bit Wine, $i386" windows win32

echo
echo "== results, $(minutes $((SECONDS - start))) in all"
printf '%s\n' "${results[@]}"
echo "test: $passed passed, $failed failed"
[ $failed = 0 ]
