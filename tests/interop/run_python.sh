#!/bin/sh
# Runs a Python test script with the first python3 that imports the modules
# it needs (a python3 of its own earlier on the PATH may lack the system's
# GDAL bindings). Exits with 77, the status ctest shows as a skipped test,
# when none does.
# Usage: run_python.sh "<module> ..." <script.py> [arguments ...]
modules=$1
shift
imports=$(echo "$modules" | tr ' ' ',')
for python in python3 /usr/bin/python3; do
  command -v "$python" >/dev/null 2>&1 || continue
  if [ -z "$imports" ] || "$python" -c "import $imports" >/dev/null 2>&1; then
    exec "$python" "$@"
  fi
done
echo "skipped: no python3 that imports $modules (Debian: python3-gdal python3-numpy python3-pil)"
exit 77
