#!/usr/bin/env bash
# Generates the sample game and the sample container every build embeds by default:
#   DIR/1.13.1, DIR/1.13.2, DIR/1.13.3  three versions of a small installation
#   DIR/release.txt                      release description: the target, both older versions, the DLC
#   DIR/sample.ktlc                      the container, signed with the development key
#   DIR/current.ktlc                     the target layouts alone (nothing to do for 1.13.3)
# Every byte comes from fixed seeds, so each run writes the same files.
#   scripts/sample_game.sh DIR KTLPACK
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: sample_game.sh DIR KTLPACK}
ktlpack=${2:?usage: sample_game.sh DIR KTLPACK}
versions=(1.13.1 1.13.2 1.13.3)
target=1.13.3
config_archive=base_cfg.ktl

# One row per file. Columns 1.13.x give the content level of that version: a number (the
# edits of versions 2..level applied), "-" (absent; in 1.13.3: deleted by the update) or "e" (empty).
# size counts 4 KiB pages for binary kinds and lines for text kinds.
files_table='
# layout          path                          kind     seed size 1.13.1 1.13.2 1.13.3
kora              bin/win_x86/velmora2.exe      exe      1    128  1      2      3
kora              bin/win_x86/kora_render.dll   dll      2    64   1      1      3
kora              bin/win_x86/kora_audio.dll    dll      3    24   1      1      1
kora              data/main.pak                 pak      4    192  1      2      3
kora              data/maps/frostmere.map       pak      5    32   -      2      3
kora              data/legacy_intro.bik         media    6    48   1      1      -
kora              data/lang/english.txt         strings  7    600  1      2      3
kora              data/lang/german.txt          strings  8    600  1      2      3
kora              data/mods.lst                 strings  0    0    e      e      e
kora              docs/license.txt              strings  9    80   1      1      1
kora              readme.txt                    notes    10   12   1      2      3
kora              cache/shaders.bin             media    11   8    1      2      e
kora              base_cfg.ktl                  archive  12   4    1      1      1
kora_cfg          cfg/graphics.cfg              settings 13   120  1      2      3
kora_cfg          cfg/input.cfg                 settings 14   60   1      2      2
kora.dlc_winter   dlc_winter.ktl                archive  15   4    1      1      1
kora.dlc_winter   dlc/winter/winter.pak         pak      16   40   1      2      3
'

rows() { sed -e 's/#.*//' -e '/^[[:space:]]*$/d' <<<"$files_table"; }

