#!/usr/bin/env bash
# Installs everything the builds need, idempotently:
#   - Debian packages (native toolchain, Crypto++, liblzma, GoogleTest, MinGW-w64, Wine);
#   - Crypto++ and liblzma cross-compiled for Windows (i686, the shipped product, and x86_64,
#     whose tests run under wine64 where the kernel cannot execute 32-bit code) from Debian's
#     own source packages, into a cache outside the clone keyed by version.
set -euo pipefail

cache_root=${ORVO_CACHE:-/var/cache/orvo}
mkdir -p "$cache_root"
log() { echo "[setup] $*" >&2; }

packages=(build-essential cmake ninja-build ccache pkg-config libcrypto++-dev liblzma-dev
  googletest libgtest-dev xz-utils openssl dpkg-dev clang libclang-rt-14-dev llvm
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb)

enable_i386_and_sources() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    changed=1
  fi
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ] && ! grep -q '^Types:.*deb-src' "$src"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
    changed=1
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list \
     && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >> /etc/apt/sources.list
    changed=1
  fi
  echo $changed
}

install_packages() {
  local missing=() changed
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  changed=$(enable_i386_and_sources)
  if [ "${#missing[@]}" -gt 0 ] || [ "$changed" = 1 ] || [ ! -f "$cache_root/apt-updated" ]; then
    log "apt-get update"
    apt-get update -qq
    touch "$cache_root/apt-updated"
  fi
  if [ "${#missing[@]}" -gt 0 ]; then
    log "installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1; }

# Unpacks a Debian source package into a fresh folder under the cache and prints its path.
unpack_source() {
  local name=$1 work
  work=$(mktemp -d "$cache_root/src.XXXX")
  (cd "$work" && apt-get source -qq "$name" >/dev/null 2>&1)
  find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

build_cross_cryptopp() { # triplet prefix
  local triplet=$1 prefix=$2 dir
  dir=$(unpack_source libcrypto++)
  [ -n "$dir" ] || { log "cannot fetch libcrypto++ source"; exit 1; }
  log "cross-building Crypto++ for $triplet"
  (cd "$dir" && make -j"$(nproc)" -f GNUmakefile static \
      CXX="$triplet-g++-posix" AR="$triplet-ar" RANLIB="$triplet-ranlib" \
      CXXFLAGS="-DNDEBUG -O2 -g0 -pipe" >/dev/null 2>&1)
  mkdir -p "$prefix/lib" "$prefix/include/cryptopp"
  cp "$dir"/*.h "$prefix/include/cryptopp/"
  # Debian's makefile names the archive after the package
  cp "$(ls "$dir"/libcryptopp.a "$dir"/libcrypto++.a 2>/dev/null | head -n 1)" "$prefix/lib/libcryptopp.a"
  rm -rf "$(dirname "$dir")"
}

build_cross_xz() { # triplet prefix
  local triplet=$1 prefix=$2 dir
  dir=$(unpack_source xz-utils)
  [ -n "$dir" ] || { log "cannot fetch xz-utils source"; exit 1; }
  log "cross-building liblzma for $triplet"
  (cd "$dir" && CC="$triplet-gcc-posix" ./configure -q --host="$triplet" --prefix="$prefix" \
          --disable-shared --enable-static --disable-xz --disable-xzdec --disable-lzmadec \
          --disable-lzmainfo --disable-lzma-links --disable-scripts --disable-doc --disable-nls \
          CFLAGS="-O2 -g0" >/dev/null \
     && make -j"$(nproc)" -C src/liblzma >/dev/null && make -C src/liblzma install >/dev/null)
  rm -rf "$(dirname "$dir")"
}

main() {
  install_packages
  local cv xv arch triplet prefix
  cv=$(source_version libcrypto++)
  xv=$(source_version xz-utils)
  [ -n "$cv" ] && [ -n "$xv" ] || { log "no source versions found (deb-src missing?)"; exit 1; }
  for arch in i686 x86_64; do
    triplet=$arch-w64-mingw32
    prefix="$cache_root/mingw-$arch-cryptopp-${cv//[^A-Za-z0-9.+-]/_}-xz-${xv//[^A-Za-z0-9.+-]/_}"
    if [ ! -f "$prefix/cryptopp.done" ]; then
      build_cross_cryptopp "$triplet" "$prefix"
      touch "$prefix/cryptopp.done"
    fi
    if [ ! -f "$prefix/xz.done" ]; then
      build_cross_xz "$triplet" "$prefix"
      touch "$prefix/xz.done"
    fi
    ln -sfn "$prefix" "$cache_root/mingw-$arch"
  done
}

main "$@"
