#!/usr/bin/env bash
# Delta size on real program releases: two versions of the same Debian package, one from
# bookworm and one from bookworm-security, per file our XDLT delta (ktlpack diff, the updater's
# default preset) against zstd -19 --long=31 --patch-from=OLD and xz -9e of the new file, with
# encoding times (processor seconds, user and system, which a busy shared machine distorts less
# than wall time). Every delta is decoded again with ktlpack apply and compared with the new file.
# Packages are downloaded once into the cache folder (outside the clone).
# Usage: bench/delta_real_releases.sh [build-dir] [cache folder] [set...]
#   sets: postgresql, openjdk, chromium (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
cache=${2:-${ORVO_CACHE:-/var/cache/orvo}/delta-study}
shift $(($# > 2 ? 2 : $#))
sets=("$@")
[ ${#sets[@]} -gt 0 ] || sets=(postgresql openjdk chromium)
ktlpack=$build/src/tools/publisher/ktlpack

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C "$build" ktlpack >/dev/null
for tool in zstd xz dpkg-deb apt-get /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is needed (apt-get install zstd xz-utils time)" >&2; exit 1; }
done
mkdir -p "$cache/debs" "$cache/tree" "$cache/out"

# Version of a package in one suite ("bookworm" or "bookworm-security").
version_in() { # package suite
  apt-cache madison "$1" | awk -v suite="$2/" -F' [|] ' '$3 ~ suite && $3 ~ /Packages/ { print $2; exit }'
}

# Unpacks PACKAGE=VERSION into cache/tree/PACKAGE_VERSION and prints that folder.
unpacked() { # package version
  local dir=$cache/tree/$1_$2
  if [ ! -d "$dir" ]; then
    (cd "$cache/debs" && ls "$1_${2/:/%3a}_"*.deb >/dev/null 2>&1 || apt-get download -q "$1=$2" >/dev/null)
    dpkg-deb -x "$cache/debs/$1_${2/:/%3a}_"*.deb "$dir.partial"
    mv "$dir.partial" "$dir"
  fi
  echo "$dir"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
# Runs a command quietly and prints its processor seconds.
cpu_seconds() {
  local times
  times=$(mktemp)
  /usr/bin/time -f '%U %S' -o "$times" "$@" >/dev/null
  awk '{ printf "%.1f", $1 + $2 }' "$times"
  rm -f "$times"
}

printf '%-34s %11s %11s %11s %11s %6s %8s %8s\n' file old new ours zstd ours/z "ours s" "zstd s"
printf '%-34s %11s %11s %11s %11s %6s %8s %8s\n' "" "" "xz -9e" "" "" "" "" "xz s"
echo "(sizes in bytes, times in processor seconds)"
measure() { # label old-file new-file
  local label=$1 old=$2 new=$3 out=$cache/out/${1//\//_}
  local ours_time zstd_time xz_time ours zstd_size xz_size
  ours_time=$(cpu_seconds "$ktlpack" diff "$old" "$new" "$out.xdlt")
  "$ktlpack" apply "$old" "$out.xdlt" "$out.check" >/dev/null
  cmp -s "$new" "$out.check" || { echo "$label: the delta does not rebuild the new file" >&2; exit 1; }
  rm -f "$out.check"
  # The references' sizes and times are kept in OUT.ref; delete it to measure them again.
  if [ ! -s "$out.ref" ]; then
    zstd_time=$(cpu_seconds zstd -q -q -f -19 --long=31 --single-thread --patch-from="$old" "$new" -o "$out.zst")
    zstd -q -q -d --long=31 --patch-from="$old" "$out.zst" -o "$out.check"
    cmp -s "$new" "$out.check" || { echo "$label: zstd does not rebuild the new file" >&2; exit 1; }
    zstd_size=$(stat -c %s "$out.zst")
    rm -f "$out.check" "$out.zst"
    xz_time=$(cpu_seconds sh -c 'xz -9e -T1 -c "$1" >"$2"' xz "$new" "$out.xz")
    xz_size=$(stat -c %s "$out.xz")
    rm -f "$out.xz"
    echo "$zstd_size $zstd_time $xz_size $xz_time" >"$out.ref"
  fi
  read -r zstd_size zstd_time xz_size xz_time <"$out.ref"
  ours=$(stat -c %s "$out.xdlt")
  printf '%-34s %11d %11d %11d %11d %6s %8s %8s\n' "$label" "$(stat -c %s "$old")" "$(stat -c %s "$new")" \
    "$ours" "$zstd_size" "$(ratio "$ours" "$zstd_size")" "$ours_time" "$zstd_time"
  printf '%-34s %11s %11d %11s %11s %6s %8s %8s\n' "" "" "$xz_size" "" "" "" "" "$xz_time"
}

# Measures the given files of one package between its bookworm and bookworm-security versions.
measure_package() { # package label-prefix path...
  local package=$1 prefix=$2 old_version new_version old_dir new_dir path
  shift 2
  old_version=$(version_in "$package" bookworm)
  new_version=$(version_in "$package" bookworm-security)
  [ -n "$old_version" ] && [ -n "$new_version" ] || { echo "$package: no two versions in the apt sources" >&2; exit 1; }
  echo "# $package $old_version -> $new_version"
  old_dir=$(unpacked "$package" "$old_version")
  new_dir=$(unpacked "$package" "$new_version")
  for path in "$@"; do
    measure "$prefix$(basename "$path")" "$old_dir/$path" "$new_dir/$path"
  done
}

for set in "${sets[@]}"; do
  case "$set" in
    postgresql)
      measure_package postgresql-15 pg/ usr/lib/postgresql/15/bin/postgres usr/lib/postgresql/15/bin/pgbench \
        usr/lib/postgresql/15/lib/plpgsql.so usr/lib/postgresql/15/lib/dict_snowball.so ;;
    openjdk)
      measure_package openjdk-17-jre-headless jdk/ usr/lib/jvm/java-17-openjdk-amd64/lib/server/libjvm.so ;;
    chromium)
      measure_package chromium chromium/ usr/lib/chromium/chromium ;;
    *) echo "unknown set: $set" >&2; exit 2 ;;
  esac
done
