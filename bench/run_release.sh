#!/usr/bin/env bash
# ktlpack release at game scale. A synthetic game of BENCH_SIZE_MIB MiB (default 2048) in 500
# files, half random and half table-like bytes, and three older versions: each newer version
# edits one file in five in small places (a fifth the previous versions left alone), adds one
# in fifty and removes one in a hundred. Measures, in one run:
#   - the container of `ktlpack release --jobs 2` (direct records) against the sum of `xz -9` of
#     every changed target file and the sum of `zstd -19 --patch-from=OLD` of every older
#     version's changed file (plain `zstd -19` for a file the older version lacks), each counted
#     once per distinct content pair;
#   - the release's build time on two threads;
#   - per older version, the updater's analysis and application (apply_bench update, the
#     updater's own code; its plan check does not apply here) against the least of the same work
#     with system tools: `openssl dgst -sha256` over the installation plus `cp` of the changed
#     files' target versions into place. Both on a warm cache; the result must equal the target.
# Prints the figures and their ratios. The machine may be shared: times are as measured.
# Usage: bench/run_release.sh [build-dir]   (BENCH_FOLDER: work folder, kept between runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
. "$root/bench/bench_common.sh"
bench_build "$root" "$build" "" apply_bench bench/apply/apply_bench
apply_bench=$exe
bench_build "$root" "$build" "" ktlpack src/tools/publisher/ktlpack
ktlpack=$exe
size_mib=${BENCH_SIZE_MIB:-2048}
work=${BENCH_FOLDER:-${TMPDIR:-/tmp}/orvo_release_bench}
versions=(v1 v2 v3 v4)
target=v4

generate() {
  python3 - "$work" "$size_mib" <<'PY'
import os, random, sys
work, size = sys.argv[1], int(sys.argv[2]) << 20
files = 500
rng = random.Random(12)
weights = [rng.random() ** 3 + 0.01 for _ in range(files)]
total = sum(weights)
sizes = [max(4096, int(size * w / total)) for w in weights]

def content(seed, n):
    r = random.Random(seed)
    out = bytearray()
    page = 0
    while len(out) < n:
        if page % 2:
            out += r.randbytes(4096)
        else:
            out += b"".join(b"sym_%06d" % (page * 128 + k) + bytes(6) + (k * 4096 + page).to_bytes(8, "little") for k in range(128))
        page += 1
    return bytes(out[:n])

def edit(data, seed):
    r = random.Random(seed)
    data = bytearray(data)
    for _ in range(16):
        at = r.randrange(len(data))
        data[at:at + 32] = r.randbytes(32)
    at = r.randrange(len(data))
    return bytes(data[:at] + r.randbytes(4096) + data[at:])

def path(i):
    return "data/pack%02d/file%03d.bin" % (i % 20, i)

current = {path(i): (None, i) for i in range(files)}  # path -> (source file or None, seed)
for version in range(1, 5):
    root = os.path.join(work, "v%d" % version)
    if version > 1:
        for i in range(files + 40):
            p = path(i)
            if p in current and i % 100 == version - 2:
                del current[p]
            elif p not in current and i >= files and (i - files) // 10 == version - 2:
                current[p] = (None, i)
    for p, (source, seed) in sorted(current.items()):
        i = int(p[-7:-4])
        dest = os.path.join(root, p)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        if source is None:
            with open(dest, "wb") as f:
                f.write(content(seed, sizes[i % files]))
        elif version > 1 and i % 5 == version - 2:
            with open(source, "rb") as f:
                data = f.read()
            with open(dest, "wb") as f:
                f.write(edit(data, seed * 10 + version))
        else:
            os.link(source, dest)
        current[p] = (dest, seed)
PY
}

