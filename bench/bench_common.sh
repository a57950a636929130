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
