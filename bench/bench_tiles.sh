# Tiled runs (suite-tiles) against one process on the whole image: a
# 16384 x 16384 class map through Polvane, a building mask of the same
# size through Murgel and a float background with a zone set through
# Zonrik (ZONRIK_SIZE and ZONRIK_TILE choose a smaller one), each as one process and tiled in tiles of 4096 with
# two jobs at once (wall time, CPU time of all processes, peak memory of the
# largest process and of each tile's program); then a 32768 x 32768 class
# map with every process held to 2 GB of address space: one process cannot
# hold it, the tiled run can.
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
for program in polvane murgel; do
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
cd /
rm -rf "$out"