# Writes one file's content for a content level to stdout.
make_content() { # kind seed size level
  awk -v kind="$1" -v seed="$2" -v size="$3" -v level="$4" '
    function next_byte() { x = (x * 69069 + 12345) % 4294967296; return int(x / 16777216) }
    function reseed(a, b, c) { x = (a * 1000003 + b * 7919 + c * 104729 + 1) % 4294967296 }
    function bytes(n,  i) { for (i = 0; i < n; i++) printf "%c", next_byte() }
    function zeros(n,  i) { for (i = 0; i < n; i++) printf "%c", 0 }
    function u32(v) { printf "%c%c%c%c", v % 256, int(v / 256) % 256, int(v / 65536) % 256, int(v / 16777216) % 256 }
    function word() { return words[1 + next_byte() % word_count] }
    # How many of the versions 2..level edited item i.
    function edits(i,  v, n) { n = 0; for (v = 2; v <= level; v++) if ((i * 7 + v * 11) % 23 == 0) n++; return n }
    # A symbol table of 32-byte records: compresses well, like the tables of a program.
    function records(page, n,  r, name) {
      for (r = 0; r < n; r++) {
        name = sprintf("sym_%06d", page * 64 + r); printf "%s", name; zeros(24 - length(name))
        u32(page * 4096 + r * 32); u32(r % 4)
      }
    }
    function header(magic,  text) {
      text = sprintf("%s velmora2 1.13.%d seed %d", magic, level, seed); printf "%s", text
      if (kind == "exe" || kind == "dll") {
        zeros(78 - length(text)); printf "This program cannot be run in DOS mode.\r\r\n$"; zeros(7); printf "PE%c%c", 0, 0
        zeros(4096 - 128 - 4)
      } else zeros(4096 - length(text))
    }
    function page(p, noise) { reseed(seed, p, edits(p)); bytes(noise); records(p, (4096 - noise) / 32) }
    function image(noise,  count, middle, q, p) {
      header(kind == "exe" || kind == "dll" ? "MZ" : kind == "pak" ? "KPAK" : "KTLA")
      count = size + (level >= 3 && size >= 16); middle = int(size / 2)
      for (q = 1; q < count; q++) {
        # level 3 inserts a page in the middle, so later content moves
        if (count > size && q == middle) { reseed(seed, 9999, 0); bytes(4096); continue }
        p = q - (count > size && q > middle); page(p, noise)
      }
    }
    function sentence(n,  s, i) { s = word(); for (i = 1; i < n; i++) s = s " " word(); return s }
    function strings(  i, count) {
      count = size + 20 * (level - 1)
      for (i = 0; i < count; i++) { reseed(seed, i, edits(i)); printf "STR_%04d = \"%s\"\r\n", i, sentence(3 + next_byte() % 9) }
    }
    function settings(  i) {
      printf "; velmora2 settings, revision %d\n", level
      for (i = 0; i < size; i++) { reseed(seed, i, edits(i)); printf "%s_%s_%03d = %d\n", word(), word(), i, next_byte() * 17 % 1000 }
    }
    function notes(  v, i) {
      printf "Velmora II version 1.13.%d\n\nRelease notes\n\n", level
      for (v = level; v >= 1; v--) {
        printf "1.13.%d\n", v
        for (i = 0; i < size; i++) { reseed(seed, v, i); printf "  - %s.\n", sentence(4 + next_byte() % 8) }
        printf "\n"
      }
    }
    BEGIN {
      word_count = split("ember frost velmora gate rune tower river shield lantern harbor ash " \
        "wolf crown mire raven stone tide forge banner willow spire hollow cinder moss " \
        "quarry thorn vale warden ledger", words, " ")
      if (kind == "strings") strings()
      else if (kind == "settings") settings()
      else if (kind == "notes") notes()
      else if (kind == "pak") image(1024)
      else if (kind == "media") image(4096)
      else image(2048)
    }'
}

write_version() { # column version
  local column=$1 dir=$out/$2 layout path kind seed size levels
  while read -r layout path kind seed size levels; do
    read -ra levels <<<"$levels"
    case ${levels[$column]} in
      -) ;;
      e) mkdir -p "$(dirname "$dir/$path")" && : >"$dir/$path" ;;
      *) mkdir -p "$(dirname "$dir/$path")"
         make_content "$kind" "$seed" "$size" "${levels[$column]}" >"$dir/$path" ;;
    esac
  done < <(rows)
}

# The release description: the target, the older versions, the configuration files and the DLC.
write_release_description() {
  local layout path
  echo "# Sample game: every version of kora to $target"
  echo "target $target $target"
  for v in "${versions[@]}"; do [ "$v" = "$target" ] || echo "older $v $v"; done
  echo "key $(realpath --relative-to="$out" "$root/keys/dev-private.key")"
  for layout in $(rows | awk '$1 != "kora" && !seen[$1]++ { print $1 }'); do
    case $layout in
      kora_cfg) echo "config" ;;
      kora.*) echo "dlc ${layout#kora.}" ;;
    esac
    # A DLC's archive belongs to its layout without being listed.
    for path in $(rows | awk -v name="$layout" '$1 == name { print $2 }'); do
      [ "$path" = "${layout#kora.}.ktl" ] || echo "  file $path"
    done
  done
}

# Runs a ktlpack command quietly, showing its output only when it fails.
run_ktlpack() { # log arguments...
  local log=$1
  shift
  "$ktlpack" "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
}

rm -rf "${versions[@]/#/$out/}" "$out/sample.ktlc" "$out/release.txt" "$out/current.ktlc"
mkdir -p "$out"
for i in "${!versions[@]}"; do write_version "$i" "${versions[$i]}"; done
write_release_description >"$out/release.txt"
run_ktlpack "$out/release.log" release "$out/release.txt" -o "$out/sample.ktlc"
run_ktlpack "$out/verify.log" verify "$out/sample.ktlc" --public-key "$root/keys/dev-public.der"
# The target layouts alone, without deletions and empty files: an installation of 1.13.3 needs
# nothing from it (the updater's "already up to date" case).
run_ktlpack "$out/release.log" release "$out/release.txt" --layouts-only -o "$out/current.ktlc"
