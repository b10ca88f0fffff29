#!/usr/bin/env bash
# Builds the fuzz targets of the dictionary core (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, into build/fuzz/) and runs each for SECONDS (default 30),
# one at a time in one process each and at low priority: first the inputs that once crashed it
# (tests/fuzz/regressions/TARGET/), then fuzzing from its seeds (tests/fuzz/corpus/TARGET/)
# and the inputs earlier runs kept (build/fuzz/corpus/TARGET/).
# SECONDS 0 only runs those inputs once. The targets that read files take inputs of up to 1 MiB. Prints executions, coverage and crashes per
# target; exits non-zero on any crash.
#
#   bash tools/fuzz.sh [SECONDS] [TARGET...]     e.g. bash tools/fuzz.sh 600 fuzz_section
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=30
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all=(fuzz_section fuzz_loadall fuzz_strtoint fuzz_display fuzz_prj fuzz_sondex)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
printf '%-14s %10s %8s %8s %8s  %s\n' target executions exec/s coverage features crashes
for t in "${targets[@]}"; do
  bin=build/fuzz/$t
  [ -x "$bin" ] || { echo "fuzz: no target $t" >&2; exit 2; }
  work=build/fuzz/corpus/$t
  artifacts=build/fuzz/artifacts/$t
  log=build/fuzz/$t.log
  mkdir -p "$work" "$artifacts"
  : >"$log"

  crashes=0
  shopt -s nullglob
  regressions=(tests/fuzz/regressions/$t/*)
  shopt -u nullglob
  if [ ${#regressions[@]} -gt 0 ] &&
     ! nice -n 10 "$bin" -runs=1 "${regressions[@]}" >>"$log" 2>&1; then
    crashes=1
    echo "fuzz: $t fails on a regression input; see $log" >&2
  fi
  # The targets that read files take inputs up to 1 MiB: long lines, lines ended by a carriage
  # return alone, several blocks of the text store and the reader's whole buffer. libFuzzer's
  # own limit (4 KiB) is below the store's first block.
  case $t in
    fuzz_section|fuzz_loadall|fuzz_prj) size=(-max_len=1048576) ;;
    *) size=() ;;
  esac
  if [ "$seconds" -gt 0 ]; then
    limit=(-max_total_time="$seconds")
  else
    limit=(-runs=0)
  fi
  if [ $crashes -eq 0 ] &&
     ! nice -n 10 "$bin" "$work" "tests/fuzz/corpus/$t" "${limit[@]}" "${size[@]}" -timeout=30 \
         -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$root/$artifacts/" >>"$log" 2>&1; then
    crashes=1
    echo "fuzz: $t crashed; the input is in $artifacts/, the report in $log" >&2
  fi

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  printf '%-14s %10s %8s %8s %8s  %s\n' "$t" "${execs:--}" "${speed:--}" "${cov:--}" "${ft:--}" "$crashes"
  [ $crashes -eq 0 ] || failed=1
done
exit $failed
