#!/bin/sh
# Runs the built updater as a process: runtime start-up, log file, exit codes, shutdown, and
# an update of the sample game with the container the program carries.
patcher=$1
sample=$2
ktlpack=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

# run NAME EXPECTED_CODE ARGS...: runs with its own temporary folder and keeps the log path in $log
run() {
  name=$1 expected=$2
  shift 2
  run_program "$name" "$expected" "$patcher" "$@"
}

run_program() { # NAME EXPECTED_CODE PROGRAM ARGS...
  name=$1 expected=$2 program=$3
  shift 3
  mkdir -p "$root/$name"
  TMPDIR="$root/$name" "$program" "$@"
  code=$?
  log=$(ls "$root/$name"/.ktl/kora_patch_*.log 2>/dev/null | head -n 1)
  [ "$code" -eq "$expected" ] || fail "$name: exit code $code, expected $expected"
  [ -n "$log" ] || fail "$name: no log file"
}

# The log's messages without time stamps and line ends.
messages() { tr -d '\r' <"$log" | sed 's/^[0-9]*:[0-9][0-9]:[0-9][0-9]\.[0-9][0-9][0-9] : //'; }

fail() {
  echo "$1"
  failures=$((failures + 1))
}

expect_line() { # NAME TEXT
  messages | grep -qxF "$2" || fail "$1: missing line '$2'"
}

expect_no_line() { # NAME TEXT
  ! messages | grep -qxF "$2" || fail "$1: unexpected line '$2'"
}

run unknown 13 -foo -automatic
expect_line unknown "[ERR] Unknown parameter '-foo -automatic'"
expect_no_line unknown "Automatic mode enabled."
expect_line unknown "Version: 1.13.3"

run appdir 13 -appdir
expect_line appdir "[ERR] Parameter -appdir requires one quoted parameter"

KTL_PATCH_OPTION_AUTOMATIC= run environment 6 -notransactions -appdir "/games/with \"quotes\" | bars"
expect_line environment "Automatic mode enabled."
expect_line environment "Patch library explicitly initialized without support for transactions"
expect_line environment "Cleanup"
expect_no_line environment "Unable to locate transaction entrypoints"

KTL_PATCH_OPTION_AUTOMATIC= run transactions 6
expect_line transactions "Transactions allowed, specify -notransactions to disable them."
expect_line transactions "Unable to locate transaction entrypoints"
head -n 1 "$log" | grep -q '^\*\*\*\*\*\*\*\*\*\*\*\* : log created on : ' || fail "environment: bad header"

# Not valid UTF-8: the line cannot be read, so it is refused rather than ignored.
run unreadable 13 -automatic "$(printf '\377')"
expect_line unreadable "[ERR] Unable to convert the command line"

# The publisher's check and the updater agree: on what an old version needs, on a version the
# container cannot update, and on an installation that is up to date.
cp -R "$sample/1.13.1" "$root/game"
check=$("$ktlpack" verify "$sample/sample.ktlc" --against "$root/game" 2>/dev/null)
echo "$check" | grep -qx "outcome: update" || fail "verify --against: 1.13.1 not reported as needing an update"
cp -R "$sample/1.13.1" "$root/modded"
echo modded >"$root/modded/readme.txt"
"$ktlpack" verify "$sample/sample.ktlc" --against "$root/modded" 2>/dev/null | grep -qx "analysis: 6 (diff_chain_missing)" ||
  fail "verify --against: a modded file not reported as unsupported"
run modded 2 -automatic -appdir "$root/modded"
"$ktlpack" verify "$sample/current.ktlc" --against "$sample/1.13.3" 2>/dev/null | grep -qx "outcome: already up to date" ||
  fail "verify --against: 1.13.3 not reported as up to date"

run update 0 -automatic -appdir "$root/game"
expect_line update "Automatic mode exited with code: 0"
diff -r "$root/game" "$sample/1.13.3" >/dev/null || fail "update: the game does not match 1.13.3"

# ktlpack embed. Each row: name, container, program, extra option, embed's exit code, then the
# copy's exit code on a copy of 1.13.1 and a line of its log (blanks written as +).
objcopy --remove-section .orvo.container "$patcher" "$root/bare.program" || fail "objcopy failed"
cp -R "$sample/1.13.1" "$root/bare.game"
run_program bare 5 "$root/bare.program" -automatic -appdir "$root/bare.game"
expect_line bare "<ERROR> [ERR] Unable to find data resource"
while read -r name container program option embed_code code line; do
  out="$root/$name.program"
  [ "$option" = - ] && option=
  "$ktlpack" embed "$program" "$container" -o "$out" $option >/dev/null 2>&1
  status=$?
  [ "$status" -eq "$embed_code" ] || fail "embed $name: exit code $status, expected $embed_code"
  [ ! -e "$out.partial" ] || fail "embed $name: a partial output is left"
  if [ "$embed_code" -ne 0 ]; then
    [ ! -e "$out" ] || fail "embed $name: refused, yet the output exists"
    continue
  fi
  cp -R "$sample/1.13.1" "$root/$name.game"
  run_program "$name" "$code" "$out" -automatic -appdir "$root/$name.game"
  expect_line "$name" "$(echo "$line" | tr + ' ')"
done <<ROWS
target_only $sample/current.ktlc $patcher - 0 2 Verification+succeeded
section_added $sample/sample.ktlc $root/bare.program - 0 0 Automatic+mode+exited+with+code:+0
not_a_container $sample/release.txt $patcher - 1
unchecked $sample/release.txt $patcher --unchecked 0 5 <ERROR>+[ERR]+Verification+failed:+5+(not_container)
not_a_program $sample/sample.ktlc $sample/release.txt - 1
ROWS
diff -r "$root/section_added.game" "$sample/1.13.3" >/dev/null || fail "section_added: the game does not match 1.13.3"
"$ktlpack" embed "$patcher" "$sample/sample.ktlc" >/dev/null 2>&1
[ $? -eq 2 ] || fail "embed without -o: not a usage error"

# A second run within the same second writes a log of its own.
mkdir -p "$root/twice"
TMPDIR="$root/twice" "$patcher" -automatic -appdir "$root/missing"
TMPDIR="$root/twice" "$patcher" -automatic -appdir "$root/missing"
logs=$(ls "$root/twice/.ktl" | wc -l)
[ "$logs" -eq 2 ] || fail "twice: $logs log files"

echo "patcher_cli: $failures failures"
[ "$failures" -eq 0 ]
