#!/bin/sh
# Runs the suite's work flows on the sample data, as a user would.
# Usage: demo/run_demo.sh <bin folder> <output folder>
set -eu
bin=$(cd "$1" && pwd)
out=$2
rm -rf "$out"
mkdir -p "$out/data"
out=$(cd "$out" && pwd)
tools="$bin/../tools-bin"

echo "== Sample data"
"$tools/make_samples" "$out/data"

echo "== Stelvar: slicing the aerial image at 150, 175, 200 and 225"
mkdir -p "$out/slices"
cp "$out/data/aerial.bmp" "$out/slices/"
(cd "$out/slices" && "$bin/stelvar" aerial.bmp 150 225 25 0)
echo

echo "== Polvane: the building class map as polygons, in map units through its world file"
mkdir -p "$out/polygons"
cp "$out/data/buildings.bmp" "$out/data/buildings.bpw" "$out/polygons/"
(cd "$out/polygons" && "$bin/polvane" buildings.bmp buildings)
echo

echo "== Zonrik: surface temperature of every building polygon polvane traced"
mkdir -p "$out/zones"
cp "$out/polygons/buildings_0.shp" "$out/data/temperature.raw" "$out/data/temperature.dim" \
   "$out/data/temperature.rww" "$out/zones/"
(cd "$out/zones" && "$bin/zonrik" buildings_0.shp temperature.raw roof_temperature sp_temp > zonrik.log)
echo "$(grep -c ' ok$' "$out/zones/zonrik.log") buildings measured; the first five in roof_temperature_temp.txt (degrees Celsius):"
grep -v -e '^$' -e '^- ' "$out/zones/roof_temperature_temp.txt" | head -n 6
echo

echo "== Talvern: building heights from the shadows (sun azimuth 40, elevation 60, pixels of 0.5 m)"
mkdir -p "$out/heights"
cp "$out/data/buildings.bmp" "$out/data/shadows.bmp" "$out/heights/"
(cd "$out/heights" && "$bin/talvern" buildings.bmp shadows.bmp 40 60 0.5 > talvern.log)
echo "buildings measured: $(grep -o 'initializing.*' "$out/heights/talvern.log" | awk '{print $NF}')"
echo "heights against the truth: $("$tools/compare_heights" "$out/heights/buildings_raise.raw" 1024 1024 "$out/data/buildings_truth.txt")"
echo

echo "== Summary"
echo "files written:"
(cd "$out" && find . -type f | sort | sed 's/^\.\//  /')
