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
# working folder is kept with a screenshot, the programs' output and the list
# (x11_harness.sh).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 TARVIK" >&2
  exit 2
fi
tarvik=$1
e2e_name=other_writers
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-writers "$0" "$@"
use_private_desktop

list="$work/Synced/shared.tvk"
mkdir -p "$work/Synced"
printf 'Status;Task;Added;Edited;User\r\n1;first;d1;;me\r\n6;note;d2;;me\r\n' >"$list"

failure_details() {
  echo "other_writers: the list:"
  cat -A "$list"
}

declare -A mains
# Starts a program and waits for its main window; the first start answers
# the association question with Yes and confirms its message.
start() {
  local name=$1 id
  start_program "$name" "$tarvik" "$list"
  log "$name: started"
  while true; do
    wait_for "a window of $name" new_window "$name"
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
  local name=$1 task=$2 main=${mains[$1]} menu_bar
  focus "$main"
  measure_menu_bar "$main"
  click_at "$main" 150 $((menu_bar + 220)) 1
  sleep 0.2
  xdo key ctrl+a
  xdo type --delay 25 "$task"
  xdo key alt+n
  sleep 0.3
}

holds() { grep -q ";$1;" "$list"; }
changed_since() { ! cmp -s "$1" "$list"; }

# No window but the main one, for a moment.
expect_no_message() {
  local name=$1
  sleep 1
  if id=$(new_window "$name" "${mains[$name]}"); then
    fail "$name showed a window ($(caption_of "$id")) where none was due"
  fi
}

start A
start B
log "main windows: A ${mains[A]}, B ${mains[B]}"
[ "$(new_window B "${mains[B]}" || true)" = "" ] || fail "B asked something at start"

add_entry A 'from A'
add_entry B 'from B'

log "A saves"
cp "$list" "$work/before.tvk"
file_menu A "${mains[A]}" s
wait_for "A's save" changed_since "$work/before.tvk"
expect_no_message A
holds 'from A' || fail "A's entry is not in the file"

log "B saves, merging A's entry"
cp "$list" "$work/before.tvk"
file_menu B "${mains[B]}" s
wait_for "B's merge message" new_window B "${mains[B]}"
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
screenshot after-mv || true

add_entry A 'after mv'
file_menu A "${mains[A]}" s
wait_for "A's save" changed_since "$work/moved.tvk"
expect_no_message A
for task in 'first' 'note' 'from A' 'from B' 'moved in' 'after mv'; do
  holds "$task" || fail "the file lost '$task'"
done
[ "$(grep -c ';from A;' "$list")" = 1 ] || fail "A's entry is in the file more than once"

for name in A B; do
  file_menu "$name" "${mains[$name]}" e
  expect_clean_end "$name"
done
log "passed"
