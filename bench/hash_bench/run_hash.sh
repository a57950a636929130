#!/usr/bin/env bash
# Compares compute_file_hash with openssl dgst -sha256 on the same warm 1 GiB file, run by run.
# Usage: bench/hash_bench/run_hash.sh [build-dir] [--wine]   (WINE overrides the Wine runner)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
. "$root/bench/bench_common.sh"
bench_prepare "$root" "$build" "${2:-}" hash_bench bench/hash_bench/hash_bench orvo_hash_bench.bin

rate_of() { awk -v b="$size" -v ns="$1" 'BEGIN { printf "%.1f", b / (ns / 1e9) / 1048576 }'; }

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "sha_ni in /proc/cpuinfo: $(grep -q sha_ni /proc/cpuinfo && echo yes || echo no)"
for run in 1 2 3; do
  start=$(date +%s%N)
  reference=$(openssl dgst -sha256 -r "$file" | cut -d' ' -f1)
  end=$(date +%s%N)
  openssl_rate=$(rate_of $((end - start)))
  line=$("${runner[@]}" "$exe" "$target" | tr -d '\r')
  ours_rate=$(sed -n 's/.* mib_per_s=\([0-9.]*\).*/\1/p' <<<"$line")
  digest=$(sed -n 's/.*sha256=\([0-9a-f]*\).*/\1/p' <<<"$line")
  [ "$digest" = "$reference" ] || { echo "run $run: digests differ: $digest vs $reference" >&2; exit 1; }
  echo "run $run: openssl $openssl_rate MiB/s, compute_file_hash $ours_rate MiB/s," \
    "ratio $(awk -v o="$ours_rate" -v r="$openssl_rate" 'BEGIN { printf "%.3f", o / r }')" \
    "(digest alone $(sed -n 's/.*digest_only_mib_per_s=\([0-9.]*\).*/\1/p' <<<"$line") MiB/s," \
    "$(sed -n 's/.*\(sha_extensions=[a-z]*\).*/\1/p' <<<"$line"))"
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "target: ratio at least 0.9"
