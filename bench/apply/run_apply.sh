#!/usr/bin/env bash
# Patch application end to end. A 2 GiB installation of 500 files gets an update where one file
# in five is edited in small places (XDLT deltas made by our encoder), one in fifty is new (LZM2)
# and the rest stay. Each round restores the pristine installation into a work folder (hard
# links: the updater replaces changed files by rename, and cp is told to remove before writing),
# warms the cache and times analyze_installation and apply_patch in one process; then, restored
# again, the least of the same work with system tools: openssl dgst -sha256 over the installed
# files and cp of the edited and new files' target versions into place, timed together. After
# each, every file must have its target digest and no temporary may be left. Prints both times,
# their ratio (updater / tools; target at most 1.5) and the updater's peak resident memory (target
# at most 350 MiB); with --phases also the seconds of each phase of the application. The
# installation, the target versions and the container are made once and kept in the cache folder.
# Usage: bench/apply/run_apply.sh [build-dir] [--wine] [--phases]
#        (WINE overrides the Wine runner, BENCH_FOLDER the cache folder, BENCH_ROUNDS the rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
mode=
phases=
for option in "${@:2}"; do
  case "$option" in
    --wine) mode=--wine ;;
    --phases) phases=phases ;;
    *) echo "unknown option $option" >&2; exit 2 ;;
  esac
done
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "$mode" apply_bench bench/apply/apply_bench
work=${BENCH_FOLDER:-${TMPDIR:-/tmp}/orvo_apply_bench}
folder=$drive$work
round=$work/round
rounds=${BENCH_ROUNDS:-3}
ratio_limit=1.5
peak_limit_mib=350

# "ready" marks a complete generation; nothing in the pristine installation may be newer.
if [ ! -f "$work/ready" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  "${runner[@]}" "$exe" generate "$folder" "$drive$root/keys/dev-private.key" | tr -d '\r' >"$work/update.txt"
  touch "$work/ready"
fi
mapfile -t installed < <(tr -d '\r' <"$work/installed.txt" | cut -d' ' -f2)
mapfile -t all_files < <(tr -d '\r' <"$work/targets.txt" | cut -d' ' -f2)

restore() {
  rm -rf "$round"
  cp -al "$work/installation" "$round"
  sync
}

warm() {
  (cd "$round" && cat "${installed[@]}" "${installed[@]}") >/dev/null
  find "$work/targets" -type f -exec cat {} + >/dev/null
  cat "$work/container.ktlp" >/dev/null
}

# Every file at its target digest, no other file, the pristine installation untouched.
check_round() {
  local what=$1 temporaries changed_pristine
  (cd "$round" && openssl dgst -sha256 -r "${all_files[@]}") | cut -d' ' -f1 >"$work/after.txt"
  cmp -s "$work/after.txt" <(tr -d '\r' <"$work/targets.txt" | cut -d' ' -f1) ||
    { echo "$what: a file does not have its target digest" >&2; exit 1; }
  temporaries=$(find "$round" -name '*.tmp.*' | head -n 3)
  [ -z "$temporaries" ] || { echo "$what: temporaries left: $temporaries" >&2; exit 1; }
  [ "$(find "$round" -type f | wc -l)" -eq "${#all_files[@]}" ] || { echo "$what: unexpected files" >&2; exit 1; }
  changed_pristine=$(find "$work/installation" -type f -newer "$work/ready" | head -n 3)
  [ -z "$changed_pristine" ] || { echo "$what: pristine files written: $changed_pristine" >&2; exit 1; }
}

run_updater() {
  local line
  if ! line=$("${runner[@]}" "$exe" update "$folder" "$drive$round" "$drive$root/keys/dev-public.der" $phases \
    2>"$work/update.log" | tr -d '\r') || [ "$(bench_value planned "$line")" != yes ]; then
    echo "round $1: the update failed: $line" >&2
    grep -m 5 -E '^\[(ERR|WRN)\]' "$work/update.log" >&2 || tail -n 5 "$work/update.log" >&2
    exit 1
  fi
  echo "$line"
}

phase_list() {
  local line=$1 phase list=
  for phase in preparation rebuilding verification finalization; do
    list+=", $phase $(bench_value ${phase}_seconds "$line") s"
  done
  echo "$list"
}

echo "update: $(sed 's/^update //' "$work/update.txt")"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$rounds"); do
  restore
  warm
  line=$(run_updater "$run")
  check_round "round $run, updater"
  updater_seconds=$(bench_value seconds "$line")
  peak=$(bench_value peak_mib "$line")

  restore
  warm
  start=$(date +%s%N)
  (cd "$round" && openssl dgst -sha256 -r "${installed[@]}") >"$work/openssl.txt"
  hashed=$(date +%s%N)
  cp -R --remove-destination "$work/targets/." "$round/"
  tools_seconds=$(bench_seconds_since "$start")
  hash_seconds=$(awk -v ns=$((hashed - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
  cmp -s <(cut -d' ' -f1 "$work/openssl.txt") <(tr -d '\r' <"$work/installed.txt" | cut -d' ' -f1) ||
    { echo "round $run: openssl's digests differ from the installed files'" >&2; exit 1; }
  check_round "round $run, tools"

  ratio=$(bench_ratio "$updater_seconds" "$tools_seconds")
  details=
  [ -z "$phases" ] || details=$(phase_list "$line")
  echo "round $run: updater $updater_seconds s (analysis $(bench_value analysis_seconds "$line") s," \
    "application $(bench_value application_seconds "$line") s$details; processor" \
    "$(bench_value cpu_seconds "$line") s on $(bench_value processors "$line") processors)," \
    "tools $tools_seconds s (openssl $hash_seconds s, cp the rest), updater / tools $ratio" \
    "($(bench_verdict "$ratio" "$ratio_limit" max)), peak resident $peak MiB" \
    "($(bench_verdict "$peak" "$peak_limit_mib" max))"
done
rm -rf "$round"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "targets: updater / tools at most $ratio_limit, peak resident at most $peak_limit_mib MiB"
