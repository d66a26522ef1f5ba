#!/bin/sh
# Runs every benchmark script bench/bench_*.sh. Each builds its large
# synthetic inputs in the output folder and prints its timings.
# Usage: bench/run_bench.sh <bin folder> <output folder> [name ...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
out=$2
shift 2
mkdir -p "$out"
out=$(cd "$out" && pwd)
gen="$bin/../bench-bin"
if [ $# -eq 0 ]; then
  set -- $(cd "$here" && ls bench_*.sh | sed 's/^bench_//; s/\.sh$//')
fi
for name in "$@"; do
  echo "== $name"
  sh "$here/bench_$name.sh" "$bin" "$gen" "$out/$name"
done
