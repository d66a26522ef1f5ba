#!/bin/sh
# Runs both work flows of the suite on the sample data, each program called
# as a user would call it, and sums up what came out.
#
# Usage: demo/run_demo.sh <bin folder> <output folder>
#
# The programs are taken from <bin folder>, the sample-data generator from
# <bin folder>/../tools-bin. SUITE_EXE is appended to every program name and
# SUITE_RUNNER (such as wine) put before it, so the same script runs a
# Windows build (demo/compare_windows.sh does).
#
# Output folder: data/ (the sample data), buildings/ and lines/ (one folder
# per work flow: the inputs it needs, copied from data/, and everything the
# programs write), geotiff/ (the building flow again on the town as
# GeoTIFFs with a CRS, when the programs were built with GDAL; set
# SUITE_DEMO_GEOTIFF=no to leave it out), logs/ (each program's console
# output).
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 <bin folder> <output folder>" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
tools=$(cd "$bin/../tools-bin" && pwd)
exe=${SUITE_EXE:-}
runner=${SUITE_RUNNER:-}
shown=$2  # the output folder as given, for the messages
rm -rf "$2"
mkdir -p "$2"
out=$(cd "$2" && pwd)
data=$out/data
logs=$out/logs
mkdir -p "$data" "$logs" "$out/buildings" "$out/lines"
geotiff=${SUITE_DEMO_GEOTIFF:-yes}
copied=$out/.inputs  # names of the copied inputs, left out of the files written
: >"$copied"
step=0

fail() {
  echo "demo: $*" >&2
  exit 1
}

# copy_inputs <work folder> <name> ...: sample files the work flow starts from.
copy_inputs() {
  folder=$1
  shift
  for name in "$@"; do
    cp "$data/$name" "$out/$folder/$name"
    echo "$folder/$name" >>"$copied"
  done
}

# run <work folder> <expected outputs> <program> <argument> ...: runs the
# program in its work folder with its console output in logs/, checks its
# exit status (a failure is reported as such) and that it wrote every
# expected output ("-" for none).
run() {
  folder=$1
  expected=$2
  program=$3
  shift 3
  step=$((step + 1))
  log_name=$(printf 'logs/%02d_%s.txt' "$step" "$program")
  log=$out/$log_name
  printf '  %s$ %s %s\n' "$folder" "$program" "$*"
  [ -f "$bin/$program$exe" ] || fail "$program$exe is not in $bin (build it first: make build)"
  started=$(date +%s)
  status=0
  (cd "$out/$folder" && $runner "$bin/$program$exe" "$@" </dev/null >"$log" 2>&1) || status=$?
  [ "$status" -eq 0 ] || fail "$program ended with status $status (console output in $shown/$log_name)"
  if [ "$expected" != "-" ]; then
    for name in $expected; do
      [ -s "$out/$folder/$name" ] || fail "$program did not write $folder/$name (console output in $shown/$log_name)"
    done
  fi
  printf '      wrote %s (%s s)\n' "$expected" "$(($(date +%s) - started))"
}

records_in_shapefile() {  # from the index file: 100-byte header, 8 bytes a record
  echo $((($(wc -c <"$1") - 100) / 8))
}

echo "Remote-sensing suite demo: both work flows on the sample data, outputs in $shown/"
echo
echo "== Sample data (data/)"
printf '  $ make_samples data\n'
$runner "$tools/make_samples$exe" "$data" </dev/null >"$logs/00_make_samples.txt" 2>&1 ||
  fail "make_samples failed (console output in $shown/logs/00_make_samples.txt)"
echo "      $(ls "$data" | wc -l | tr -d ' ') files: a town (aerial image, building and shadow class maps, temperature)"
echo "      and a countryside (roads image, terrain model, crossroads)"

echo
echo "== Buildings (buildings/)"
copy_inputs buildings aerial.bmp aerial.bpw buildings.bmp buildings.bpw shadows.bmp temperature.raw temperature.dim temperature.rww
run buildings "threshold_150.bmp" stelvar aerial.bmp 150 150 1 0
run buildings "threshold_150_out.bmp" murgel threshold_150.bmp bmp 40
run buildings "found_0.shp found_0.shx found_0.dbf" polvane --mask threshold_150_out.bmp found
run buildings "buildings_0.shp buildings_0.shx buildings_0.dbf" polvane buildings.bmp buildings
run buildings "roof_temperature.shp roof_temperature.shx roof_temperature.dbf roof_temperature.raw roof_temperature.hdr roof_temperature_temp.txt" \
  zonrik buildings_0.shp temperature.raw roof_temperature sp_temp
run buildings "buildings_raise.raw buildings_raise.hdr" talvern buildings.bmp shadows.bmp 40 60 0.5

