#!/usr/bin/env bash
# Runs the Windows updater under Wine on a virtual X display, drives it like a player and saves a
# PNG of every page it reaches (page and language in the name).
#   scripts/screenshots.sh [OUTDIR] [--smoke]
# OUTDIR defaults to build/screenshots. --smoke takes only Welcome, Game not found and Finished and
# fails when a window or page does not come in time.
# PATCHER names the program (default: the x86_64 build, which runs faster under Wine).
set -euo pipefail
{ # read whole before it runs, so that an edit during a run does not disturb it
root=$(cd "$(dirname "$0")/.." && pwd)
cache_root=${ORVO_CACHE:-/var/cache/orvo}
out=$root/build/screenshots
smoke=0
for arg in "$@"; do
  case "$arg" in
    --smoke) smoke=1 ;;
    -*) echo "usage: screenshots.sh [OUTDIR] [--smoke]" >&2; exit 2 ;;
    *) out=$arg ;;
  esac
done
patcher=${PATCHER:-$root/build/windows64/src/tools/patcher/patcher.exe}
sample=$root/build/windows64/sample_game
started_at=$(date +%s)

log() { echo "[screenshots] $*" >&2; }
die() { log "FAILED: $*"; exit 1; }

# --- setup -------------------------------------------------------------------------------------
tools=(Xvfb:xvfb xdotool:xdotool xwd:x11-apps xwininfo:x11-utils xwdtopnm:netpbm)
fonts=(fonts-wine fonts-wqy-microhei fonts-dejavu-core fonts-liberation)
missing=()
for t in "${tools[@]}"; do command -v "${t%%:*}" >/dev/null || missing+=("${t#*:}"); done
for p in "${fonts[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  log "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 \
    --no-install-recommends "${missing[@]}" >/dev/null || die "cannot install ${missing[*]}"
fi
[ -f "$patcher" ] || die "$patcher is missing: run scripts/build.sh windows64"
[ -d "$sample/1.13.1" ] || die "$sample is missing: run scripts/build.sh windows64"

pe_offset=$(od -An -tu4 -j60 -N4 "$patcher" | tr -d ' ')
machine=$(od -An -tx2 -j "$((pe_offset + 4))" -N2 "$patcher" | tr -d ' ')
wine_version=$(dpkg-query -W -f='${Version}' wine 2>/dev/null | tr -c 'A-Za-z0-9.+\n' _)
case "$machine" in
  8664) wine=/usr/lib/wine/wine64; export WINEARCH=win64 ;;
  014c) wine=/usr/lib/wine/wine; export WINEARCH=win32 ;;
  *) die "$patcher is not an x86 Windows program" ;;
esac
# An X11 prefix of our own: the test prefixes use the null display driver.
export WINEPREFIX=$cache_root/wineprefix-screenshots-$WINEARCH-${wine_version:-unknown}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
unset LANG LANGUAGE LC_ALL LC_MESSAGES
desktop_w=800 desktop_h=600

work=$(mktemp -d "${TMPDIR:-/tmp}/orvo shots.XXXXXX")  # a blank, so that Wine quotes -appdir
xvfb_pid='' patcher_pid='' tmpfs_mounted=0
cleanup() {
  set +e
  [ -n "$patcher_pid" ] && kill -CONT "$patcher_pid" 2>/dev/null && kill "$patcher_pid" 2>/dev/null
  [ -n "${DISPLAY:-}" ] && timeout 20 /usr/lib/wine/wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ "$tmpfs_mounted" = 1 ] && umount "$work/small" 2>/dev/null
  rm -rf "$work"
  return 0
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the given descriptor.
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 "${desktop_w}x${desktop_h}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || die "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")
log "display $DISPLAY, prefix $WINEPREFIX"

