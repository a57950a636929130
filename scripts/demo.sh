#!/usr/bin/env bash
# Sets everything up and runs the main job: builds the updater and runs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build.sh" native >/dev/null
set +e
"$root/build/native/src/tools/patcher/patcher" -automatic -notransactions
echo "patcher exit code: $?"
