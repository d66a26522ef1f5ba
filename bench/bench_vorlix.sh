#!/bin/sh
# Times vorlix with its default parameters on synthetic aerial-like images
# with a network of thin dark roads, 512 x 512 and 1024 x 1024 (the growth
# from one to the other shows the cost per pixel). Peak memory should stay
# within 64 bytes per pixel (64 MB at 1024 x 1024).
# Usage: bench/bench_vorlix.sh <bin folder> <generator folder> <output folder>
set -eu
bin=$1
gen=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/timing.sh"
mkdir -p "$out"
cd "$out"
rm -f vorlix_parameters.txt  # the built-in defaults
for size in 512 1024; do
  "$gen/vorlix_gen" $size $size roads_$size.raw 1
  measure "vorlix ${size}x${size}" "$bin/vorlix" roads_$size $size $size
  echo "  segments: $(wc -l < segmenti.txt)"
done
