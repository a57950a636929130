#!/usr/bin/env bash
# Compares sequential reads through file_t with cat on the same warm 1 GiB file.
# Usage: bench/run_file_read.sh [build-dir] [--wine]   (WINE overrides the Wine runner)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
. "$root/bench/bench_common.sh"
bench_prepare "$root" "$build" "${2:-}" file_read_bench bench/file_read_bench orvo_file_read_bench.bin

best_cat=0
best_file=0
for run in 1 2 3; do
  start=$(date +%s%N)
  cat "$file" >/dev/null
  end=$(date +%s%N)
  rate=$(awk -v b="$size" -v ns=$((end - start)) 'BEGIN { printf "%.1f", b / (ns / 1e9) / 1048576 }')
  best_cat=$(awk -v a="$best_cat" -v b="$rate" 'BEGIN { print (b > a) ? b : a }')
  rate=$("${runner[@]}" "$exe" "$target" | sed -n 's/.*mib_per_s=\([0-9.]*\).*/\1/p')
  best_file=$(awk -v a="$best_file" -v b="$rate" 'BEGIN { print (b > a) ? b : a }')
done
echo "cat:    $best_cat MiB/s"
echo "file_t: $best_file MiB/s"
awk -v f="$best_file" -v c="$best_cat" 'BEGIN { printf "ratio:  %.3f\n", f / c }'
