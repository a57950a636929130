#!/usr/bin/env bash
# Patch analysis of a 2 GiB installation of 500 files that all need a patch, against
# openssl dgst -sha256 over the same files one after another, warm cache, three runs. Prints both
# times, their ratio (openssl / analysis; target at least 1.6), the analysis's processor time
# and its peak resident memory. The installation is made once and kept in the cache folder.
# Usage: bench/analysis/run_analysis.sh [build-dir] [--wine]   (WINE overrides the Wine runner)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "${2:-}" analysis_bench bench/analysis/analysis_bench
work=${BENCH_FOLDER:-${TMPDIR:-/tmp}/orvo_analysis_bench}
folder=$drive$work

# "ready" marks a complete installation and container.
if [ ! -f "$work/ready" ]; then
  rm -rf "$work/installation"
  mkdir -p "$work"
  "${runner[@]}" "$exe" generate "$folder" "$drive$root/keys/dev-private.key"
  touch "$work/ready"
fi
mapfile -t files < <(cut -d' ' -f2 "$work/files.txt" | sed "s|^|$work/installation/|")
cat "${files[@]}" >/dev/null
cat "${files[@]}" >/dev/null
bytes=$(stat -c %s "${files[@]}" | awk '{ total += $1 } END { printf "%.0f", total }')
echo "installation: ${#files[@]} files, $((bytes / 1048576)) MiB in $work/installation"

rate() { awk -v b="$bytes" -v s="$1" 'BEGIN { printf "%.0f", b / s / 1048576 }'; }

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in 1 2 3; do
  start=$(date +%s%N)
  openssl dgst -sha256 -r "${files[@]}" >"$work/openssl.txt"
  openssl_seconds=$(bench_seconds_since "$start")
  cmp -s <(cut -d' ' -f1 "$work/openssl.txt") <(cut -d' ' -f1 "$work/files.txt") ||
    { echo "run $run: openssl's digests differ from the generated files'" >&2; exit 1; }

  if ! line=$("${runner[@]}" "$exe" analyze "$folder" "$drive$root/keys/dev-public.der" 2>"$work/analysis.log" |
    tr -d '\r') || [ "$(bench_value result "$line")" != ok ] || [ "$(bench_value all_patch "$line")" != yes ]; then
    echo "run $run: analysis failed: $line" >&2
    tail -n 20 "$work/analysis.log" >&2
    exit 1
  fi
  seconds=$(bench_value seconds "$line")
  cpu=$(bench_value cpu_seconds "$line")
  echo "run $run: openssl $openssl_seconds s ($(rate "$openssl_seconds") MiB/s)," \
    "analyze_installation $seconds s ($(rate "$seconds") MiB/s), ratio" \
    "$(awk -v o="$openssl_seconds" -v a="$seconds" 'BEGIN { printf "%.3f", o / a }');" \
    "analysis processor time $cpu s ($(awk -v c="$cpu" -v s="$seconds" 'BEGIN { printf "%.2f", c / s }')" \
    "of $(bench_value processors "$line") processors busy), peak resident $(bench_value peak_mib "$line") MiB," \
    "$(bench_value records "$line") records, all patch"
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "target: ratio at least 1.6"
