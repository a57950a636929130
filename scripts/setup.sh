#!/usr/bin/env bash
# Installs everything the two builds need, idempotently.
#   - Debian packages (native toolchain, Crypto++, liblzma, GoogleTest, MinGW-w64, Wine)
#   - Crypto++ and liblzma cross-compiled for i686 Windows from Debian's own
#     source packages, into a cache outside the clone keyed by version.
# Prints the cross prefix as its last line when called with --print-prefix.
set -euo pipefail

cache_root=${ORVO_CACHE:-/var/cache/orvo}
mkdir -p "$cache_root"
log() { echo "[setup] $*" >&2; }

native_packages=(build-essential cmake ninja-build ccache pkg-config libcrypto++-dev liblzma-dev
  googletest libgtest-dev xz-utils openssl dpkg-dev clang libclang-rt-14-dev llvm
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 xvfb)

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
  local missing=()
  for p in "${native_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  local changed
  changed=$(enable_i386_and_sources)
  local stamp="$cache_root/apt-updated"
  if [ "${#missing[@]}" -gt 0 ] || [ "$changed" = 1 ] || [ ! -f "$stamp" ]; then
    log "apt-get update"
    apt-get update -qq
    touch "$stamp"
  fi
  if [ "${#missing[@]}" -gt 0 ]; then
    log "installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1; }

cross_prefix() { echo "$cache_root/mingw-i686-cryptopp-$1-xz-$2"; }

build_cross_cryptopp() { # prefix version
  local prefix=$1 work
  work=$(mktemp -d "$cache_root/cryptopp.XXXX")
  local dir
  dir=$(cd "$work" && apt-get source -qq libcrypto++ >/dev/null 2>&1; find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$dir" ] || { log "cannot fetch libcrypto++ source"; exit 1; }
  log "cross-building Crypto++ in $dir"
  (cd "$dir" && make -j"$(nproc)" -f GNUmakefile static \
      CXX=i686-w64-mingw32-g++-posix AR=i686-w64-mingw32-ar RANLIB=i686-w64-mingw32-ranlib \
      CXXFLAGS="-DNDEBUG -O2 -g0 -pipe" >/dev/null)
  mkdir -p "$prefix/lib" "$prefix/include/cryptopp"
  # Debian's makefile names the archive after the package
  cp "$(ls "$dir"/libcryptopp.a "$dir"/libcrypto++.a 2>/dev/null | head -n 1)" "$prefix/lib/libcryptopp.a"
  cp "$dir"/*.h "$prefix/include/cryptopp/"
  rm -rf "$work"
}

build_cross_xz() { # prefix
  local prefix=$1 work
  work=$(mktemp -d "$cache_root/xz.XXXX")
  local dir
  dir=$(cd "$work" && apt-get source -qq xz-utils >/dev/null 2>&1; find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$dir" ] || { log "cannot fetch xz-utils source"; exit 1; }
  log "cross-building liblzma in $dir"
  (cd "$dir" && { [ -x configure ] || autoreconf -fi >/dev/null 2>&1; } \
     && CC=i686-w64-mingw32-gcc-posix ./configure -q --host=i686-w64-mingw32 --prefix="$prefix" \
          --disable-shared --enable-static --disable-xz --disable-xzdec --disable-lzmadec \
          --disable-lzmainfo --disable-lzma-links --disable-scripts --disable-doc --disable-nls \
          CFLAGS="-O2 -g0" >/dev/null \
     && make -j"$(nproc)" -C src/liblzma >/dev/null && make -C src/liblzma install >/dev/null)
  rm -rf "$work"
}

main() {
  install_packages
  local cv xv prefix
  cv=$(source_version libcrypto++)
  xv=$(source_version xz-utils)
  [ -n "$cv" ] && [ -n "$xv" ] || { log "no source versions found (deb-src missing?)"; exit 1; }
  prefix=$(cross_prefix "${cv//[^A-Za-z0-9.+-]/_}" "${xv//[^A-Za-z0-9.+-]/_}")
  if [ ! -f "$prefix/cryptopp.done" ]; then
    build_cross_cryptopp "$prefix"
    touch "$prefix/cryptopp.done"
  fi
  if [ ! -f "$prefix/xz.done" ]; then
    build_cross_xz "$prefix"
    touch "$prefix/xz.done"
  fi
  ln -sfn "$prefix" "$cache_root/mingw-i686"
  log "cross prefix: $prefix"
  echo "$prefix"
}

main "$@"
