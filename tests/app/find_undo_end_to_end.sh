#!/usr/bin/env bash
# Drives find and undo in the real program in a real X window, as a user
# would, and checks the file it writes.
#
# usage: find_undo_end_to_end.sh TARVIK CAPTION_PREFIX
#
# On a private X server without a window manager and in private HOME and XDG
# folders, on a list of three plain tasks (stamps, plumber, plants), the user:
#   1. starts Tarvik, answers No to the association question;
#   2. presses Ctrl+F and types "PLUMB": the first row shown is now the
#      plumber task, the second of the list, so a click there and Update
#      (Alt+U) with a new text change that entry;
#   3. presses Ctrl+F, types "plANTS" and Enter, which selects the plants
#      task and shows it in the pane; Update changes that one;
#   4. closes the bar with Escape, clicks the first row (stamps), deletes it
#      with Alt+D and Yes, and takes the deletion back with Ctrl+Z;
#   5. saves with File > Save and leaves with File > Exit, which must ask
#      nothing.
# The saved list must hold all three entries in their places, the stamps
# unchanged, the other two with their new texts and edited dates.
#
# E2E_STEP_TIMEOUT (seconds, default 40) bounds each wait. On failure the
# working folder is kept with a screenshot and the program's output.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARVIK CAPTION_PREFIX" >&2
  exit 2
fi
tarvik=$1
caption_prefix=$2
step_timeout=${E2E_STEP_TIMEOUT:-40}

if [ -z "${TARVIK_E2E_WORK:-}" ]; then
  for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "find_undo_end_to_end: $tool is missing (scripts/setup.sh installs it)" >&2
      exit 1
    fi
  done
  work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-find-e2e.XXXXXX")
  status=0
  TARVIK_E2E_WORK=$work xvfb-run -a -n $((100 + RANDOM % 400)) -e "$work/xvfb.log" \
    -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset" bash "$0" "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "find_undo_end_to_end: FAILED (status $status); the working folder $work is kept" >&2
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
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb QT_FONT_DPI=96
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
unset QT_IM_MODULE XMODIFIERS QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME

list=$work/three.tvk
printf 'Status;Task;Added;Edited;User\r\n1;Buy stamps;d1;;ann\r\n1;Call the plumber;d2;;bob\r\n1;Water the plants;d3;;cyd\r\n' >"$list"
original=$(cat "$list")
caption="$caption_prefix ($list)"
tarvik_pid=

log() {
  echo "find_undo_end_to_end: $*"
}

fail() {
  echo "find_undo_end_to_end: FAIL: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "find_undo_end_to_end: screenshot: $work/failure.png" >&2
  if [ -n "$tarvik_pid" ]; then
    kill "$tarvik_pid" 2>/dev/null || true
    wait "$tarvik_pid" 2>/dev/null || true
  fi
  [ -s "$work/tarvik.log" ] && sed 's/^/  | /' "$work/tarvik.log" >&2
  exit 1
}

visible_windows() {
  xdotool search --onlyvisible --pid "$tarvik_pid" 2>/dev/null || true
}

is_visible() {
  visible_windows | grep -qx -- "$1"
}

gone() {
  ! is_visible "$1"
}

new_window() {
  local id known
  for id in $(visible_windows); do
    for known in "$@"; do
      [ "$id" = "$known" ] && continue 2
    done
    echo "$id"
    return 0
  done
  return 1
}

window_named() {
  local id
  for id in $(visible_windows); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$1" ] && echo "$id" && return 0
  done
  return 1
}

found=
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + step_timeout))
  until found=$("$@"); do
    kill -0 "$tarvik_pid" 2>/dev/null || { tarvik_pid= && fail "the program ended while waiting for $what"; }
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${step_timeout}s"
    sleep 0.1
  done
}

xdo() {
  xdotool "$@" || fail "xdotool $* failed"
}

click_at() {
  xdo mousemove --window "$1" "$2" "$3"
  xdo click "$4"
}

focus() {
  xdo windowraise "$1"
  xdo windowfocus --sync "$1"
}