echo
echo "== Lines (lines/)"
copy_inputs lines roads.raw roads.dim roads.rww dtm.raw dtm.dim crossroads.txt
run lines "segmenti.txt" vorlix roads 1024 1024
cp "$out/lines/roads.rww" "$out/lines/segmenti.bpw"  # the image's world file, named for the segments
echo "lines/segmenti.bpw" >>"$copied"
printf '  lines$ cp roads.rww segmenti.bpw\n'
run lines "roads_lines.shp roads_lines.shx roads_lines.dbf" traskel segmenti.txt roads_lines 1024 1024
run lines "segments.bmp" drelwin segmenti.txt segments.bmp 1024 1024
run lines "crossover_crossroads.txt" kestrom crossroads.txt dtm
rm -f "$out/lines/nomefile"  # vorlix's empty marker file

if [ "$geotiff" != no ]; then
  mkdir -p "$out/geotiff"
  status=0
  $runner "$tools/make_samples$exe" --geotiff "$out/geotiff" </dev/null >"$logs/00_make_samples_geotiff.txt" 2>&1 ||
    status=$?
  case $status in
    0)
      echo
      echo "== The town as GeoTIFFs with a CRS (geotiff/): the same flows, no conversion step"
      (cd "$out/geotiff" && ls) | sed 's|^|geotiff/|' >>"$copied"
      run geotiff "threshold_150.tif" stelvar aerial.tif 150 150 1 0 --of GTiff
      run geotiff "threshold_150_out.tif" murgel threshold_150.tif bmp 40 --of GTiff
      run geotiff "found_0.shp found_0.shx found_0.dbf found_0.prj" polvane --mask threshold_150_out.tif found
      run geotiff "roof_temperature.shp roof_temperature.prj roof_temperature.tif roof_temperature_temp.txt" \
        zonrik found_0.shp temperature.tif roof_temperature sp_temp --of GTiff
      run geotiff "buildings_raise.tif" talvern buildings.tif shadows.tif 40 60 0.5 --of GTiff
      ;;
    3) rmdir "$out/geotiff" ;;  # a build without GDAL
    *) fail "make_samples --geotiff failed (console output in $shown/logs/00_make_samples_geotiff.txt)" ;;
  esac
fi

echo
echo "== Summary"
written=$( (cd "$out" && find buildings lines $( [ -d geotiff ] && echo geotiff ) -type f | sort |
  grep -vxF -f "$copied") || true)
rm -f "$copied"
echo "files written by the programs: $(echo "$written" | wc -l | tr -d ' ') (in $shown/)"
echo "$written" | sed 's/^/  /'

truth=$data/buildings_truth.txt
buildings=$(grep -vc '^#' "$truth")
found=$(records_in_shapefile "$out/buildings/found_0.shx")
echo "buildings found in the aerial image (stelvar, murgel, polvane): $found polygons in found_0.shp ($buildings in the truth)"
agreement=$($runner "$tools/compare_masks$exe" "$out/buildings/threshold_150_out.bmp" "$data/buildings.bmp")
echo "  their pixels: $agreement"
polygons=$(records_in_shapefile "$out/buildings/buildings_0.shx")
echo "buildings of the sample class map: $polygons polygons in buildings_0.shp ($buildings in the truth)"
zones=$(records_in_shapefile "$out/buildings/roof_temperature.shx")
awk -v zones="$zones" '
  $1 ~ /^[0-9]+$/ && NF == 5 { n++; if (n == 1 || $4 < low) low = $4; if (n == 1 || $4 > high) high = $4 }
  END { printf "roof temperatures: %d zones in roof_temperature.shp, %d in roof_temperature_temp.txt, means %.2f to %.2f C\n", zones, n, low, high }
' "$out/buildings/roof_temperature_temp.txt"

if [ -d "$out/geotiff" ]; then
  found_tiff=$(records_in_shapefile "$out/geotiff/found_0.shx")
  echo "  from the GeoTIFFs: $found_tiff polygons in geotiff/found_0.shp, placed in WGS 84 / UTM zone 32N (found_0.prj)"
fi
heights=$($runner "$tools/compare_heights$exe" "$out/buildings/buildings_raise.raw" 1024 1024 "$data/buildings_truth.txt")
echo "building heights against the truth: $heights"
segments=$(grep -c . "$out/lines/segmenti.txt")
echo "segments found: $segments in segmenti.txt (roads_lines.shp, segments.bmp)"
raised=$(grep '^crossing' "$data/roads_truth.txt" | awk '$6 != -1' | wc -l | tr -d ' ')
crossings=$(grep -c . "$out/lines/crossover_crossroads.txt" || true)
echo "raised crossings: $crossings reported in crossover_crossroads.txt ($raised in the truth)"
