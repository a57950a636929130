#!/usr/bin/env bash
# LZM2 extraction of a 512 MiB file from a signed container against xz -dc of the same .xz
# stream into a file, warm cache, alternating, three rounds; prints both throughputs and their
# ratio per round (target at least 0.95), wall clock and processor time (the latter is steadier
# on a shared machine).
# Usage: bench/run_lzm2_extract.sh [build-dir] [--wine] [size in MiB]
#        (WINE overrides the Wine runner)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
mode=${2:-}
size_mib=${3:-512}
work=${TMPDIR:-/tmp}/orvo_lzm2_bench
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "$mode" lzm2_extract_bench bench/lzm2_extract/lzm2_extract_bench
folder=$drive$work
keys=$drive$root/keys
mkdir -p "$work"

data=$work/data.bin
size=$((size_mib * 1024 * 1024))
# The stream is made once by the single-threaded encoder (one block), so xz -dc cannot split
# the work across threads either.
if [ ! -f "$data.xz" ] || [ ! -f "$data" ] || [ "$(stat -c %s "$data")" -ne "$size" ]; then
  "${runner[@]}" "$exe" generate "$folder/data.bin" "$size_mib"
  xz -T1 -3 -k -f -c "$data" >"$data.xz"
fi
"${runner[@]}" "$exe" pack "$folder/data.bin.xz" "$size" "$folder/container.ktlp" "$keys/dev-private.key" "$keys/dev-public.der"
echo "data $size_mib MiB, .xz stream $(($(stat -c %s "$data.xz") / 1048576)) MiB"

cat "$data.xz" "$work/container.ktlp" >/dev/null
rate() { awk -v b="$size" -v s="$1" 'BEGIN { printf "%.1f", b / s / 1048576 }'; }
time_xz() {
  sync
  local TIMEFORMAT='%R %U %S' times
  times=$({ time xz -dc "$data.xz" >"$work/out_xz.bin"; } 2>&1)
  xz_seconds=$(echo "$times" | awk '{ print $1 }')
  xz_cpu=$(echo "$times" | awk '{ printf "%.3f", $2 + $3 }')
}
time_extract() {
  sync
  local line
  line=$("${runner[@]}" "$exe" extract "$folder/container.ktlp" "$keys/dev-public.der" "$folder/out_orvo.bin" | tr -d '\r' |
    grep '^extract_diff ok ' || true)
  orvo_seconds=$(echo "$line" | awk '{ print $3 }')
  orvo_cpu=$(echo "$line" | awk '{ print $5 }')
  [ -n "$orvo_seconds" ] || { echo "extraction failed" >&2; exit 1; }
}
# Rounds alternate which of the two runs first.
for round in 1 2 3; do
  rm -f "$work/out_xz.bin" "$work/out_orvo.bin"
  if [ $((round % 2)) -eq 1 ]; then time_xz; time_extract; else time_extract; time_xz; fi
  cmp -s "$work/out_xz.bin" "$data" && cmp -s "$work/out_orvo.bin" "$data" || { echo "outputs differ" >&2; exit 1; }
  echo "round $round: xz -dc $(rate "$xz_seconds") MiB/s ($xz_seconds s), extract_diff $(rate "$orvo_seconds") MiB/s ($orvo_seconds s), ratio $(awk -v x="$xz_seconds" -v o="$orvo_seconds" 'BEGIN { printf "%.3f", x / o }'); processor time xz $xz_cpu s, extract_diff $orvo_cpu s, ratio $(awk -v x="$xz_cpu" -v o="$orvo_cpu" 'BEGIN { printf "%.3f", x / o }')"
done
rm -f "$work/out_xz.bin" "$work/out_orvo.bin" "$work/container.ktlp"
