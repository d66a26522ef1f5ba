# Stelvar: 16 slices of a 4096 x 4096 grey BMP, next to copying the same
# number of bytes with cp.
set -eu
bin=$1 gen=$2 out=$3
. "$(dirname "$0")/timing.sh"
mkdir -p "$out/slices" "$out/copies"
"$gen/stelvar_gen" "$out/grey.bmp" 4096
cp "$out/grey.bmp" "$out/slices/"
measure "stelvar 16 slices of 4096x4096" sh -c "cd '$out/slices' && '$bin/stelvar' grey.bmp 0 240 16 0"
measure "cp of the same 16 files" sh -c "for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16; do cp '$out/grey.bmp' '$out/copies/c\$i.bmp'; done"
rm -rf "$out"
