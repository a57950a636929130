#!/usr/bin/env bash
# Runs a Windows test binary under Wine, headless. The x86_64 prefix lives in the build tree;
# the i686 one, whose creation is slow where 32-bit code is emulated, in the cache outside the
# clone, one per Wine version.
set -e
trap 'echo "wine-run: command at line $LINENO failed with status $?" >&2' ERR
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
unset DISPLAY
# The PE header's machine field picks the Wine loader.
pe_offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j "$((pe_offset + 4))" -N2 "$exe" | tr -d ' ')
case "$machine" in
  8664)
    export WINEARCH=win64 WINEPREFIX="$build_dir/wineprefix"
    wine=/usr/lib/wine/wine64
    ;;
  014c)
    wine_version=$(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null | tr -c 'A-Za-z0-9.+\n' _)
    export WINEARCH=win32 WINEPREFIX="${ORVO_CACHE:-/var/cache/orvo}/wineprefix-win32-${wine_version:-unknown}"
    wine=/usr/lib/wine/wine
    ;;
  *)
    echo "wine-run: $exe is not an x86 Windows program (machine '$machine')" >&2
    exit 1
    ;;
esac
if [ ! -f "$WINEPREFIX/.initialised" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.initialised" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      /usr/lib/wine/wineserver -w || true
      touch "$WINEPREFIX/.initialised"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# Windows and dialogs are made by Wine's null display driver: with no X server (and no DISPLAY)
# the default drivers cannot create a window. Prefixes made before this setting get it too.
if [ ! -f "$WINEPREFIX/.null-graphics" ]; then
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.null-graphics" ]; then
      "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
      # The next program starts a new session, whose desktop uses the driver.
      /usr/lib/wine/wineserver -w || true
      touch "$WINEPREFIX/.null-graphics"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# A Wine start can fail at once when it meets a wineserver that is just shutting down.
# No test binary ends within half a second under Wine, so such a failure is retried once;
# ORVO_WINE_RUN_ONCE turns that off for programs whose quick failures are results.
for attempt in 1 2; do
  started=$(date +%s%N)
  status=0
  "$wine" "$exe" "$@" || status=$?
  elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  if [ "$status" -eq 0 ] || [ "$elapsed_ms" -ge 500 ] || [ "$attempt" -eq 2 ] || [ -n "${ORVO_WINE_RUN_ONCE:-}" ]; then
    exit "$status"
  fi
  echo "wine-run: $exe ended with status $status after ${elapsed_ms} ms; starting it again" >&2
  timeout 30 /usr/lib/wine/wineserver -w || true
done
