# Sourced by the benchmark scripts.

# Builds one benchmark program.
#   bench_build ROOT BUILD-DIR MODE TARGET EXE-PATH-IN-BUILD
# MODE is "--wine" to run the Windows build through Wine (WINE overrides the runner). Sets exe,
# runner (the command prefix) and drive (what the program puts before a host path).
bench_build() {
  local root=$1 build=$2 mode=$3 name=$4 path=$5
  runner=()
  drive=
  exe=$build/$path
  if [ "$mode" = "--wine" ]; then
    exe=$exe.exe
    runner=("${WINE:-$root/cmake/wine-run.sh}")
    drive=Z:
  elif [ ! -d "$build" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_TESTS=OFF >/dev/null
  fi
  ninja -C "$build" "$name" >/dev/null
}

# Builds one benchmark and prepares a warm 1 GiB file.
#   bench_prepare ROOT BUILD-DIR MODE TARGET EXE-PATH-IN-BUILD FILE-NAME
# Sets what bench_build sets and file, target (the file as the program names it), size.
bench_prepare() {
  bench_build "$@"
  file=${BENCH_FILE:-${TMPDIR:-/tmp}/$6}
  target=$drive$file

  size=$((1024 * 1024 * 1024))
  if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne "$size" ]; then
    head -c "$size" /dev/urandom >"$file"
  fi
  cat "$file" >/dev/null
  cat "$file" >/dev/null
}

# The value of "NAME=value" in a line a benchmark printed.
#   bench_value NAME LINE
bench_value() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<"$2"; }

# Seconds since START (date +%s%N), three decimals.
bench_seconds_since() { awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN { printf "%.3f", ns / 1e9 }'; }

# A / B, two decimals.
#   bench_ratio A B
bench_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# "met" or "missed": VALUE against LIMIT, an upper bound with max, a lower bound with min.
#   bench_verdict VALUE LIMIT max|min
bench_verdict() {
  awk -v v="$1" -v l="$2" -v c="$3" 'BEGIN { print ((c == "max" ? v <= l : v >= l) ? "met" : "missed") }'
}

# What openssl dgst -sha256 -verify checks of a container: the signed message (the container
# with its 512-byte signature field at offset 156 zeroed) and the signature.
#   bench_split_signature CONTAINER MESSAGE SIGNATURE
bench_split_signature() {
  cp "$1" "$2"
  dd if=/dev/zero of="$2" bs=1 seek=156 count=512 conv=notrunc status=none
  dd if="$1" of="$3" bs=1 skip=156 count=512 status=none
}
