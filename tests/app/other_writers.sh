#!/usr/bin/env bash
# Two copies of the real program on one list, and a sync tool's replacement
# of the file, in a real X window.
#
# usage: other_writers.sh TARVIK
#
# On a private X server without a window manager and in private HOME and XDG
# folders:
#   1. Tarvik A starts on the list (answering the association question and
#      its message), then Tarvik B on the same list;
#   2. each adds an entry (Alt+N) and saves (Alt+F, S), A first; B's save
#      merges A's entry and says so in one message, which is confirmed;
#   3. a new version of the file is written beside it and moved over it with
#      mv, as sync tools deliver a change, while nothing is edited in A;
#   4. A adds an entry and saves: had A not followed the file, the save would
#      merge and show a message; no window may appear, and the file must hold
#      the moved version and the new entry;
#   5. both leave with File > Exit, asking nothing.
# E2E_STEP_TIMEOUT (seconds, default 40) bounds each wait. On failure the
# working folder is kept with a screenshot and the programs' output.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 TARVIK" >&2
  exit 2
fi
tarvik=$1
step_timeout=${E2E_STEP_TIMEOUT:-40}

if [ -z "${TARVIK_E2E_WORK:-}" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "other_writers: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
  done
  work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-writers.XXXXXX")
  status=0
  TARVIK_E2E_WORK=$work xvfb-run -a -n $((100 + RANDOM % 400)) -e "$work/xvfb.log" \
    -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset" bash "$0" "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "other_writers: FAILED (status $status); the working folder $work is kept" >&2
  fi
  exit "$status"
fi

work=$TARVIK_E2E_WORK
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/config-dirs" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_DIRS=$work/config-dirs XDG_DATA_DIRS=/usr/share
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_FONT_DPI=96
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
unset QT_IM_MODULE XMODIFIERS QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME

list="$work/Synced/shared.tvk"
mkdir -p "$work/Synced"
printf 'Status;Task;Added;Edited;User\r\n1;first;d1;;me\r\n6;note;d2;;me\r\n' >"$list"

declare -A pids
log() { echo "other_writers: $*"; }

fail() {
  echo "other_writers: FAIL: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "other_writers: screenshot: $work/failure.png" >&2
  local name
  for name in "${!pids[@]}"; do
    kill "${pids[$name]}" 2>/dev/null || true
    echo "other_writers: output of $name:" >&2
    sed 's/^/  | /' "$work/$name.log" >&2 || true
  done
  echo "other_writers: the list:" >&2
  cat -A "$list" >&2 || true
  exit 1
}

xdo() { xdotool "$@" || fail "xdotool $* failed"; }

windows_of() { xdotool search --onlyvisible --pid "${pids[$1]}" 2>/dev/null || true; }

found=
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + step_timeout))
  until found=$("$@"); do
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${step_timeout}s"
    sleep 0.1
  done
}

# The one window of the program that is none of the given ones.
other_window() {
  local name=$1 id known
  shift
  for id in $(windows_of "$name"); do
    for known in "$@"; do
      [ "$id" = "$known" ] && continue 2
    done
    echo "$id"
    return 0
  done
  return 1
}
gone() { ! windows_of "$1" | grep -qx -- "$2"; }
focus() {
  xdo windowraise "$1"
  xdo windowfocus --sync "$1"
}
caption_of() { xdotool getwindowname "$1" 2>/dev/null || true; }

declare -A mains
# Starts a program and waits for its main window; the first start answers
# the association question with Yes and confirms its message.
start() {
  local name=$1 id
  "$tarvik" "$list" >"$work/$name.log" 2>&1 &
  pids[$name]=$!
  log "$name: started"
  while true; do
    wait_for "a window of $name" other_window "$name"
    id=$found
    if [[ "$(caption_of "$id")" == *"($list)" ]]; then
      mains[$name]=$id
      return 0
    fi
    log "$name: answering \"$(caption_of "$id")\""
    sleep 0.2
    focus "$id"
    xdo key Return
    wait_for "the message to close" gone "$name" "$id"
  done
}

# Types a task into the editing pane and presses New.
add_entry() {
  local name=$1 task=$2 main=${mains[$1]} height
  focus "$main"
  height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
  local menu_bar=$((height - 345))
  xdo mousemove --window "$main" 150 $((menu_bar + 220)) click 1
  sleep 0.2
  xdo key ctrl+a
  xdo type --delay 25 "$task"
  xdo key alt+n
  sleep 0.3
}

file_menu() {
  local name=$1 letter=$2 main=${mains[$1]}
  focus "$main"
  xdo key alt+f
  wait_for "the File menu of $name" other_window "$name" "$main"
  local menu=$found
  sleep 0.2
  xdo key "$letter"
  wait_for "the File menu to close" gone "$name" "$menu"
}

holds() { grep -q ";$1;" "$list"; }
changed_since() { ! cmp -s "$1" "$list"; }

# No window but the main one, for a moment.
expect_no_message() {
  local name=$1
  sleep 1
  if id=$(other_window "$name" "${mains[$name]}"); then
    fail "$name showed a window ($(caption_of "$id")) where none was due"
  fi
}

start A
start B
log "main windows: A ${mains[A]}, B ${mains[B]}"
[ "$(other_window B "${mains[B]}" || true)" = "" ] || fail "B asked something at start"

add_entry A 'from A'
add_entry B 'from B'

log "A saves"
cp "$list" "$work/before.tvk"
file_menu A s
wait_for "A's save" changed_since "$work/before.tvk"
expect_no_message A
holds 'from A' || fail "A's entry is not in the file"

log "B saves, merging A's entry"
cp "$list" "$work/before.tvk"
file_menu B s
wait_for "B's merge message" other_window B "${mains[B]}"
message=$found
log "B says: $(caption_of "$message")"
focus "$message"
xdo key Return
wait_for "B's save" changed_since "$work/before.tvk"
holds 'from A' && holds 'from B' || fail "the file does not hold both entries"

log "a new version is moved over the file"
sleep 1
{ cat "$list"; printf '8;moved in;d3;;sync\r\n'; } >"$work/Synced/.shared.tvk.syncthing.tmp"
mv "$work/Synced/.shared.tvk.syncthing.tmp" "$list"
cp "$list" "$work/moved.tvk"
# The watcher waits for the file to settle; give it ample time.
sleep 2
import -window root "$work/after-mv.png" 2>/dev/null || true

add_entry A 'after mv'
file_menu A s
wait_for "A's save" changed_since "$work/moved.tvk"
expect_no_message A
for task in 'first' 'note' 'from A' 'from B' 'moved in' 'after mv'; do
  holds "$task" || fail "the file lost '$task'"
done
[ "$(grep -c ';from A;' "$list")" = 1 ] || fail "A's entry is in the file more than once"

for name in A B; do
  file_menu "$name" e
  wait_for "$name to end" bash -c "! kill -0 ${pids[$name]} 2>/dev/null"
  status=0
  wait "${pids[$name]}" || status=$?
  [ "$status" -eq 0 ] || fail "$name ended with status $status"
  unset "pids[$name]"
done
log "passed"
