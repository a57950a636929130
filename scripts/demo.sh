#!/usr/bin/env bash
# Sets everything up and runs the main job: builds the updater, updates a copy of the sample
# game's version 1.13.1 in automatic mode, shows the log it wrote and compares the result with
# version 1.13.3.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work="$root/build/demo"
sample="$root/build/native/sample_game"
rm -rf "$work" && mkdir -p "$work"
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build.sh" native >"$work/build.log" 2>&1 \
  || { tail -n 40 "$work/build.log"; echo "build failed (full output: $work/build.log)"; exit 1; }

cp -a "$sample/1.13.1" "$work/game"
set +e
TMPDIR="$work" "$root/build/native/src/tools/patcher/patcher" -automatic -appdir "$work/game"
code=$?
set -e
logs=("$work"/.ktl/*.log)
log=${logs[-1]}
if [ -f "$log" ]; then
  echo "patcher exit code: $code; log $log:"
  tr -d '\r' <"$log"
else
  echo "patcher exit code: $code; it wrote no log under $work/.ktl"
fi

echo
echo "differences between the updated installation ($work/game) and $sample/1.13.3:"
if diff -r "$work/game" "$sample/1.13.3"; then
  echo "none: the installation matches version 1.13.3"
  result=0
else
  echo "the installation does NOT match version 1.13.3"
  result=1
fi
[ "$code" = 0 ] || { echo "the patcher reported failure (exit code $code)"; result=1; }
exit "$result"
