# Sourced by the benchmark scripts: builds one benchmark and prepares a warm 1 GiB file.
#   bench_prepare ROOT BUILD-DIR MODE TARGET EXE-PATH-IN-BUILD FILE-NAME
# MODE is "--wine" to run the Windows build through Wine. Sets exe, runner, file, target, size.
bench_prepare() {
  local root=$1 build=$2 mode=$3 name=$4 path=$5
  runner=()
  exe=$build/$path
  file=${BENCH_FILE:-${TMPDIR:-/tmp}/$6}
  target=$file
  if [ "$mode" = "--wine" ]; then
    exe=$exe.exe
    runner=("${WINE:-$root/cmake/wine-run.sh}")
    target=Z:$file
  elif [ ! -d "$build" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_TESTS=OFF >/dev/null
  fi
  ninja -C "$build" "$name" >/dev/null

  size=$((1024 * 1024 * 1024))
  if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne "$size" ]; then
    head -c "$size" /dev/urandom >"$file"
  fi
  cat "$file" >/dev/null
  cat "$file" >/dev/null
}