# Answers the question that the key opens with Yes.
answer_yes() {
  local main=$1 question
  wait_for "a question" new_window "$main"
  question=$found
  sleep 0.2
  focus "$question"
  xdo key alt+y
  wait_for "the question to close" gone "$question"
  focus "$main"
}

file_menu() {
  local main=$1 letter=$2 menu
  focus "$main"
  xdo key alt+f
  wait_for "the File menu" new_window "$main"
  menu=$found
  sleep 0.2
  xdo key "$letter"
  wait_for "the File menu to close" gone "$menu"
}

# Replaces the text of the task box and presses Update.
update_task() {
  local main=$1 text=$2
  click_at "$main" 150 $((menu_bar + 220)) 1
  sleep 0.2
  xdo key ctrl+a
  xdo type --delay 25 "$text"
  # Alt+U is the Unresolved tab's key as well; the button is clicked.
  click_at "$main" 388 $((menu_bar + 238)) 1
  sleep 0.3
}

log "starting $tarvik \"$list\""
"$tarvik" "$list" >"$work/tarvik.log" 2>&1 &
tarvik_pid=$!

wait_for "the association question" new_window
question=$found
sleep 0.2
focus "$question"
xdo key alt+n
wait_for "the association question to close" gone "$question"
wait_for "the main window \"$caption\"" window_named "$caption"
main=$found
sleep 0.3
focus "$main"

# The inner area is 345 px high; the rest is the menu bar. The first row's
# middle is some 53 px into the inner area.
geometry=$(xdotool getwindowgeometry --shell "$main") || fail "no geometry of the main window"
eval "$(grep -E '^HEIGHT=' <<<"$geometry")"
menu_bar=$((HEIGHT - 345))
first_row_y=$((menu_bar + 53))

log "Ctrl+F, \"PLUMB\", a click on the first row shown and Update"
xdo key ctrl+f
sleep 0.3
xdo type --delay 25 'PLUMB'
sleep 0.3
click_at "$main" 150 "$first_row_y" 1
sleep 0.2
update_task "$main" 'Call the plumber today'

log "Ctrl+F, \"plANTS\" and Enter, then Update"
xdo key ctrl+f
sleep 0.3
# Only keys of the keyboard map are typed: xdotool types other characters by
# changing the map for a moment, which a busy program may read too late.
xdo type --delay 25 'plANTS'
xdo key Return
sleep 0.3
update_task "$main" 'Water the plants twice'

log "Escape, Delete of the first row, Ctrl+Z"
xdo key ctrl+f
sleep 0.2
xdo key Escape
sleep 0.3
click_at "$main" 150 "$first_row_y" 1
sleep 0.2
xdo key alt+d
answer_yes "$main"
sleep 0.2
xdo key ctrl+z
sleep 0.3

log "File > Save"
file_menu "$main" s
saved() {
  [ "$(cat "$list")" != "$original" ]
}
wait_for "the list to be saved" saved
sleep 0.5
log "File > Exit"
file_menu "$main" e
ended() {
  ! kill -0 "$tarvik_pid" 2>/dev/null
}
wait_for "the program to end (did it ask something?)" ended
status=0
wait "$tarvik_pid" || status=$?
tarvik_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

mapfile -t lines < <(tr -d '\r' <"$list")
[ "${#lines[@]}" -eq 4 ] || fail "the saved list has ${#lines[@]} lines: ${lines[*]}"
[ "${lines[0]}" = 'Status;Task;Added;Edited;User' ] || fail "header: ${lines[0]}"
[ "${lines[1]}" = '1;Buy stamps;d1;;ann' ] || fail "the deleted entry did not come back in its place: ${lines[1]}"
[[ "${lines[2]}" =~ ^1\;Call\ the\ plumber\ today\;d2\;[^\;]*[0-9]:[0-9][0-9][^\;]*\;bob$ ]] ||
  fail "the entry found with PLUMB was not updated: ${lines[2]}"
[[ "${lines[3]}" =~ ^1\;Water\ the\ plants\ twice\;d3\;[^\;]*[0-9]:[0-9][0-9][^\;]*\;cyd$ ]] ||
  fail "the entry found with plANTS and Enter was not updated: ${lines[3]}"
log "passed"
