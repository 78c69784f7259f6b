#!/usr/bin/env bash
# The window under Wine while it counts a master of 100,000 files in 5,000
# folders (tmpfs): WM_NULL round trips from a second program during the
# census. Goal: the slowest round trip within 100 ms.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/e2e_programs.inc" e2e_census_responsive

tree="$(mktemp -d /dev/shm/usbdup-census-bench.XXXXXX)"
trap 'rm -rf "$tree"' EXIT
(
  cd "$tree"
  awk 'BEGIN { for (d = 1; d <= 5000; d++) print "d" d }' | xargs mkdir
  awk 'BEGIN { for (d = 1; d <= 5000; d++) for (f = 1; f <= 20; f++) print "d" d "/f" f ".txt" }' | xargs touch
)
echo "tree: $(find "$tree" -type f | wc -l) files in $(find "$tree" -mindepth 1 -type d | wc -l) folders"
echo "usbdup.exe: $exe"

out="$(bash "$root/tests/e2e/run-e2e" --usbdup "$exe" "$build/tests/e2e/e2e_census_responsive.exe" "$tree" 3 2>&1)"
echo "$out" | grep -v '^X connection'
slowest="$(echo "$out" | sed -n 's/^slowest_us=\([0-9]*\).*/\1/p' | tail -1)"
[ -n "$slowest" ] || { echo "bench census-wine-responsive: no measurement"; exit 1; }
awk -v us="$slowest" 'BEGIN { printf "bench census-wine-responsive: ratio=%.3f goal<=1.0\n", us / 100000 }'
