#!/bin/sh
# Kestrom: 10^6 segment pairs on a 4096 x 4096 terrain model.
# Usage: bench_kestrom.sh <bin folder> <generator folder> <output folder>
set -eu
. "$(dirname "$0")/timing.sh"
bin=$1 gen=$2 out=$3
mkdir -p "$out"
cd "$out"
[ -f crossroads_1m.txt ] || "$gen/crossroads_gen" dtm_4096 crossroads_1m.txt 4096 1000000
measure "kestrom, 10^6 pairs on a 4096x4096 DTM" "$bin/kestrom" crossroads_1m.txt dtm_4096
