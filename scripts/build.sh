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

# Sets args to the CMake settings of a tree.
tree_args() { # kind
  case "$1" in
    native) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan) args=(-DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON) ;;
    linux32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-i686.cmake") ;;
    windows) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
                   -DORVO_CROSS_PREFIX="$cache_root/mingw-i686") ;;
    windows64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
                   -DORVO_CROSS_PREFIX="$cache_root/mingw-x86_64") ;;
    *) echo "unknown build kind: $1" >&2; exit 2 ;;
  esac
}

configure() { # kind [extra cmake args...]
  cmake -S "$root" -B "$root/build/$1" -G Ninja "${launcher[@]}" "${args[@]}" "${@:2}" >/dev/null
}

# The cross trees pack the sample container with the native tree's ktlpack.
host_ktlpack=()
case "$kind" in
  linux32|windows|windows64)
    if [ ! -f "$root/build/native/build.ninja" ]; then
      tree_args native
      configure native
    fi
    ninja -C "$root/build/native" ktlpack
    host_ktlpack=(-DORVO_HOST_KTLPACK="$root/build/native/src/tools/publisher/ktlpack") ;;
esac

tree_args "$kind"
configure "$kind" "${host_ktlpack[@]}" "$@"
ninja -C "$root/build/$kind"
