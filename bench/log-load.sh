#!/usr/bin/env bash
# Runs the log-load benchmark (built by the native-release preset). Set
# USBDUP_BENCH_DIR to use another build folder.
set -euo pipefail
root="${USBDUP_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
dir="${USBDUP_BENCH_DIR:-$root/build/native-release}"
exec "$dir/bench/bench_log_load" "$@"
