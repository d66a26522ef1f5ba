#!/bin/sh
# Checks the Debian packages the suite needs and installs the missing ones
# when run as root (apt-get); otherwise names them with the exact apt-get
# line and stops when one that the build cannot do without is missing.
#
# Usage: tools/dependencies.sh demo|test
#   demo: what the programs and the demo need (GDAL's development files
#         included: the Linux build requires them);
#   test: that, and what the test suite needs (GoogleTest; GDAL's tools and
#         Python bindings, Pillow, ImageMagick and Snakemake, whose tests are
#         skipped when they are missing).
set -eu
what=${1:-test}

required=""
optional=""
need() {  # need required|optional <package> <test command...>
  kind=$1 package=$2
  shift 2
  if ! "$@" >/dev/null 2>&1; then
    case "$kind" in
      required) required="$required $package" ;;
      *) optional="$optional $package" ;;
    esac
  fi
}
has() { command -v "$1"; }
has_file() { [ -e "$1" ]; }

need required cmake has cmake
need required g++ has g++
need required make has make
need required libgdal-dev has gdal-config
if [ "$what" = test ]; then
  need required libgtest-dev sh -c '[ -d /usr/src/googletest ] || [ -f /usr/include/gtest/gtest.h ]'
  need optional gdal-bin has ogrinfo
  need optional python3-gdal /usr/bin/python3 -c "import osgeo.gdal"
  need optional python3-numpy /usr/bin/python3 -c "import numpy"
  need optional python3-pil /usr/bin/python3 -c "import PIL"
  need optional imagemagick has_file /usr/bin/convert
  need optional snakemake has snakemake
fi

missing="$required$optional"
[ -n "$missing" ] || exit 0
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
  echo "Installing the missing Debian packages:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
  exit 0
fi
if [ -n "$required" ]; then
  echo "Missing Debian packages the build needs:$required" >&2
  echo "Install them with:  sudo apt-get install$missing" >&2
  exit 1
fi
echo "Note: the tests of these optional tools are skipped; to run them:  sudo apt-get install$optional" >&2
