#!/usr/bin/env bash
# Compares opening a signed 1 GiB container with container_reader_t against
# openssl dgst -sha256 -verify over the same signed message, run by run, both files warm.
# Usage: bench/container_open/run_container_open.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
. "$root/bench/bench_common.sh"
if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_TESTS=OFF >/dev/null
fi
ninja -C "$build" container_open_bench ktlpack >/dev/null
exe=$build/bench/container_open/container_open_bench
folder=${BENCH_FOLDER:-${TMPDIR:-/tmp}/orvo_container_bench}
mkdir -p "$folder"
container=$folder/container.ktlc
message=$folder/signed_message.bin
signature=$folder/signature.bin
public_pem=$folder/public.pem

size=$((1024 * 1024 * 1024))
if [ ! -f "$container" ]; then
  head -c "$size" /dev/urandom >"$folder/payload.bin"
  "$exe" make "$container" "$folder/payload.bin" "$root/keys/dev-private.key"
  rm -f "$folder/payload.bin"
fi
"$build/src/tools/publisher/ktlpack" inspect "$container"

bench_split_signature "$container" "$message" "$signature"
openssl pkey -pubin -inform DER -in "$root/keys/dev-public.der" -out "$public_pem"
container_size=$(stat -c %s "$container")
for file in "$container" "$message"; do cat "$file" >/dev/null; cat "$file" >/dev/null; done

rate_of() { awk -v b="$container_size" -v ns="$1" 'BEGIN { printf "%.1f", b / (ns / 1e9) / 1048576 }'; }

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in 1 2 3; do
  start=$(date +%s%N)
  verdict=$(openssl dgst -sha256 -verify "$public_pem" -signature "$signature" "$message")
  end=$(date +%s%N)
  [ "$verdict" = "Verified OK" ] || { echo "openssl: $verdict" >&2; exit 1; }
  openssl_rate=$(rate_of $((end - start)))
  line=$("$exe" open "$container" "$root/keys/dev-public.der")
  ours_rate=$(sed -n 's/.*mib_per_s=\([0-9.]*\).*/\1/p' <<<"$line")
  echo "run $run: openssl $openssl_rate MiB/s, container_reader_t $ours_rate MiB/s," \
    "ratio $(awk -v o="$ours_rate" -v r="$openssl_rate" 'BEGIN { printf "%.3f", o / r }')" \
    "($(sed -n 's/.*\(result=[a-z_]*\).*/\1/p' <<<"$line"))"
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "target: ratio at least 0.9"
