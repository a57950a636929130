#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and sanitizers and runs each for a bounded time
# (ORVO_FUZZ_SECONDS, default 60) from a seed corpus written by its seed program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${ORVO_FUZZ_SECONDS:-60}
build="$root/build/fuzz"
# fuzzer:seed-program pairs
targets=(container_open_fuzzer:container_fuzz_seeds vcdiff_fuzz:vcdiff_fuzz_seeds
  lzm2_block_fuzz:lzm2_block_fuzz_seeds)

export CCACHE_DIR="${ORVO_CACHE:-/var/cache/orvo}/ccache" CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_FUZZ=ON -DORVO_SANITIZE=ON -DORVO_TESTS=OFF >/dev/null
names=()
for pair in "${targets[@]}"; do names+=("${pair%%:*}" "${pair##*:}"); done
ninja -C "$build" "${names[@]}" >/dev/null

failed=0
for pair in "${targets[@]}"; do
  fuzzer=${pair%%:*} seeds=${pair##*:}
  corpus="$build/corpus/$fuzzer"
  rm -rf "$corpus" && mkdir -p "$corpus"
  "$build/tests/fuzz/$seeds" "$corpus" >/dev/null
  if "$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/" "$corpus" >"$build/$fuzzer.log" 2>&1; then
    echo "$fuzzer: $(grep -m1 'stat::number_of_executed_units' "$build/$fuzzer.log" | awk '{print $2}') runs in ${seconds}s, no failure"
  else
    tail -n 40 "$build/$fuzzer.log"
    echo "$fuzzer: FAILED"
    failed=$((failed + 1))
  fi
done
[ "$failed" -eq 0 ]
