# Zonrik: a 4096 x 4096 float32 background and 10 000 polygons (squares,
# L shapes, squares with holes, diamonds, five large ones), measured with
# the mean and with c_cover.
set -eu
bin=$1 gen=$2 out=$3
. "$(dirname "$0")/timing.sh"
mkdir -p "$out"
cd "$out"

"$gen/zonrik_gen" background polygons.shp 4096 10000
echo "background 4096x4096 float32, 10000 polygons"
measure "zonrik mean" "$bin/zonrik" polygons.shp background.raw zones_mean mean
measure "zonrik c_cover" "$bin/zonrik" polygons.shp background.raw zones_cover c_cover --cover-max 300 --cover-min 290
"$gen/zonrik_gen" background polygons.shp 4096 2500
measure "zonrik mean, 2500 polygons (linear in the zones)" "$bin/zonrik" polygons.shp background.raw zones_mean mean
cd /
rm -rf "$out"
