#!/bin/sh
# Drelwin: 10^6 segments drawn into a 4096 x 4096 BMP.
# Usage: bench_drelwin.sh <bin folder> <generator folder> <output folder>
set -eu
. "$(dirname "$0")/timing.sh"
bin=$1 gen=$2 out=$3
mkdir -p "$out"
cd "$out"
[ -f segments_1m.txt ] || "$gen/segments_gen" segments_1m.txt 1000000 4096 4096
measure "drelwin, 10^6 segments into 4096x4096" "$bin/drelwin" segments_1m.txt drawn_1m.bmp 4096 4096