if [ ! -f "$WINEPREFIX/.initialised" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 8
    if [ ! -f "$WINEPREFIX/.initialised" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      # A virtual desktop: Wine draws the frames, captions and icons as Windows does.
      "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
      "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
        /d "${desktop_w}x${desktop_h}" /f >/dev/null
      /usr/lib/wine/wineserver -w || true
      touch "$WINEPREFIX/.initialised"
    fi
  ) 8>"$WINEPREFIX.lock"
fi
# Wine's dialog fonts lack Vietnamese, Japanese and Chinese glyphs, which Windows finds in linked
# fonts: Tahoma (Wine's own) with DejaVu Sans and WenQuanYi Micro Hei linked to it, copied where
# Wine looks for font files. Wine draws captions without links: there such letters stay boxes.
if [ ! -f "$WINEPREFIX/.font-links" ]; then
  (
    flock 8
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
      /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
      "$WINEPREFIX/drive_c/windows/Fonts/"
    for face in Tahoma "Microsoft Sans Serif"; do
      "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
        /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null
    done
    /usr/lib/wine/wineserver -w || true
    touch "$WINEPREFIX/.font-links"
  ) 8>"$WINEPREFIX.lock"
fi
mkdir -p "$out"

# --- driving the program -----------------------------------------------------------------------
log_file='' frame=''
log_dir() { echo "$WINEPREFIX/drive_c/users/$(id -un)/Temp/.ktl"; }

start() { # EXE ARGS...: starts the program and waits for its Welcome page
  rm -f "$(log_dir)"/kora_patch_*.log
  # Holding the program still can make the kernel hang up its process group (an orphaned group
  # with a stopped member); the hang-up is ignored, the continuation that comes with it is harmless.
  (trap '' HUP; exec "$wine" "$@" >/dev/null 2>&1) &
  patcher_pid=$!
  log_file=''
  for _ in $(seq 300); do
    log_file=$(ls "$(log_dir)"/kora_patch_*.log 2>/dev/null | head -n 1) || true
    [ -n "$log_file" ] && break
    sleep 0.1
  done
  [ -n "$log_file" ] || die "the program wrote no log within 30 s"
  wait_page "Welcome"
  frame=''
  for _ in $(seq 100); do
    frame=$(xdotool search --name '^Velmora' 2>/dev/null | head -n 1) || true
    [ -n "$frame" ] && break
    sleep 0.1
  done
  [ -n "$frame" ] || die "no window appeared within 10 s"
}

# Waits until the log says the page was entered (its Nth time); fails after the time limit.
wait_page() { # NAME [SECONDS] [N]
  local name=$1 limit=${2:-30} n=${3:-1} i
  for ((i = 0; i < limit * 20; i++)); do
    [ "$(grep -c "Entering page: $name[[:space:]]*\$" "$log_file" 2>/dev/null)" -ge "$n" ] && return 0
    kill -0 "$patcher_pid" 2>/dev/null || break
    sleep 0.05
  done
  die "page '$name' not reached; last pages: $(grep 'Entering page' "$log_file" | tail -n 3 | tr '\n' ' ')"
}

finish() { # ends the program
  kill -CONT "$patcher_pid" 2>/dev/null || true
  kill "$patcher_pid" 2>/dev/null || true
  wait "$patcher_pid" 2>/dev/null || true
  patcher_pid=''
  timeout 20 /usr/lib/wine/wineserver -w 2>/dev/null || true
}

# Saves the frame window as Wine draws it (caption and borders included).
shoot() { # NAME [DELAY]
  sleep "${2:-0.4}"
  xwd -silent -id "$frame" | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png"
  log "saved $1.png"
}

# Clicks the point X dialog units from the left of the frame's client area and UP dialog units
# above its bottom, where the buttons and the language list are.
click() { # X UP
  local geo ax ay w h
  geo=$(xwininfo -id "$frame")
  ax=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geo")
  ay=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geo")
  w=$(sed -n 's/.*Width: *//p' <<<"$geo")
  h=$(sed -n 's/.*Height: *//p' <<<"$geo")
  # A 3-pixel modal frame around a client area 350 dialog units wide.
  xdotool mousemove "$((ax + 3 + $1 * (w - 6) / 350))" "$((ay + h - 3 - $2 * (w - 6) / 350))" click 1
}
button_continue() { click 210 14; }
button_exit() { click 303 14; }
button_abort() { click 303 14; }
answer() { sleep 0.3; xdotool key "$1"; } # y or n in a question box

# Picks the Nth entry of the (sorted) language list and prints the language id the program took.
select_language() { # INDEX
  local before i
  before=$(grep -c 'Selected language' "$log_file" || true)
  click 60 14
  sleep 0.4
  xdotool key Home
  for ((i = 0; i < $1; i++)); do xdotool key Down; done
  xdotool key Return
  for ((i = 0; i < 100; i++)); do
    [ "$(grep -c 'Selected language' "$log_file" || true)" -gt "$before" ] && break
    sleep 0.05
  done
  grep 'Selected language' "$log_file" | tail -n 1 | sed 's/.*: //; s/[[:space:]]*$//' \
    || die "no language selected"
}

current_page() {
  local line page=''
  while IFS= read -r line; do
    [[ $line == *"Entering page: "* ]] && page=${line##*Entering page: }
  done <"$log_file"
  echo "${page%$'\r'}"
}
file_name() { tr 'A-Z ' 'a-z_' <<<"$1"; }

# The operation pages last a fraction of a second: the program is held still, the given button
# is clicked, and the program then runs in slices of a few milliseconds; the frame is taken
# between them, each picture labelled with the page the log names, and the fullest picture (the largest
# PNG) of each page other than the one clicked on and before the given one is kept.
film() { # SUFFIX BUTTON UNTIL_PAGE [SECONDS]
  local suffix=$1 until=$3 limit=${4:-60} n=0 page first end
  rm -rf "$work/film"
  mkdir -p "$work/film"
  end=$(($(date +%s) + limit))
  kill -STOP "$patcher_pid"
  first=$(current_page)
  "$2"
  while :; do
    page=$(current_page)
    [ "$page" = "$until" ] && break
    xwd -silent -id "$frame" >"$work/film/$n.xwd" 2>/dev/null && echo "$n $page" >>"$work/film/index"
    kill -CONT "$patcher_pid"
    sleep 0.003
    kill -STOP "$patcher_pid" 2>/dev/null || die "the program ended before page '$until'"
    if [ "$(date +%s)" -gt "$end" ]; then
      kill -CONT "$patcher_pid"
      die "page '$until' not reached; last: $page"
    fi
    n=$((n + 1))
  done
  kill -CONT "$patcher_pid"
  # A page's window comes a little after the log names it: a picture already taken under an
  # earlier page shows that page and is not a candidate.
  while read -r n page; do
    echo "$n $(md5sum <"$work/film/$n.xwd" | cut -c1-32)"
  done <"$work/film/index" >"$work/film/sums"
  awk 'NR == FNR { sum[$1] = $2; next }
       { n = $1; $1 = ""; sub(/^ /, ""); s = sum[n]
         if ((s in owner) && owner[s] != $0) next
         owner[s] = $0; print n, $0 }' "$work/film/sums" "$work/film/index" >"$work/film/candidates"
  local best size
  while read -r page; do
    [ "$page" != "$first" ] || continue
    best='' size=0
    while read -r n; do
      xwdtopnm "$work/film/$n.xwd" 2>/dev/null | pnmtopng >"$work/film/$n.png" 2>/dev/null || continue
      if [ "$(stat -c %s "$work/film/$n.png")" -ge "$size" ]; then
        size=$(stat -c %s "$work/film/$n.png") best=$n
      fi
    done < <(awk -v p="$page" '{ n = $1; $1 = ""; sub(/^ /, ""); if ($0 == p) print n }' \
               "$work/film/candidates")
    [ -n "$best" ] || { log "not caught: $page ($suffix)"; continue; }
    cp "$work/film/$best.png" "$out/$(file_name "$page")-$suffix.png"
    log "saved $(file_name "$page")-$suffix.png (picture $best of the film)"
  done < <(cut -d' ' -f2- "$work/film/candidates" | awk '!seen[$0]++')
}

# Names the operation pages that a film did not catch: they were over within one slice.
missed() { # FILE...
  local f
  for f in "$@"; do [ -f "$out/$f.png" ] || log "not caught: $f"; done
}

# Waits for a question box (by its caption) and saves it.
shoot_question() { # CAPTION NAME
  local i window=''
  for ((i = 0; i < 100; i++)); do
    window=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || die "the question '$1' did not appear"
  sleep 0.8
  xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$out/$2.png"
  log "saved $2.png"
}

language_code() {
  case "$1" in
    9) echo en ;; 405) echo cs ;; 7) echo de ;; 408) echo el ;; a) echo es ;; 425) echo et ;;
    42d) echo eu ;; 40b) echo fi ;; c) echo fr ;; 456) echo gl ;; 41a) echo hr ;; 40e) echo hu ;;
    10) echo it ;; 411) echo ja ;; 427) echo lt ;; 413) echo nl ;; 414) echo nb ;; 415) echo pl ;;
    1ff) echo szl ;; 416) echo pt-BR ;; 816) echo pt-PT ;; 18) echo ro ;; 19) echo ru ;;
    41b) echo sk ;; 424) echo sl ;; 7c1a) echo sr-Latn ;; c1a) echo sr-Cyrl ;; 41d) echo sv ;;
    41f) echo tr ;; 422) echo uk ;; 42a) echo vi ;; 804) echo zh-CN ;; *) echo "x$1" ;;
  esac
}

