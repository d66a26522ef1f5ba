# Shared by the benchmark scripts: `measure LABEL command...` runs a command
# and prints its wall time in seconds and its peak memory in MB.
measure() {
  label=$1
  shift
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "$label: %e s, peak %M KB" "$@" > /dev/null 2> "${TMPDIR:-/tmp}/bench_time.$$" || true
    tail -n 1 "${TMPDIR:-/tmp}/bench_time.$$"
    rm -f "${TMPDIR:-/tmp}/bench_time.$$"
  else
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1 || true
    end=$(date +%s.%N)
    echo "$label: $(awk "BEGIN{print $end - $start}") s"
  fi
}
