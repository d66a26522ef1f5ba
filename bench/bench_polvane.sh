# Polvane: a 4096 x 4096 class map of 8 colours in about 20 000 blobs, next
# to gdal_polygonize.py on the same map (8-connected, background masked out)
# when GDAL's Python tools are installed; then 1024 x 1024 with 253 colours;
# then one blob of 2500 x 2500 pixels with 250 000 holes and as many islands,
# written in the traced ring orientation and in the esri one (the nesting of
# its 500 000 rings found by one sweep).
set -eu
bin=$1 gen=$2 out=$3
. "$(dirname "$0")/timing.sh"
mkdir -p "$out"
cd "$out"

# Blobs written: the last number of each "blob in process" line, summed.
count_blobs() {
  tr '\n' ' ' < "$1" | sed 's/Processing Color/\n/g' | awk '{ n += $NF } END { print n }'
}

"$gen/polvane_gen" classes.bmp mask.bmp 4096 8 16000
"$bin/polvane" classes.bmp zones > polvane.log
echo "class map 4096x4096 (16.8 Mpixel), 8 colours, $(count_blobs polvane.log) blobs"
measure "polvane 4096x4096, 8 colours" "$bin/polvane" classes.bmp zones
if command -v gdal_polygonize.py > /dev/null 2>&1; then
  measure "gdal_polygonize.py -8 with mask, same map" \
    gdal_polygonize.py -q -8 -mask mask.bmp classes.bmp -f "ESRI Shapefile" gdal.shp
else
  echo "gdal_polygonize.py not installed: no comparison"
fi

"$gen/polvane_gen" many.bmp many_mask.bmp 1024 253 4000
"$bin/polvane" many.bmp many > many.log
echo "class map 1024x1024, 253 colours, $(count_blobs many.log) blobs"
measure "polvane 1024x1024, 253 colours" "$bin/polvane" many.bmp many
"$gen/sieve_gen" sieve.bmp 2500
measure "polvane 2500x2500, one blob of 500 001 rings, traced orientation" "$bin/polvane" sieve.bmp sieve
measure "the same, SUITE_SHAPEFILE_RINGS=esri" env SUITE_SHAPEFILE_RINGS=esri "$bin/polvane" sieve.bmp sieve
cd /
rm -rf "$out"
