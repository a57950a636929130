#!/usr/bin/env bash
# Sets everything up, builds the native, sanitizer, 32-bit Linux and both Windows trees, and
# runs every test (32-bit code natively or through qemu-i386, Windows tests under Wine), then
# runs the wizard on a virtual screen under Wine (a smoke test of its windows) and each fuzz
# target for a bounded time.
# Ends with the summed test count.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >/dev/null || exit 1

mkdir -p "$root/build"
passed=0
failed=0
for kind in native asan linux32 windows windows64; do
  echo "== $kind build"
  if ! "$root/scripts/build.sh" "$kind" >"$root/build/$kind.log" 2>&1; then
    tail -n 60 "$root/build/$kind.log"
    echo "$kind build failed"
    exit 1
  fi
  if [ "$kind" = linux32 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "($kind: built; this host cannot execute 32-bit programs)"
    continue
  fi
  echo "== $kind tests"
  output=$(ctest --test-dir "$root/build/$kind" --output-on-failure 2>&1)
  status=$?
  echo "$output"
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' <<<"$output" | tail -n 1)
  bad=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' <<<"$output" | tail -n 1)
  if [ -z "$total" ] && grep -q 'No tests were found' <<<"$output"; then
    echo "($kind: built; this host cannot execute its tests)"
    continue
  fi
  if [ -z "$total" ]; then
    failed=$((failed + 1))
    continue
  fi
  passed=$((passed + total - ${bad:-0}))
  failed=$((failed + ${bad:-0}))
  [ "$status" -eq 0 ] || [ "${bad:-0}" -gt 0 ] || failed=$((failed + 1))
done
echo "== wizard on screen (smoke)"
if "$root/scripts/screenshots.sh" "$root/build/screenshots-smoke" --smoke; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi
echo "== fuzzing"
"$root/scripts/fuzz.sh" || failed=$((failed + 1))
echo "ctest: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
