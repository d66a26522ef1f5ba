#!/bin/sh
# Times vorlix with its default parameters on synthetic aerial-like images
# with a network of thin dark roads, 1024 x 1024, 2048 x 2048 and
# 4096 x 4096, on one thread and on two (the transforms and window tests
# share their rows, the radii after the first are worked two at a time, long
# region growths share their candidate searches, run ahead of the growth). Goals:
# 2048 x 2048 within 5 s and 1024 x 1024 within 1.2 s on two threads; peak
# memory within 40 bytes per pixel (160 MB at 2048 x 2048). The segments
# are the same bytes on every row of a size.
#
# The roads of one scene are as long as the image, so a larger image has
# longer straight roads in one larger connected network, which the segment
# extraction grows again after each segment it takes from it. The mosaic
# rows keep one 1024 x 1024 scene's road lengths and density at every size,
# as at a fixed ground resolution: there the cost per pixel stays nearly
# the same (within 10 % from 1024 x 1024 to 8192 x 8192).
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
for size in 1024 2048 4096; do
  "$gen/vorlix_gen" $size $size roads_$size.raw 1
  for threads in 1 2; do
    measure "vorlix ${size}x${size}, $threads thread(s)" "$bin/vorlix" --threads $threads roads_$size $size $size
    echo "  segments: $(wc -l < segmenti.txt), $(cksum < segmenti.txt)"
  done
done
for size in 2048 4096; do
  "$gen/vorlix_gen" $size $size mosaic_$size.raw 1 1024
  for threads in 1 2; do
    measure "vorlix ${size}x${size} mosaic of 1024 x 1024 scenes, $threads thread(s)" "$bin/vorlix" --threads $threads mosaic_$size $size $size
    echo "  segments: $(wc -l < segmenti.txt), $(cksum < segmenti.txt)"
  done
done
