#!/usr/bin/env bash
# Containers of large games. At 1,000, 10,000 and 100,000 records of each kind (content keys,
# diffs, file patches; every container also holds layouts of 50,000 paths): the time to open the
# container with container_pool_t, whole and after the signature, beside openssl dgst -sha256
# -verify over the same container, and the time of 10,000 chain look-ups (each the best of three).
# Then the analysis of an installation of 50,000 small files that all need a patch, with the
# largest container, against openssl dgst -sha256 over the same files, warm cache. Generated files
# stay in the cache folder.
# Usage: bench/container_scale/run_container_scale.sh [build-dir] [--wine]
#        (WINE overrides the Wine runner, BENCH_FOLDER the cache folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "${2:-}" container_scale_bench bench/container_scale/container_scale_bench
work=${BENCH_FOLDER:-${TMPDIR:-/tmp}/orvo_container_scale}
folder=$drive$work
sizes=(1000 10000 100000)
growth_limit=12
largest_open_limit=0.2
analysis_ratio_floor=0.8

# "installation.ready" marks a complete installation, "container_N.ready" a complete container.
mkdir -p "$work"
if [ ! -f "$work/installation.ready" ]; then
  rm -rf "$work/installation" "$work"/container_*
  "${runner[@]}" "$exe" install "$folder"
  touch "$work/installation.ready"
fi
for records in "${sizes[@]}"; do
  if [ ! -f "$work/container_$records.ready" ]; then
    "${runner[@]}" "$exe" generate "$folder" "$drive$root/keys/dev-private.key" "$records"
    touch "$work/container_$records.ready"
  fi
done
openssl pkey -pubin -inform DER -in "$root/keys/dev-public.der" -out "$work/public.pem"

# Best of three: openssl dgst -sha256 -verify over the container's signed message.
openssl_verify_seconds() {
  local message=$work/signed_message.bin signature=$work/signature.bin best= start ns result
  bench_split_signature "$1" "$message" "$signature"
  cat "$message" >/dev/null
  for _ in 1 2 3; do
    start=$(date +%s%N)
    result=$(openssl dgst -sha256 -verify "$work/public.pem" -signature "$signature" "$message")
    ns=$(($(date +%s%N) - start))
    [ "$result" = "Verified OK" ] || { echo "openssl on $1: $result" >&2; exit 1; }
    if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.6f", ns / 1e9 }'
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A open after lookups
printf '%8s %9s %9s %19s %18s %15s %20s\n' records "size MiB" "open s" "after signature s" "openssl verify s" \
  "open / openssl" "10,000 look-ups s"
for records in "${sizes[@]}"; do
  container=$work/container_$records.ktlp
  cat "$container" >/dev/null
  line=$("${runner[@]}" "$exe" measure "$folder" "$drive$root/keys/dev-public.der" "$records" |
    tr -d '\r') || { echo "measuring $records records failed: $line" >&2; exit 1; }
  open[$records]=$(bench_value open_seconds "$line")
  after[$records]=$(bench_value reading_seconds "$line")
  lookups[$records]=$(bench_value lookup_seconds "$line")
  verify=$(openssl_verify_seconds "$container")
  printf '%8s %9.1f %9.4f %19.4f %18.4f %15s %20.4f\n' "$records" \
    "$(awk -v b="$(bench_value bytes "$line")" 'BEGIN { print b / 1048576 }')" "${open[$records]}" \
    "${after[$records]}" "$verify" "$(bench_ratio "${open[$records]}" "$verify")" "${lookups[$records]}"
done

small=${sizes[-2]}
large=${sizes[-1]}
open_growth=$(bench_ratio "${open[$large]}" "${open[$small]}")
after_growth=$(bench_ratio "${after[$large]}" "${after[$small]}")
lookup_growth=$(bench_ratio "${lookups[$large]}" "${lookups[$small]}")
echo "growth from $small to $large records: open ${open_growth}x, after signature ${after_growth}x," \
  "look-ups ${lookup_growth}x; target at most ${growth_limit}x for open and look-ups:" \
  "open $(bench_verdict "$open_growth" "$growth_limit" max)," \
  "look-ups $(bench_verdict "$lookup_growth" "$growth_limit" max)"
printf 'open with %s keys: %.4f s; ' "$large" "${open[$large]}"
echo "target under $largest_open_limit s natively: \
$(bench_verdict "${open[$large]}" "$largest_open_limit" max)"

# Analysis: openssl over the files in as few calls as the command line allows, then the updater.
list=$work/paths.txt
tr -d '\r' <"$work/files.txt" | cut -d' ' -f2 >"$list"
longest_command=$(xargs --show-limits </dev/null 2>&1 | sed -n 's/.*could actually use: //p')
in_installation() { (cd "$work/installation" && xargs -a "$list" -s "$longest_command" "$@"); }
in_installation cat >/dev/null
in_installation cat >/dev/null
bytes=$(in_installation stat -c %s | awk '{ total += $1 } END { printf "%.0f", total }')
start=$(date +%s%N)
in_installation openssl dgst -sha256 -r >"$work/openssl.txt"
openssl_seconds=$(bench_seconds_since "$start")
cmp -s <(cut -d' ' -f1 "$work/openssl.txt") <(tr -d '\r' <"$work/files.txt" | cut -d' ' -f1) ||
  { echo "openssl's digests differ from the generated files'" >&2; exit 1; }
echo "installation: $(wc -l <"$list") files, $((bytes / 1048576)) MiB; openssl dgst -sha256 $openssl_seconds s"

if ! line=$("${runner[@]}" "$exe" analyze "$folder" "$drive$root/keys/dev-public.der" "$large" \
  2>"$work/analysis.log" | tr -d '\r') || [ "$(bench_value result "$line")" != ok ] ||
  [ "$(bench_value all_patch "$line")" != yes ]; then
  echo "analysis with $large records failed: $line" >&2
  grep -m 5 -E '^\[(ERR|WRN)\]' "$work/analysis.log" >&2 || true
  echo "open files allowed (ulimit -n): $(ulimit -n)" >&2
  exit 1
fi
seconds=$(bench_value seconds "$line")
analysis_ratio=$(bench_ratio "$openssl_seconds" "$seconds")
echo "analyze_installation $seconds s (processor $(bench_value cpu_seconds "$line") s on" \
  "$(bench_value processors "$line") processors, peak resident $(bench_value peak_mib "$line") MiB," \
  "$(bench_value records "$line") records, all patch); openssl / analysis $analysis_ratio;" \
  "target at least $analysis_ratio_floor: $(bench_verdict "$analysis_ratio" "$analysis_ratio_floor" min)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