game() { # NAME [VERSION]: a fresh copy of a sample installation
  rm -rf "${work:?}/$1"
  cp -R "$sample/${2:-1.13.1}" "$work/$1"
  echo "$work/$1"
}

# --- smoke ---------------------------------------------------------------------------------------
mkdir -p "$work/empty"
# The keyboard: Enter goes forward on Welcome and ends the program on a result page.
start "$patcher" -appdir "$work/empty"
shoot welcome-en
xdotool key Return
wait_page "Not found" 20
shoot not_found-en
ends_with_key() { # KEY: the key ends the program within 10 s
  xdotool key "$1"
  for _ in $(seq 100); do kill -0 "$patcher_pid" 2>/dev/null || return 0; sleep 0.1; done
  die "$1 did not end the program on page '$(current_page)'"
}
ends_with_key Return
finish

start "$patcher" -appdir "$(game plain)"
button_continue
wait_page "Finished" 60
shoot finished-en
ends_with_key Escape
finish
[ "$smoke" = 0 ] || { log "smoke passed in $(($(date +%s) - started_at)) s"; exit 0; }

# --- every page a player can meet ----------------------------------------------------------------
# English: the exit question, the operation pages, the abort question (No, then Yes on a second
# run) and the pages they lead to.
start "$patcher" -appdir "$(game filmed)"
button_exit
shoot_question Update exit_question-en
answer n
film en button_continue Finished
missed installer_verification-en analysis-en patching-en
shoot finished-en 1
finish

