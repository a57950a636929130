#!/usr/bin/env bash
# Sets everything up and runs the main job: builds the updater, runs it in automatic mode and
# shows the log it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build.sh" native >/dev/null
work="$root/build/demo"
rm -rf "$work" && mkdir -p "$work"
set +e
TMPDIR="$work" "$root/build/native/src/tools/patcher/patcher" -automatic -appdir "$work/game"
code=$?
set -e
log=$(ls "$work"/.ktl/*.log)
echo "patcher exit code: $code; log $log:"
tr -d '\r' <"$log"
