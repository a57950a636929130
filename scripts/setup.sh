#!/usr/bin/env bash
# Installs everything the builds need, idempotently:
#   - Debian packages (native toolchain, Crypto++, liblzma, GoogleTest, MinGW-w64, Wine, ncurses
#     and tmux for the Linux terminal front end and its test; xdotool, X11 tools, netpbm and fonts
#     for scripts/screenshots.sh);
#   - Crypto++ and liblzma cross-compiled for Windows (i686, the shipped product, and x86_64,
#     whose tests run fast under wine64) from Debian's own source packages, into a cache outside
#     the clone keyed by version;
#   - 32-bit execution through qemu's user-mode emulation where the kernel refuses 32-bit code,
#     so the i686 Windows program (under Wine) and the 32-bit Linux build can run their tests.
set -euo pipefail

cache_root=${ORVO_CACHE:-/var/cache/orvo}
mkdir -p "$cache_root"
log() { echo "[setup] $*" >&2; }

packages=(build-essential cmake ninja-build ccache pkg-config libcrypto++-dev liblzma-dev
  googletest libgtest-dev xz-utils openssl dpkg-dev clang libclang-rt-14-dev llvm
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb
  g++-i686-linux-gnu libcrypto++-dev:i386 liblzma-dev:i386 libgtest-dev:i386
  libncurses-dev libncurses-dev:i386 tmux
  xdotool x11-apps x11-utils netpbm fonts-wine fonts-wqy-microhei fonts-dejavu-core fonts-liberation)

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
     && make -j"$(nproc)" -C src/liblzma >/dev/null 2>&1 && make -C src/liblzma install >/dev/null 2>&1)
  rm -rf "$(dirname "$dir")"
}

# qemu 8 and later keep guest page flags in an interval tree; bookworm's 7.2 scans the guest
# address space page by page on every mmap, which makes each emulated Wine process start take
# about a minute. So qemu comes from bookworm-backports.
install_qemu_user() {
  local list=/etc/apt/sources.list.d/orvo-backports.sources
  if [ ! -f "$list" ]; then
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' > "$list"
    apt-get update -qq || return 1
  fi
  if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q '^1:\(8\|9\|[1-9][0-9]\)'; then
    log "installing qemu-user-static from bookworm-backports"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t bookworm-backports \
      qemu-user-static >/dev/null || return 1
  fi
}

# An i386 ELF header (executable or shared object), as the kernel's binfmt_misc matches it.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# Lets 32-bit x86 programs start: natively where the kernel can, else through qemu-i386.
# The "F" flag opens the interpreter at registration, so it also works inside other mount
# namespaces, and a changed interpreter needs a new registration.
enable_32bit_execution() {
  local binfmt=/proc/sys/fs/binfmt_misc entry=/proc/sys/fs/binfmt_misc/orvo-i386 qemu
  if [ ! -f "$entry" ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    log "32-bit programs run natively"
    return 0
  fi
  install_qemu_user || return 1
  qemu=$(readlink -f /usr/bin/qemu-i386-static)
  if [ ! -f "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
  fi
  if [ -f "$entry" ] && { ! grep -qx "interpreter $qemu" "$entry" \
                          || [ "$qemu" -nt "$cache_root/binfmt-registered" ]; }; then
    echo -1 > "$entry" || return 1
  fi
  if [ ! -f "$entry" ]; then
    printf ':orvo-i386:M::%s:%s:%s:F' "$i386_magic" "$i386_mask" "$qemu" > "$binfmt/register" || return 1
    touch "$cache_root/binfmt-registered"
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || return 1
  log "32-bit programs run through qemu-i386 user-mode emulation"
}

main() {
  install_packages
  enable_32bit_execution || log "32-bit programs cannot run here: the 32-bit trees are built but not tested"
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
