#!/usr/bin/env bash
# Configures and builds one of the trees: native (Release), asan (Debug with sanitizers),
# linux32 (i386 Release), windows (i686 MinGW, the product) or windows64 (x86_64 MinGW).
#   scripts/build.sh native|asan|linux32|windows|windows64 [extra cmake args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: build.sh native|asan|linux32|windows|windows64}
shift
cache_root=${ORVO_CACHE:-/var/cache/orvo}

# Compiler cache outside the clone, shared by every checkout of the project.
export CCACHE_DIR="$cache_root/ccache" CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON) ;;
  linux32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-i686.cmake") ;;
  windows) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
                 -DORVO_CROSS_PREFIX="$cache_root/mingw-i686") ;;
  windows64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
                 -DORVO_CROSS_PREFIX="$cache_root/mingw-x86_64") ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$root/build/$kind" -G Ninja "${launcher[@]}" "${args[@]}" "$@" >/dev/null
ninja -C "$root/build/$kind"
