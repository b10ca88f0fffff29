#!/usr/bin/env bash
# Installs what is missing, builds Vokabra.dll and runs the stand-in host on the sample
# dictionary under Wine: the x64 DLL, the one today's MapInfo Pro loads, or with --win32 the
# 32-bit one (under qemu-user's i386 emulation where the kernel runs no 32-bit program).
# Usage: bash tools/demo.sh [--win32] [VOKHOST ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=win64 flag=--win64
if [ "${1:-}" = --win32 ]; then
  preset=win32 flag=
  shift
fi
fail() {
  echo "demo: $*" >&2
  exit 1
}
bash tools/setup.sh || fail "installing what is missing (tools/setup.sh) failed"
bash tools/build.sh "$preset" || fail "building the $preset tree failed"
cd "build/$preset"
rc=0
xvfb-run -a ../../cmake/wine-run.sh $flag vokhost.exe ../../examples/sample.vok "$@" \
  2> >(grep -v "X connection" >&2) | iconv -f cp1251 -t utf-8 || rc=$?
[ $rc = 0 ] || fail "the stand-in host (build/$preset/vokhost.exe) under Wine ended with exit status $rc"
