#!/usr/bin/env bash
# XDLT decoding of a file whose delta copies 99% from its source (41 new bytes in every 4 KiB)
# against cp of the target file, warm cache, three runs. Targets: decoding at most 1.5 times
# the time of cp, peak resident memory at most 320 MiB.
# Usage: bench/delta_decode/run_delta_decode.sh [build-dir] [--wine] [size in MiB]
#        (WINE overrides the Wine runner)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
mode=${2:-}
size_mib=${3:-1024}
work=${TMPDIR:-/tmp}/orvo_delta_bench
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "$mode" delta_decode_bench bench/delta_decode/delta_decode_bench
folder=$drive$work
mkdir -p "$work"
trap 'rm -f "$work"/source.bin "$work"/target.bin "$work"/container.bin "$work"/output.bin "$work"/target.copy' EXIT

echo "target $size_mib MiB, $("${runner[@]}" "$exe" generate "$folder" "$size_mib" | tr -d '\r'), load $(cut -d' ' -f1-3 /proc/loadavg)"
# Timed writes that must first reclaim page cache measure the reclaim: start with free memory
# where allowed, then warm the inputs.
sync
echo 1 2>/dev/null >/proc/sys/vm/drop_caches || true
cat "$work/source.bin" "$work/target.bin" "$work/container.bin" >/dev/null
field() { sed -n "s/.* $1 \([0-9.]*\).*/\1/p" <<<"$2"; }
for run in 1 2 3; do
  # Each timed write starts with no dirty pages left by the one before.
  rm -f "$work/target.copy" "$work/output.bin"
  sync
  start=$(date +%s%N)
  cp "$work/target.bin" "$work/target.copy"
  cp_seconds=$(awk -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
  rm -f "$work/target.copy"
  sync
  line=$("${runner[@]}" "$exe" decode "$folder" | tr -d '\r')
  cmp -s "$work/output.bin" "$work/target.bin" || { echo "run $run: output differs from the target ($line)" >&2; exit 1; }
  seconds=$(field seconds "$line")
  echo "run $run: decode_delta $seconds s (processor $(field cpu "$line") s, peak resident $(field peak_mib "$line") MiB)," \
    "cp $cp_seconds s, decode / cp = $(awk -v d="$seconds" -v c="$cp_seconds" 'BEGIN { printf "%.2f", d / c }')"
done
echo "load $(cut -d' ' -f1-3 /proc/loadavg); targets: decode / cp at most 1.50, peak resident at most 320 MiB"
