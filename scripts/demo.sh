#!/usr/bin/env bash
# Sets everything up and runs the main job: builds the updater, puts the sample game's signed
# container into a copy of it with `ktlpack embed` (the publisher's release path), updates a copy
# of the sample game's version 1.13.1 with that program in automatic mode and shows what happened:
# exit code, result page, time taken, the log, and whether the installation now equals 1.13.3.
#   scripts/demo.sh [--wine]   (--wine: the shipped 32-bit Windows program under Wine)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=native
[ "${1:-}" = --wine ] && tree=windows
work="$root/build/demo"
sample="$root/build/$tree/sample_game"
rm -rf "$work" && mkdir -p "$work"
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build.sh" "$tree" >"$work/build.log" 2>&1 \
  || { tail -n 40 "$work/build.log"; echo "build failed (full output: $work/build.log)"; exit 1; }

# The program a publisher ships: the built updater with the container put in by ktlpack.
ktlpack="$root/build/native/src/tools/publisher/ktlpack"
if [ "$tree" = windows ]; then
  built="$root/build/windows/src/tools/patcher/patcher.exe" program="$work/patcher.exe"
else
  built="$root/build/native/src/tools/patcher/patcher" program="$work/patcher"
fi
echo "ktlpack embed $built $sample/sample.ktlc -o $program"
"$ktlpack" embed "$built" "$sample/sample.ktlc" -o "$program" >/dev/null || { echo "embedding failed"; exit 1; }

# A blank in the path, so that Wine quotes the -appdir value as a launcher would.
game="$work/sample game"
cp -a "$sample/1.13.1" "$game"
started=$(date +%s%N)
set +e
if [ "$tree" = windows ]; then
  ORVO_WINE_RUN_ONCE=1 "$root/cmake/wine-run.sh" "$program" -automatic -appdir "$game"
else
  TMPDIR="$work" "$program" -automatic -appdir "$game"
fi
code=$?
set -e
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))

logs="$work/.ktl"
if [ "$tree" = windows ]; then
  wine_version=$(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null | tr -c 'A-Za-z0-9.+\n' _)
  logs="${ORVO_CACHE:-/var/cache/orvo}/wineprefix-win32-$wine_version/drive_c/users/$(id -un)/Temp/.ktl"
fi
log=$(ls -t "$logs"/*.log 2>/dev/null | head -n 1 || true)
if [ -n "$log" ]; then
  tr -d '\r' <"$log"
  page=$(tr -d '\r' <"$log" | sed -n 's/^.* : Entering page: //p' | tail -n 1)
fi
echo
echo "exit code:   $code"
echo "result page: ${page:-unknown (no log)}"
echo "time taken:  $elapsed_ms ms (including the program's start)"
echo "log file:    ${log:-none found in $logs}"
echo
echo "differences between the updated installation ($game) and $sample/1.13.3:"
if diff -r "$game" "$sample/1.13.3"; then
  echo "none: the installation matches version 1.13.3"
  result=0
else
  echo "the installation does NOT match version 1.13.3"
  result=1
fi
[ "$code" = 0 ] || { echo "the patcher reported failure (exit code $code)"; result=1; }
exit "$result"
