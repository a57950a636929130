#!/bin/sh
# The shipped Windows program under Wine, in automatic mode with the container it carries: an
# update, the refusals a launcher sees most, and a critical failure. Few runs: each start of an
# emulated Wine process is slow.
#   patcher_exe_test.sh PATCHER.EXE SAMPLE_GAME_DIR WINE_RUNNER [HOST_KTLPACK]
patcher=$1
sample=$2
runner=$3
ktlpack=${4:-}
# A blank in every path, so that Wine quotes the -appdir value as a launcher would.
root=$(mktemp -d "${TMPDIR:-/tmp}/orvo exe.XXXXXX")
export ORVO_WINE_RUN_ONCE=1
trap 'rm -rf "$root"' EXIT
failures=0

fail() {
  echo "$1"
  failures=$((failures + 1))
}

run() { # NAME EXPECTED_CODE PROGRAM ARGS...
  name=$1 expected=$2
  shift 2
  "$runner" "$@"
  code=$?
  [ "$code" -eq "$expected" ] || fail "$name: exit code $code, expected $expected"
}

cp -R "$sample/1.13.1" "$root/game"
run update 0 "$patcher" -automatic -appdir "$root/game"
diff -r "$root/game" "$sample/1.13.3" >/dev/null || fail "update: the game does not match 1.13.3"

run not_found 6 "$patcher" -automatic -appdir "$root/missing"
run command_line 13 "$patcher" -automatic -appdir

# A copy of the program whose container has one byte changed: its signature no longer holds.
cp -R "$sample/1.13.1" "$root/old"
cp "$patcher" "$root/damaged.exe"
offset=$(perl -e 'local $/; open my $c, "<:raw", $ARGV[0]; my $head = substr(<$c>, 0, 64);
  open my $e, "<:raw", $ARGV[1]; print index(<$e>, $head)' "$sample/sample.ktlc" "$root/damaged.exe")
[ "$offset" -gt 0 ] || fail "damaged: the container is not in the program"
printf 'X' | dd of="$root/damaged.exe" bs=1 seek=$((offset + 4096)) conv=notrunc 2>/dev/null
run damaged 5 "$root/damaged.exe" -automatic -appdir "$root/old"
diff -r "$root/old" "$sample/1.13.1" >/dev/null || fail "damaged: the game was changed"

# ktlpack embed: a copy carrying the target-only container finds 1.13.1 unsupported; the sample
# container embedded again into that copy (its resources now last) updates it.
if [ -n "$ktlpack" ]; then
  "$ktlpack" embed "$patcher" "$sample/current.ktlc" -o "$root/current.exe" >/dev/null || fail "embed: refused"
  "$ktlpack" embed "$root/current.exe" "$sample/sample.ktlc" -o "$root/again.exe" >/dev/null || fail "embed again: refused"
  cp -R "$sample/1.13.1" "$root/embedded"
  run embedded_target_only 2 "$root/current.exe" -automatic -appdir "$root/embedded"
  run embedded_again 0 "$root/again.exe" -automatic -appdir "$root/embedded"
  diff -r "$root/embedded" "$sample/1.13.3" >/dev/null || fail "embedded_again: the game does not match 1.13.3"
fi

# A directory where a new file must go: finalization fails after it has begun.
cp -R "$sample/1.13.1" "$root/blocked"
mkdir -p "$root/blocked/data/maps/frostmere.map"
echo in-the-way >"$root/blocked/data/maps/frostmere.map/file"
run critical 14 "$patcher" -automatic -appdir "$root/blocked"

echo "patcher_exe: $failures failures"
[ "$failures" -eq 0 ]
