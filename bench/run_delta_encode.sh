#!/usr/bin/env bash
# Delta size of the publisher's encoder (ktlpack diff, the updater's XDLT form) against xz -9 of
# the whole new file and against zstd -19 --patch-from=OLD, for three kinds of change to a file
# of program code: small scattered edits, an inserted block, and a shifted file. Checks each
# delta with ktlpack apply and prints the sizes, the ratios and the times.
# Usage: bench/run_delta_encode.sh [build-dir] [work folder] [size in MiB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
work=${2:-${TMPDIR:-/tmp}/orvo_encode_bench}
size_mib=${3:-48}
ktlpack=$build/src/tools/publisher/ktlpack

if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_TESTS=OFF >/dev/null
fi
ninja -C "$build" ktlpack >/dev/null
command -v zstd >/dev/null || { echo "zstd is needed" >&2; exit 1; }
mkdir -p "$work"
size=$((size_mib * 1024 * 1024))

# Shared libraries stand in for game data: structured, partly compressible, in the same order on
# every run of the same system. cat ends early once head has its bytes.
library_bytes() {
  find /usr/lib/x86_64-linux-gnu /usr/lib -maxdepth 1 -type f -name "$1" -size +16k 2>/dev/null |
    sort | xargs cat 2>/dev/null | head -c "$2" || true
}
old=$work/old.bin
library_bytes '*.so*' "$size" >"$old"
[ "$(stat -c %s "$old")" -eq "$size" ] || { echo "not enough library files for $size_mib MiB" >&2; exit 1; }

# 1000 edits of 1 to 64 bytes at scattered places.
cp "$old" "$work/edits.bin"
random=$work/random.bin
head -c $((1000 * 64)) /dev/urandom >"$random"
state=12345
for ((i = 0; i < 1000; ++i)); do
  state=$(((state * 1103515245 + 12345) % 2147483648))
  offset=$((state % (size - 64)))
  length=$((state % 64 + 1))
  dd if="$random" of="$work/edits.bin" bs=1 skip=$((i * 64)) seek="$offset" count="$length" conv=notrunc status=none
done

# 2 MiB of other program code inserted in the middle.
{ head -c $((size / 2)) "$old"; library_bytes '*.a' $((2 * 1024 * 1024)); tail -c +$((size / 2 + 1)) "$old"; } \
  >"$work/insert.bin"

# Everything moved by 4099 bytes: a new head, the old tail cut off.
{ library_bytes '*.a' 4099; head -c $((size - 4099)) "$old"; } >"$work/shift.bin"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
seconds() {
  local start=$1
  awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'
}

echo "old file: $size_mib MiB of shared libraries; ktlpack diff with its default preset"
for kind in edits insert shift; do
  new=$work/$kind.bin
  start=$(date +%s.%N)
  "$ktlpack" diff "$old" "$new" "$work/$kind.xdlt" >/dev/null
  ours_time=$(seconds "$start")
  "$ktlpack" apply "$old" "$work/$kind.xdlt" "$work/$kind.check" >/dev/null
  cmp -s "$new" "$work/$kind.check" || { echo "$kind: the delta does not rebuild the new file" >&2; exit 1; }
  start=$(date +%s.%N)
  xz_size=$(xz -9 -T1 -c "$new" | wc -c)
  xz_time=$(seconds "$start")
  start=$(date +%s.%N)
  zstd -q -q -f -19 --single-thread --patch-from="$old" "$new" -o "$work/$kind.zst"
  zstd_time=$(seconds "$start")
  zstd_size=$(stat -c %s "$work/$kind.zst")
  ours=$(stat -c %s "$work/$kind.xdlt")
  printf '%-7s delta %9d bytes (%5s s) | xz -9 %9d (%5s s), delta/xz %s | zstd -19 --patch-from %9d (%5s s), delta/zstd %s\n' \
    "$kind" "$ours" "$ours_time" "$xz_size" "$xz_time" "$(ratio "$ours" "$xz_size")" "$zstd_size" "$zstd_time" \
    "$(ratio "$ours" "$zstd_size")"
  rm -f "$work/$kind.check" "$work/$kind.zst"
done
rm -f "$random"
