# Talvern: a 4096 x 4096 scene with about 5000 buildings of varied shapes and
# their shadows, sun azimuth 40 degrees, elevation 60, pixels of 0.5 m.
set -eu
bin=$1 gen=$2 out=$3
. "$(dirname "$0")/timing.sh"
mkdir -p "$out"
cd "$out"

"$gen/talvern_gen" buildings.bmp shadows.bmp 4096 5000 40
"$bin/talvern" buildings.bmp shadows.bmp 40 60 0.5 > talvern.log
echo "buildings measured: $(grep -o 'initializing.*' talvern.log | awk '{print $NF}') blobs"
measure "talvern 4096x4096, ~5000 buildings" "$bin/talvern" buildings.bmp shadows.bmp 40 60 0.5
cd /
rm -rf "$out"
