#!/usr/bin/env bash
# Benchmark of the dictionaries at scale: builds vokbench natively and as a 32-bit and a 64-bit
# program, writes its inputs (a 1,000,000-item and a 1,000-item section) into build/bench/, and
# prints the table of each run: the core natively, then the 32-bit and the 64-bit Vokabra.dll
# through their exports under Wine.
# The tables are also kept in build/bench/results.txt. Not a test: it asserts no time.
# Usage: bash tools/bench.sh [--lib-seconds S] [--ref-seconds S]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh native win32 win64 -- vokbench
mkdir -p build/bench
build/native/vokbench gen build/bench
{
  echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) CPUs," \
       "$(free -g | awk '/^Mem:/ {print $2}') GB, Linux $(uname -r), $(wine --version)"
  echo "Compilers: $(g++ --version | head -1); $(i686-w64-mingw32-g++-win32 --version | head -1);" \
       "$(x86_64-w64-mingw32-g++-win32 --version | head -1)"
  cd build/bench
  ../native/vokbench run . "$@"
  echo
  xvfb-run -a ../../cmake/wine-run.sh ../win32/vokbench.exe run . "$@" 2> >(grep -v '^X connection' >&2)
  echo
  xvfb-run -a ../../cmake/wine-run.sh --win64 ../win64/vokbench.exe run . "$@" 2> >(grep -v '^X connection' >&2)
} | tee build/bench/results.txt