for reply in n y; do
  start "$patcher" -appdir "$(game "abort-$reply")"
  # Stepped to the analysis and held still there, so that the click meets it still running.
  kill -STOP "$patcher_pid"
  button_continue
  for ((i = 0; i < 20000; i++)); do
    [ "$(current_page)" = Analysis ] && break
    kill -CONT "$patcher_pid"
    sleep 0.003
    kill -STOP "$patcher_pid"
  done
  button_abort
  kill -CONT "$patcher_pid"
  if [ "$reply" = n ]; then shoot_question Update abort_question-en; else sleep 1.5; fi
  answer "$reply"
  if [ "$reply" = y ]; then wait_page Aborted 30; shoot aborted-en 1; else wait_page Finished 60; fi
  finish
done

# Result pages of damaged or unusual installations, in English.
result_page() { # FILE PAGE EXE ARGS...
  local file=$1 page=$2
  shift 2
  start "$@"
  button_continue
  wait_page "$page" 60
  shoot "$file-en" 0.8
  finish
}
dir=$(game unsupported)
printf 'x' >>"$dir/bin/win_x86/velmora2.exe"
result_page unsupported_version "Unsupported version" "$patcher" -appdir "$dir"
dir=$(game steam)
touch "$dir/1460510_install.vdf"
result_page unsupported_steam "Unsupported Steam" "$patcher" -appdir "$dir"
cp "$patcher" "$work/damaged.exe"
offset=$(perl -e 'local $/; open my $c, "<:raw", $ARGV[0]; my $head = substr(<$c>, 0, 64);
  open my $e, "<:raw", $ARGV[1]; print index(<$e>, $head)' "$sample/sample.ktlc" "$work/damaged.exe")
[ "$offset" -gt 0 ] || die "the container is not in the program"
printf 'X' | dd of="$work/damaged.exe" bs=1 seek=$((offset + 4096)) conv=notrunc 2>/dev/null
result_page installer_corrupted "Installer corrupted" "$work/damaged.exe" -appdir "$(game damaged)"

# Failure pages a sound disk does not give: the same program behind a file layer that fails one
# chosen operation (built with the windows64 tree, like the program).
faulty=${FAULTY_PATCHER:-$root/build/windows64/tests/faulty_patcher.exe}
[ -f "$faulty" ] || die "$faulty is missing: run scripts/build.sh windows64"
export ORVO_PROGRAM="Z:$patcher"
for row in "open_error:Open error:open_for_reading:data/main.pak" "creation_error:Creation error:create:readme.txt.tmp.0" \
           "read_error:Read error:read:data/main.pak" "write_error:Write error:write:main.pak.tmp.0"; do
  IFS=: read -r file page fault suffix <<<"$row"
  ORVO_FAULT="$fault:$suffix" result_page "$file" "$page" "$faulty" -appdir "$(game "$file")"
done
unset ORVO_PROGRAM

# Already up to date: the program with the container made for 1.13.3 put in by ktlpack.
ktlpack=${KTLPACK:-$root/build/native/src/tools/publisher/ktlpack}
[ -x "$ktlpack" ] || die "$ktlpack is missing: run scripts/build.sh native"
"$ktlpack" embed "$patcher" "$sample/current.ktlc" -o "$work/current.exe" >/dev/null || die "ktlpack embed failed"
result_page already_up_to_date "Already patched" "$work/current.exe" -appdir "$(game current 1.13.3)"

# Every language: Welcome, Game not found, the operation pages, Insufficient space and the
# critical failure (a folder where finalization must put a file), on a small file system.
mkdir -p "$work/small"
mount -t tmpfs -o size=5m tmpfs "$work/small" && tmpfs_mounted=1 || die "cannot mount a tmpfs"
for ((index = 0; index < 32; index++)); do
  start "$patcher" -appdir "$work/empty"
  code=$(language_code "$(select_language "$index")")
  shoot "welcome-$code" 0.5
  button_continue
  wait_page "Not found" 20
  shoot "not_found-$code" 0.5
  finish

  rm -rf "$work/small/game"
  cp -R "$sample/1.13.1" "$work/small/game"
  mkdir -p "$work/small/game/data/maps/frostmere.map"
  echo in-the-way >"$work/small/game/data/maps/frostmere.map/file"
  start "$patcher" -appdir "$work/small/game"
  select_language "$index" >/dev/null
  film "$code" button_continue "Insufficient space"
  shoot "insufficient_space-$code" 0.5
  film "$code" button_continue "Critical filesystem error"
  missed "installer_verification-$code" "analysis-$code" "patching-$code"
  wait_page "Critical filesystem error" 120
  shoot "critical_filesystem_error-$code" 1
  finish
done
log "done in $(($(date +%s) - started_at)) s: $(ls "$out" | wc -l) pictures in $out"
exit 0
}
