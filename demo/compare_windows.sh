#!/bin/sh
# Runs the demo twice, with the Linux build and with the Windows build under
# wine, and requires every file the two runs write (sample data included) to
# have the same bytes.
#
# Usage: demo/compare_windows.sh <Linux bin folder> <Windows bin folder> <output folder>
# (make build windows, then: demo/compare_windows.sh build/bin build-windows/bin windows-check)
#
# Writes <output folder>/linux and <output folder>/windows; wine's settings
# go into <output folder>/wineprefix unless WINEPREFIX is set.
set -eu

if [ $# -ne 3 ]; then
  echo "usage: $0 <Linux bin folder> <Windows bin folder> <output folder>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
linux_bin=$1
windows_bin=$2
rm -rf "$3"
mkdir -p "$3"
out=$(cd "$3" && pwd)

wine=$(command -v wine || command -v wine-stable || true)
[ -n "$wine" ] || { echo "compare_windows: wine is not installed" >&2; exit 1; }
WINEDEBUG=-all
WINEPREFIX=${WINEPREFIX:-$out/wineprefix}
export WINEDEBUG WINEPREFIX

# The Windows build has no GDAL: the GeoTIFF flow is left out of both runs.
SUITE_DEMO_GEOTIFF=no
export SUITE_DEMO_GEOTIFF
echo "== Linux build"
sh "$here/run_demo.sh" "$linux_bin" "$out/linux"
echo
echo "== Windows build under wine"
SUITE_RUNNER=$wine SUITE_EXE=.exe sh "$here/run_demo.sh" "$windows_bin" "$out/windows"
echo

# Every file but the console logs, compared byte for byte.
(cd "$out/linux" && find . -path ./logs -prune -o -type f -print | sort) >"$out/linux.files"
(cd "$out/windows" && find . -path ./logs -prune -o -type f -print | sort) >"$out/windows.files"
if ! cmp -s "$out/linux.files" "$out/windows.files"; then
  echo "compare_windows: the two runs wrote different files:" >&2
  diff "$out/linux.files" "$out/windows.files" >&2 || true
  exit 1
fi
different=0
while read -r name; do
  if ! cmp -s "$out/linux/$name" "$out/windows/$name"; then
    echo "compare_windows: $name differs: $(cmp "$out/linux/$name" "$out/windows/$name" 2>&1 | head -n 1)" >&2
    different=$((different + 1))
  fi
done <"$out/linux.files"
if [ "$different" -ne 0 ]; then
  echo "compare_windows: $different of $(wc -l <"$out/linux.files" | tr -d ' ') files differ" >&2
  exit 1
fi
echo "Windows build: all $(wc -l <"$out/linux.files" | tr -d ' ') files byte-identical to the Linux build's"
