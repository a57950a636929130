#!/usr/bin/env bash
# Runs a Windows test binary under Wine, headless, with a prefix inside the build tree.
set -e
exe=$1; shift
build_dir=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
unset DISPLAY
if [ ! -f "$WINEPREFIX/.initialised" ]; then
  mkdir -p "$WINEPREFIX"
  ( flock 9
    if [ ! -f "$WINEPREFIX/.initialised" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.initialised"
    fi ) 9>"$build_dir/wineprefix.lock"
fi
exec wine "$exe" "$@"
