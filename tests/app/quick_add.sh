#!/usr/bin/env bash
# tarvik --add beside a window open on the same list, in a real X window.
#
# usage: quick_add.sh TARVIK
#
# On a private X server without a window manager and in private HOME and XDG
# folders:
#   1. Tarvik starts on the list (answering the association question and its
#      message);
#   2. tarvik --add adds an entry from the terminal while nothing is edited;
#   3. the window, having followed the file, gets an entry typed in (Alt+N)
#      and saves (Alt+F, S) without a merge message;
#   4. the file holds both new entries and the old ones, each once.
# E2E_STEP_TIMEOUT (seconds, default 40) bounds each wait. On failure the
# working folder is kept with a screenshot, the program's output and the list
# (x11_harness.sh).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 TARVIK" >&2
  exit 2
fi
tarvik=$1
e2e_name=quick_add
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-quick-add "$0" "$@"
use_private_desktop

list="$work/list.tvk"
printf 'Status;Task;Added;Edited;User\r\n1;first;d1;;me\r\n6;note;d2;;me\r\n' >"$list"

failure_details() {
  echo "quick_add: the list:"
  cat -A "$list"
}

start_program A "$tarvik" "$list"
while true; do
  wait_for "a window of A" new_window A
  main=$found
  [[ "$(caption_of "$main")" == *"($list)" ]] && break
  log "answering \"$(caption_of "$main")\""
  sleep 0.2
  focus "$main"
  xdo key Return
  wait_for "the message to close" gone A "$main"
done

holds() { grep -q ";$1;" "$list"; }
changed_since() { ! cmp -s "$1" "$list"; }

log "tarvik --add from the terminal"
"$tarvik" --add 'from the terminal' --user cli "$list" || fail "tarvik --add failed"
holds 'from the terminal' || fail "--add did not write its entry"
# The watcher waits for the file to settle; give it ample time.
sleep 2

log "an entry typed in the window, then Save"
focus "$main"
measure_menu_bar "$main"
click_at "$main" 150 $((menu_bar + 220)) 1
sleep 0.2
xdo key ctrl+a
xdo type --delay 25 'from the window'
xdo key alt+n
sleep 0.3
cp "$list" "$work/before.tvk"
file_menu A "$main" s
wait_for "the save" changed_since "$work/before.tvk"
sleep 1
if id=$(new_window A "$main"); then
  fail "the save showed a window ($(caption_of "$id")): the window had not followed the file"
fi
for task in 'first' 'note' 'from the terminal' 'from the window'; do
  [ "$(grep -c ";$task;" "$list")" = 1 ] || fail "the file holds '$task' $(grep -c ";$task;" "$list") times"
done

file_menu A "$main" e
expect_clean_end A
log "passed"
