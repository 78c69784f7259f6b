#!/usr/bin/env bash
# The whole cycle under Wine, on tmpfs: a tree of 2,000 files (40 MB in all)
# copied onto three targets plugged in one notice, from the arrival notice to
# the last "复制完成，请拔除！", less the three one-second dispatch delays;
# against three runs of Wine's xcopy /E /H /K /Y /I of the same tree (one cmd
# for all three, less the cost of starting an empty cmd). Also prints the
# memory peak (VmHWM) of usbdup.exe. Goal: ratio <= 1.3; peak under 50 MB.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/e2e_programs.inc" e2e_cycle_bench

work="$(mktemp -d /dev/shm/usbdup-cycle-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
master="$work/master"
mkdir -p "$master"
# 40 folders of 50 files, sizes spread from 1 kB to 41 kB: about 40 MiB in all.
head -c 65536 /dev/urandom > "$work/blob"
(
  cd "$master"
  for d in $(seq -w 1 40); do
    mkdir "dir$d"
    for f in $(seq -w 1 50); do
      head -c $((1024 + ((10#$d * 50 + 10#$f) * 7919) % 39896)) "$work/blob" > "dir$d/file$f.dat"
    done
  done
)
echo "tree: $(find "$master" -type f | wc -l) files, $(du -sb --apparent-size "$master" | cut -f1) bytes"
echo "usbdup.exe: $exe"

source "$root/scripts/wine-env"
usbdup_wine_prefix
usbdup_wine_server
win() { echo "Z:${1//\//\\}"; }

# The reference: three xcopy runs in one cmd, less an empty cmd's start.
ms() { date +%s%3N; }
wine cmd /c rem >/dev/null 2>&1 || true  # warm up
t0=$(ms); wine cmd /c rem >/dev/null 2>&1; t1=$(ms)
empty_cmd=$((t1 - t0))
cmdline=""
for n in 1 2 3; do
  cmdline+="xcopy /E /H /K /Y /I $(win "$master") $(win "$work/xcopy$n") >NUL"
  [ $n -lt 3 ] && cmdline+=" & "
done
t0=$(ms); wine cmd /c "$cmdline" >/dev/null 2>&1; t1=$(ms)
xcopy_ms=$((t1 - t0 - empty_cmd))
for n in 1 2 3; do
  diff -rq "$master" "$work/xcopy$n" >/dev/null || { echo "bench cycle-wine: xcopy run $n incomplete"; exit 1; }
done
echo "xcopy x3: ${xcopy_ms} ms (cmd start ${empty_cmd} ms taken off)"

mkdir -p "$work/t1" "$work/t2" "$work/t3"
out="$(bash "$root/tests/e2e/run-e2e" --usbdup "$exe" "$build/tests/e2e/e2e_cycle_bench.exe" \
  "$master" "$work/t1" "$work/t2" "$work/t3" 2>&1)" || { echo "$out"; echo "bench cycle-wine: the run failed"; exit 1; }
echo "$out" | grep -v '^X connection'
cycle_ms="$(echo "$out" | sed -n 's/^cycle_ms=\([0-9-]*\).*/\1/p' | tail -1)"
peak_kb="$(echo "$out" | sed -n 's/^peak_kb=\([0-9-]*\).*/\1/p' | tail -1)"
[ -n "$cycle_ms" ] || { echo "bench cycle-wine: no measurement"; exit 1; }
for n in 1 2 3; do
  diff -rq "$master" "$work/t$n" >/dev/null || { echo "bench cycle-wine: target $n differs from the master"; exit 1; }
done
awk -v kb="$peak_kb" 'BEGIN { printf "usbdup.exe memory peak (VmHWM): %.1f MB (goal: under 50 MB)\n", kb / 1024 }'
echo "usbdup x3: ${cycle_ms} ms (notice to last end, less 3 x 1 s dispatch delays)"
awk -v a="$cycle_ms" -v b="$xcopy_ms" 'BEGIN { printf "bench cycle-wine: ratio=%.3f goal<=1.3\n", a / b }'
