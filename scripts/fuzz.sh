#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and sanitizers and runs them.
#   scripts/fuzz.sh                   every target for ORVO_FUZZ_SECONDS (default 60) each
#   scripts/fuzz.sh TARGET [SECONDS]  one target, for SECONDS (default ORVO_FUZZ_SECONDS)
# Each target's corpus lives in the cache outside the clone, ${ORVO_CACHE:-/var/cache/orvo}/fuzz/TARGET,
# so every run continues where the last one stopped. A run starts from that corpus plus the seeds;
# afterwards the corpus, the run's finds and the seeds are merged and minimised (libFuzzer
# -merge=1) into a fresh folder, which replaces the kept one holding at most 4000 files and 8 MiB
# (the smallest inputs are kept). Crash inputs go to build/fuzz/artifacts/TARGET/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# One line a target: TARGET or TARGET:SEED-PROGRAM. tests/fuzz/TARGET.cpp holds its entry point;
# its seeds are the files in tests/fuzz/seeds/TARGET/ and what SEED-PROGRAM writes; its
# dictionary, when there is one, is tests/fuzz/TARGET.dict.
targets=(
  container_open_fuzzer:container_fuzz_seeds
  vcdiff_fuzz:vcdiff_fuzz_seeds
  lzm2_block_fuzz:lzm2_block_fuzz_seeds
  container_pool_fuzz:container_pool_fuzz_seeds
  command_line_fuzz
  registry_file_fuzz
  manifest_fuzz
  release_description_fuzz
)
max_files=4000
max_bytes=$((8 * 1024 * 1024))

seconds=${2:-${ORVO_FUZZ_SECONDS:-60}}
build="$root/build/fuzz"
cache="${ORVO_CACHE:-/var/cache/orvo}/fuzz"
if [ $# -gt 0 ]; then
  selected=()
  for entry in "${targets[@]}"; do [ "${entry%%:*}" = "$1" ] && selected+=("$entry"); done
  if [ ${#selected[@]} -eq 0 ]; then
    echo "unknown fuzz target '$1'; targets: ${targets[*]%%:*}" >&2
    exit 2
  fi
  targets=("${selected[@]}")
fi

export CCACHE_DIR="${ORVO_CACHE:-/var/cache/orvo}/ccache" CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_FUZZ=ON -DORVO_SANITIZE=ON -DORVO_TESTS=OFF >/dev/null
programs=()
for entry in "${targets[@]}"; do
  programs+=("${entry%%:*}")
  [[ "$entry" == *:* ]] && programs+=("${entry#*:}")
done
ninja -C "$build" "${programs[@]}" >/dev/null

# Keeps the smallest files of a folder within the bounds.
bound_corpus() { # folder
  find "$1" -type f -printf '%s %p\n' | sort -n |
    awk -v files="$max_files" -v bytes="$max_bytes" '{ if (n < files && total + $1 <= bytes) { n++; total += $1 } else print $2 }' |
    xargs -r rm -f
}

# Merges the kept corpus and the run's folder into a fresh folder that replaces the kept one;
# under a lock, as checkouts on one machine share the cache.
keep_corpus() { # fuzzer run-folder
  local program="$build/tests/fuzz/$1" kept="$cache/$1" fresh="$cache/$1.merging"
  (
    flock 9
    rm -rf "$fresh" && mkdir -p "$fresh" "$kept"
    "$program" -merge=1 -rss_limit_mb=2048 "$fresh" "$kept" "$2" >"$build/$1.merge.log" 2>&1 || return 1
    bound_corpus "$fresh"
    rm -rf "$kept.old" && mv "$kept" "$kept.old" && mv "$fresh" "$kept" && rm -rf "$kept.old"
  ) 9>"$cache/$1.lock"
}

run_target() { # fuzzer [seed-program]
  local fuzzer=$1 seeds=${2:-} work="$build/corpus/$1" artifacts="$build/artifacts/$1/"
  local log="$build/$1.log" dict=()
  rm -rf "$work" && mkdir -p "$work" "$artifacts" "$cache"
  [ -d "$root/tests/fuzz/seeds/$fuzzer" ] && cp "$root/tests/fuzz/seeds/$fuzzer/"* "$work/"
  [ -n "$seeds" ] && "$build/tests/fuzz/$seeds" "$work" >/dev/null
  [ -d "$cache/$fuzzer" ] && (flock -s 9 && cp -r "$cache/$fuzzer/." "$work/") 9>"$cache/$fuzzer.lock"
  [ -f "$root/tests/fuzz/$fuzzer.dict" ] && dict=(-dict="$root/tests/fuzz/$fuzzer.dict")
  local status=0
  "$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    "${dict[@]}" -artifact_prefix="$artifacts" "$work" >"$log" 2>&1 || status=$?
  if ! keep_corpus "$fuzzer" "$work"; then
    echo "$fuzzer: merging the corpus failed (see $build/$fuzzer.merge.log)"
    status=1
  fi
  local files bytes
  files=$(find "$cache/$fuzzer" -type f | wc -l)
  bytes=$(du -sb "$cache/$fuzzer" | cut -f1)
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "$fuzzer: FAILED (inputs in $artifacts)"
    return 1
  fi
  echo "$fuzzer: $(awk '/number_of_executed_units/ {print $2}' "$log") runs in ${seconds}s," \
    "$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1), no failure; corpus $files files, $bytes bytes"
}

failed=0
for entry in "${targets[@]}"; do
  fuzzer=${entry%%:*} seeds=
  [[ "$entry" == *:* ]] && seeds=${entry#*:}
  run_target "$fuzzer" "$seeds" || failed=$((failed + 1))
done
[ "$failed" -eq 0 ]
