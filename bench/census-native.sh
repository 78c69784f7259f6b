#!/usr/bin/env bash
# Census of 100,000 files in 5,000 folders on tmpfs, natively: countTreeFiles
# against `find DIR -type f | wc -l` on the same tree, best of 3 each. Also
# prints the start-up's log part (100,000-record syslog.log, goal <= 1 s).
# USBDUP_BENCH_DIR overrides the release build folder.
set -euo pipefail
ROOT="${USBDUP_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
BUILD="${USBDUP_BENCH_DIR:-$ROOT/build/native-release}"
BASE=/dev/shm
[ -d "$BASE" ] || BASE="${TMPDIR:-/tmp}"
WORK="$(mktemp -d "$BASE/usbdup-census.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

out="$("$BUILD/bench/bench_census" "$WORK")"
echo "$out"
files="$(echo "$out" | sed -n 's/^census_files=//p')"
census_ms="$(echo "$out" | sed -n 's/^census_ms=//p')"

best_ns=""
for _ in 1 2 3; do
  t0=$(date +%s%N)
  found=$(find "$WORK/tree" -type f | wc -l)
  t1=$(date +%s%N)
  ns=$((t1 - t0))
  if [ -z "$best_ns" ] || [ "$ns" -lt "$best_ns" ]; then best_ns=$ns; fi
done
find_ms=$(awk -v n="$best_ns" 'BEGIN { printf "%.1f", n / 1e6 }')
echo "find -type f | wc -l: $found files, best of 3 $find_ms ms"
if [ "$found" != "$files" ]; then
  echo "count mismatch: census $files, find $found"
  exit 1
fi
ratio=$(awk -v a="$census_ms" -v b="$find_ms" 'BEGIN { printf "%.2f", a / b }')
echo "bench census-native: ratio=$ratio goal<=2.0"
