#!/bin/sh
# Plays the updater's terminal front end in a tmux pseudo-terminal: keys go in with send-keys,
# the screen comes back with capture-pane. Each scenario is a run of steps in the table below.
patcher=$1
sample=$2
root=$(mktemp -d)
socket="$root/tmux.sock"
failures=0

tm() { tmux -u -S "$socket" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$root"' EXIT

# Steps, one a line: scenario, action, argument.
#   keys K...      tmux key names sent one by one
#   burst K...     tmux key names sent at once
#   see TEXT       TEXT appears on the screen (within a few seconds)
#   reads TEXT     TEXT appears once the screen's lines are joined with spaces (wrapped text)
#   once TEXT      TEXT appears exactly once on the screen
#   size WxH       resizes the terminal
#   exit CODE      the program ended with CODE
#   game VERSION   the game folder equals the sample game VERSION
steps='
update|see|This program will update the game to version 1.13.3
update|see|[ Continue ]  [ Exit ]
update|keys|Enter
update|see|The game update was successfully finished.
update|keys|Enter
update|exit|0
update|game|1.13.3
exit_question|keys|Escape
exit_question|see|The update is not finished! Do you really want to exit?
exit_question|see|[ Yes ]  [ No ]
exit_question|keys|n
exit_question|see|This program will update the game to version 1.13.3
exit_question|keys|Escape
exit_question|see|Do you really want to exit?
exit_question|keys|y
exit_question|exit|0
exit_question|game|1.13.1
language|keys|F2
language|see|Deutsch
language|keys|Home Enter
language|see|Velmora II - Aktualisierung 1.13.3
language|see|Dieses Programm aktualisiert das Spiel auf Version 1.13.3
language|see|[ Weiter ]  [ Beenden ]
language|keys|F2 End Up Enter
language|see|このプログラムはゲームをバージョン 1.13.3 にアップデートします。
language|keys|Escape y
language|exit|0
language|game|1.13.1
abort|burst|Enter Escape
abort|see|The update is in progress! Do you really want to abort?
abort|keys|y
abort|see|(X) Update was aborted on user request. The game files were not modified.
abort|keys|Enter
abort|exit|0
abort|game|1.13.1
resize|size|30x14
resize|reads|This program will update the game to version 1.13.3
resize|once|[ Continue ]
resize|size|100x20
resize|see|This program will update the game to version 1.13.3
resize|once|[ Continue ]
resize|keys|Escape Enter
resize|exit|0
'

fail() { # SCENARIO MESSAGE
  echo "$1: $2"
  echo "--- screen:"
  tm capture-pane -p -t "$1" 2>/dev/null
  echo "---"
  failures=$((failures + 1))
}

screen_text() { tm capture-pane -p -t "$1" 2>/dev/null; }
joined_text() { screen_text "$1" | sed 's/^ *//; s/ *$//' | tr '\n' ' ' | tr -s ' '; }

# until_true SECONDS COMMAND...: retries every tenth of a second.
until_true() {
  tries=$(($1 * 10))
  shift
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

shows() { screen_text "$1" | grep -qF -- "$2"; }
reads() { joined_text "$1" | grep -qF -- "$2"; }
shows_once() { [ "$(screen_text "$1" | grep -oF -- "$2" | wc -l)" -eq 1 ]; }
ended() { [ -s "$root/$1/code" ]; }

start() { # SCENARIO: a copy of 1.13.1, the program in a detached 80 x 24 session, English
  dir="$root/$1"
  mkdir -p "$dir"
  cp -R "$sample/1.13.1" "$dir/game"
  cat >"$dir/run.sh" <<RUN
unset LC_ALL LC_MESSAGES KTL_PATCH_OPTION_AUTOMATIC
export LANG=en_US.UTF-8 TMPDIR="$dir" XDG_RUNTIME_DIR="$dir"
"$patcher" -appdir "$dir/game"
echo \$? >"$dir/code"
RUN
  tm new-session -d -s "$1" -x 80 -y 24 "sh '$dir/run.sh'"
  until_true 10 shows "$1" "[ Exit ]" || fail "$1" "the welcome page did not appear"
}

step() { # SCENARIO ACTION ARGUMENT
  case "$2" in
  keys) for key in $3; do tm send-keys -t "$1" "$key"; sleep 0.2; done ;;
  # the key names split into words on purpose
  burst) tm send-keys -t "$1" $3 ;;
  see) until_true 10 shows "$1" "$3" || fail "$1" "'$3' not on the screen" ;;
  reads) until_true 5 reads "$1" "$3" || fail "$1" "'$3' does not read on the screen" ;;
  once) until_true 5 shows_once "$1" "$3" || fail "$1" "'$3' not exactly once on the screen" ;;
  size) tm resize-window -t "$1" -x "${3%x*}" -y "${3#*x}" ;;
  exit)
    if ! until_true 10 ended "$1"; then
      fail "$1" "the program did not end"
    elif [ "$(cat "$root/$1/code")" != "$3" ]; then
      echo "$1: exit code $(cat "$root/$1/code"), expected $3"
      failures=$((failures + 1))
    fi ;;
  game) diff -r "$root/$1/game" "$sample/$3" >/dev/null || { echo "$1: the game does not match $3"; failures=$((failures + 1)); } ;;
  esac
}

current=
echo "$steps" | while IFS='|' read -r scenario action argument; do
  [ -n "$scenario" ] || continue
  if [ "$scenario" != "$current" ]; then
    current=$scenario
    start "$scenario"
  fi
  step "$scenario" "$action" "$argument"
  echo "$failures" >"$root/failures"
done
failures=$(cat "$root/failures" 2>/dev/null || echo 1)
echo "patcher_terminal: $failures failures"
[ "$failures" -eq 0 ]
