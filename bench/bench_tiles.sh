# Tiled runs (suite-tiles) against one process on the whole image: a
# 16384 x 16384 class map through Polvane, a building mask of the same
# size through Murgel and a float background with a zone set through
# Zonrik (ZONRIK_SIZE and ZONRIK_TILE choose a smaller one), each as one process and tiled in tiles of 4096 with
# two jobs at once (wall time, CPU time of all processes, peak memory of the
# largest process and of each tile's program); then a 32768 x 32768 class
# map with every process held to 2 GB of address space: one process cannot
# hold it, the tiled run can. Last, a road image through Vorlix (8192 x 8192,
# VORLIX_SIZE to change it): one process on both cores against tiles of 2048
# with two jobs at once, each tile's run on one thread.
set -eu
bin=$1 gen=$2 out=$3
mkdir -p "$out"
cd "$out"

# `timed LABEL command...`: wall time, user + system CPU of the command and
# every process it waited for, the peak memory of the largest of them.
timed() {
  label=$1
  shift
  status=0
  /usr/bin/time -f "%e %U %S %M" -o timed.txt "$@" > timed.log 2>&1 || status=$?
  awk -v label="$label" -v status=$status \
    'END { printf "%s: %.1f s wall, %.1f s CPU, peak %.0f MB%s\n", label, $1, $2 + $3, $4 / 1024,
       status ? " (status " status ")" : "" }' timed.txt
}

# Each tile's program run through /usr/bin/time, its peak noted.
mkdir -p wrap
for program in polvane murgel vorlix; do
  cat > wrap/$program <<EOT
#!/bin/sh
exec /usr/bin/time -a -o "$out/workers.txt" -f "%e %M" "$bin/$program" "\$@"
EOT
  chmod +x wrap/$program
done
workers() {
  awk -v label="$1" '{ n++; if ($2 > m) m = $2; t += $1 }
    END { printf "  %s: %d tiles, %.1f s each on average, peak %.0f MB per tile\n", label, n, t / n, m / 1024 }' workers.txt
  rm -f workers.txt
}
same_files() {  # folder, then the names
  folder=$1
  shift
  for f in "$@"; do cmp -s "$f" "$folder/$f" || { echo "  DIFFERENT: $f"; return; }; done
  echo "  tiled files identical to one run's ($# files)"
}

"$gen/polvane_gen" classes.bmp classes_mask.bmp 16384 8 256000 || [ -s classes.bmp ]
rm -f classes_mask.bmp
timed "polvane, one process, 16384x16384" "$bin/polvane" classes.bmp one
timed "polvane, suite-tiles --tile 4096 --jobs 2" "$bin/suite-tiles" polvane classes.bmp tiled --tile 4096 --jobs 2 \
  --programs wrap -- one
workers "polvane per tile"
same_files tiled one_*

"$gen/murgel_gen" buildings 16384
timed "murgel, one process, 16384x16384" "$bin/murgel" buildings.bmp bmp 40
timed "murgel, suite-tiles --tile 4096 --overlap 256 --jobs 2" "$bin/suite-tiles" murgel buildings.bmp tiled \
  --tile 4096 --jobs 2 --programs wrap -- bmp 40
workers "murgel per tile"
if cmp -s buildings_out.bmp tiled/buildings_out.bmp; then
  echo "  tiled mask identical to one run's"
else
  echo "  tiled mask: $(cmp -l buildings_out.bmp tiled/buildings_out.bmp | wc -l) pixels differ from one run's"
fi
rm -rf tiled one_* classes.bmp buildings*

# Zonrik: a float background of the same size and a zone set, measured with
# the mean and with c_cover. The tiled run's peak is that of its largest
# process: a tile's job, the merge (no background, no raster) or Snakemake.
size=${ZONRIK_SIZE:-16384}
tile=${ZONRIK_TILE:-4096}
"$gen/zonrik_gen" ground zones.shp "$size" $((size * size / 6700))
for function in mean c_cover; do
  thresholds=""
  [ "$function" = c_cover ] && thresholds="--cover-max 300 --cover-min 290"
  timed "zonrik $function, one process, ${size}x${size}, $((size * size / 6700)) polygons" \
    "$bin/zonrik" $thresholds zones.shp ground.raw "one_$function" "$function"
  timed "zonrik $function, suite-tiles --tile $tile --jobs 2" "$bin/suite-tiles" zonrik ground.raw tiled \
    --tile "$tile" --jobs 2 -- zones.shp "one_$function" "$function" $thresholds
  same_files tiled $(ls tiled)
  rm -rf tiled one_*
done
rm -f ground.* zones.shp

"$gen/polvane_gen" big.bmp big_mask.bmp 32768 8 1024000 || [ -s big.bmp ]
rm -f big_mask.bmp
timed "polvane, one process, 32768x32768, 2 GB" sh -c "ulimit -v 2097152; exec '$bin/polvane' big.bmp big"
timed "polvane, suite-tiles --tile 4096 --jobs 2, 32768x32768, 2 GB per process" \
  sh -c "ulimit -v 2097152; exec '$bin/suite-tiles' polvane big.bmp tiled --tile 4096 --jobs 2 --programs wrap -- big"
workers "polvane per tile"
echo "  shapefiles written: $(ls tiled | grep -c '\.shp$')"

size=${VORLIX_SIZE:-8192}
"$gen/vorlix_gen" $size $size roads.raw 1
rm -f vorlix_parameters.txt  # the built-in defaults
# An ENVI header makes the RAW image a raster GDAL reads.
printf 'ENVI\nsamples = %d\nlines = %d\nbands = 1\nheader offset = 0\nfile type = ENVI Standard\ndata type = 1\ninterleave = bsq\nbyte order = 0\n' \
  $size $size > roads.hdr
mkdir -p one
timed "vorlix, one process (2 threads), ${size}x${size}" sh -c "cd one && exec '$bin/vorlix' ../roads $size $size --line-mask lines.raw"
timed "vorlix, suite-tiles --tile 2048 --jobs 2" "$bin/suite-tiles" vorlix roads.raw tiled --tile 2048 --jobs 2 \
  --programs wrap -- --line-mask lines.raw
workers "vorlix per tile run (3 runs a tile)"
cmp -s one/lines.raw tiled/lines.raw && echo "  tiled line mask identical to one run's" ||
  echo "  tiled line mask: $(cmp -l one/lines.raw tiled/lines.raw | wc -l) pixels differ from one run's"
sort one/segmenti.txt > one.sorted
sort tiled/segmenti.txt > tiled.sorted
echo "  segments: one run $(wc -l < one/segmenti.txt), tiled $(wc -l < tiled/segmenti.txt), the same lines" \
  "$(comm -12 one.sorted tiled.sorted | wc -l)"
rm -rf one tiled roads.* one.sorted tiled.sorted

cd /
rm -rf "$out"