if [ ! -f "$work/ready" ] || [ "$(cat "$work/ready")" != "$size_mib" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  generate
  echo "$size_mib" >"$work/ready"
fi
{
  echo "target 4 v4"
  for v in v1 v2 v3; do echo "older $v $v"; done
  echo "key $root/keys/dev-private.key"
} >"$work/release.txt"

seconds() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

start=$(seconds)
"$ktlpack" release "$work/release.txt" -o "$work/container.ktlp" --jobs 2 2>"$work/release.log" >"$work/summary.txt"
build_seconds=$(awk -v a="$start" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }')
container=$(stat -c %s "$work/container.ktlp")
cat "$work/summary.txt"

# The references, once per distinct target content and per distinct content pair.
declare -A digest seen_target seen_pair
for v in "${versions[@]}"; do
  while read -r hash path; do digest[$v/${path#./}]=$hash; done < <(cd "$work/$v" && find . -type f -exec sha256sum {} +)
done
(cd "$work/$target" && find . -type f -printf '%P\n' | sort) >"$work/target_files.txt"
xz_total=0
zstd_total=0
while read -r path; do
  new=$work/$target/$path
  new_hash=${digest[$target/$path]}
  for v in v1 v2 v3; do
    old=$work/$v/$path
    old_hash=${digest[$v/$path]:--}
    [ "$old_hash" = "$new_hash" ] && continue
    if [ -z "${seen_target[$new_hash]:-}" ]; then
      seen_target[$new_hash]=1
      xz_total=$((xz_total + $(xz -9 -c -T1 "$new" | wc -c)))
    fi
    [ -n "${seen_pair[$old_hash$new_hash]:-}" ] && continue
    seen_pair[$old_hash$new_hash]=1
    if [ -f "$old" ]; then delta=$(zstd -q -19 --patch-from="$old" -c "$new" 2>/dev/null | wc -c)
    else delta=$(zstd -q -19 -c "$new" | wc -c)
    fi
    zstd_total=$((zstd_total + delta))
  done
done <"$work/target_files.txt"

echo "game: $size_mib MiB in $(wc -l <"$work/target_files.txt") files, older versions v1 v2 v3, target v4"
echo "release: container=$container bytes build_seconds=$build_seconds (2 threads)"
echo "references: xz_9=$xz_total zstd_19_patch_from=$zstd_total bytes"
echo "ratios: container/xz_9=$(ratio "$container" "$xz_total") container/zstd_patch_from=$(ratio "$container" "$zstd_total")"

public_key=$root/keys/dev-public.der
round=$work/round
restore() { # version
  rm -rf "$round"
  cp -al "$work/$1" "$round"  # the updater replaces files by rename, cp is told to remove first
  sync
  find "$round" -type f -exec cat {} + >/dev/null
  cat "$work/container.ktlp" >/dev/null
}
same_as_target() {
  diff <(cd "$round" && find . -type f -exec sha256sum {} + | sort -k2) \
       <(cd "$work/$target" && find . -type f -exec sha256sum {} + | sort -k2) >/dev/null
}
for v in v1 v2 v3; do
  restore "$v"
  line=$("$apply_bench" update "$work" "$round" "$public_key" 2>"$work/update_$v.log" || true)
  grep -q "application=ok" <<<"$line" || { echo "$v: update failed: $line" >&2; exit 1; }
  same_as_target || { echo "$v: installation differs from the target after the update" >&2; exit 1; }
  updater=$(bench_value seconds "$line")
  changed=()
  while read -r path; do
    [ "${digest[$v/$path]:--}" = "${digest[$target/$path]}" ] || changed+=("$path")
  done <"$work/target_files.txt"
  restore "$v"
  start=$(seconds)
  (cd "$round" && find . -type f -exec openssl dgst -sha256 {} + >/dev/null)
  (cd "$work/$target" && cp --parents --remove-destination "${changed[@]}" "$round/")
  tools=$(awk -v a="$start" -v b="$(seconds)" 'BEGIN { printf "%.3f", b - a }')
  echo "update $v: updater_seconds=$updater tools_seconds=$tools ratio=$(ratio "$updater" "$tools")"
done
