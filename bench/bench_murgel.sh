# Murgel: cleaning a 4096 x 4096 building mask (about 10 000 buildings with
# holes, notches, channels, diagonal bridges and specks) at blob thresholds
# 0, 10 and 50, and a 2048 x 2048 mask of the same density to show the growth.
set -eu
bin=$1 gen=$2 out=$3
. "$(dirname "$0")/timing.sh"
mkdir -p "$out"
for size in 2048 4096; do
  "$gen/murgel_gen" "$out/mask$size" "$size"
  for threshold in 0 10 50; do
    measure "murgel ${size}x${size}, threshold $threshold" "$bin/murgel" "$out/mask$size.bmp" bmp "$threshold"
  done
done
rm -rf "$out"
