#!/usr/bin/env bash
# Benchmark of the dictionaries at scale: builds vokbench natively and as a 64-bit and a 32-bit
# program, writes its inputs (a 1,000,000-item and a 1,000-item section) into build/bench/, and
# prints the table of each run: the core natively, then the x64 and the 32-bit Vokabra.dll
# through their exports under Wine. Where the kernel runs no 32-bit program, the 32-bit run is
# under qemu-user's i386 emulation and its heading says so: its times are not the DLL's own.
# The tables are also kept in build/bench/results.txt. Not a test: it asserts no time.
# Usage: bash tools/bench.sh [--lib-seconds S] [--ref-seconds S]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh native win64 win32 -- vokbench
i386=$(bash tools/setup.sh --i386)
host=()
[ "$i386" = native ] || host=(--host "$i386")
mkdir -p build/bench
build/native/vokbench gen build/bench
rc=0
{
  status=0
  echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) CPUs," \
       "$(free -g | awk '/^Mem:/ {print $2}') GB, Linux $(uname -r), $(wine --version), 32-bit programs $i386"
  echo "Compilers: $(g++ --version | head -1); $(i686-w64-mingw32-g++-win32 --version | head -1);" \
       "$(x86_64-w64-mingw32-g++-win32 --version | head -1)"
  cd build/bench
  ../native/vokbench run . "$@" || status=1
  echo
  xvfb-run -a ../../cmake/wine-run.sh --win64 ../win64/vokbench.exe run . "$@" 2> >(grep -v '^X connection' >&2) ||
    status=1
  echo
  xvfb-run -a ../../cmake/wine-run.sh ../win32/vokbench.exe run . "$@" "${host[@]}" 2> >(grep -v '^X connection' >&2) ||
    status=1
  exit $status
} | tee build/bench/results.txt || rc=$?
[ $rc = 0 ] || echo "bench: a run failed; the tables above are those that ran" >&2
exit $rc
