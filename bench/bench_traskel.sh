#!/bin/sh
# Traskel: 10^6 segments to a polyline shapefile, and 10^6 segments in closed
# groups of four to a polygon shapefile, both in map units through a world file.
# Usage: bench_traskel.sh <bin folder> <generator folder> <output folder>
set -eu
. "$(dirname "$0")/timing.sh"
bin=$1 gen=$2 out=$3
mkdir -p "$out"
cd "$out"
[ -f segments_1m.txt ] || "$gen/segments_gen" segments_1m.txt 1000000 4096 4096
[ -f squares_1m.txt ] || awk 'BEGIN {
  srand(1)
  for (i = 0; i < 250000; ++i) {
    x = int(rand() * 4000); y = int(rand() * 4000); s = 1 + int(rand() * 95)
    printf "%5d %5d %5d %5d %5.2f\r\n", x, y, x + s, y, -1
    printf "%5d %5d %5d %5d %5.2f\r\n", x + s, y, x + s, y + s, -1
    printf "%5d %5d %5d %5d %5.2f\r\n", x + s, y + s, x, y + s, -1
    printf "%5d %5d %5d %5d %5.2f\r\n", x, y + s, x, y, -1
  }
}' > squares_1m.txt
printf '0.5\n0\n0\n-0.5\n652000.25\n5081000.75\n' > segments_1m.bpw
cp segments_1m.bpw squares_1m.bpw
measure "traskel, 10^6 segments to polylines" "$bin/traskel" segments_1m.txt lines_1m 4096 4096
measure "traskel, 10^6 segments to 250000 polygons" "$bin/traskel" squares_1m.txt squares_1m 4096 4096
