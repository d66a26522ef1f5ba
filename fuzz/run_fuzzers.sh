#!/bin/sh
# Runs the fuzz targets of a fuzz build, each for a bounded time, and prints
# per target the executions, the coverage (edges) and the features reached.
#
#   fuzz/run_fuzzers.sh <fuzz build folder> <seconds per target> [target ...]
#
# Without target names every fuzz_* program of <build>/fuzz-bin runs. Each
# starts from its working corpus (<build>/fuzz-corpus/<name>, which keeps
# what it finds) and the seeds that make_fuzz_seeds writes. Crash inputs
# land in <build>/fuzz-artifacts, the full log in <build>/fuzz-logs/<name>.log. The status is non-zero when any
# target found a crash, leak, timeout or sanitizer report.
set -u
build=$(cd "$1" && pwd)
seconds=$2
shift 2
bin=$build/fuzz-bin

if [ $# -eq 0 ]; then
  set --
  for program in "$bin"/fuzz_*; do
    case "$program" in *.dict) continue ;; esac
    set -- "$@" "${program##*/fuzz_}"
  done
fi

mkdir -p "$build/fuzz-seeds" "$build/fuzz-artifacts" "$build/fuzz-logs"
"$bin/make_fuzz_seeds" "$build/fuzz-seeds" || exit 1

failed=""
for name in "$@"; do
  corpus=$build/fuzz-corpus/$name
  mkdir -p "$corpus"
  set -- "$corpus"
  [ -d "$build/fuzz-seeds/$name" ] && set -- "$@" "$build/fuzz-seeds/$name"
  dict=""
  [ -f "$bin/fuzz_$name.dict" ] && dict="-dict=$bin/fuzz_$name.dict"
  log=$build/fuzz-logs/$name.log
  # A generous per-input timeout: the runs share the machine with builds.
  "$bin/fuzz_$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/$name-" $dict "$@" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]* ft: [0-9]*' | tail -n 1)
  printf '%-14s %3ss  %10s runs  %s\n' "$name" "$seconds" "${runs:-?}" "${coverage:-?}"
  if [ $status -ne 0 ]; then
    failed="$failed $name"
    grep -E 'ERROR|SUMMARY|invariant|runtime error|Test unit written' "$log" | head -n 8
  fi
done

if [ -n "$failed" ]; then
  echo "fuzzing found problems in:$failed (logs in $build/fuzz-logs)"
  exit 1
fi
