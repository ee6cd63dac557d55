#!/usr/bin/env bash
# Unsaved edits outlive a kill: the real program in a real X window.
#
# usage: journal_end_to_end.sh TARVIK CAPTION_PREFIX
#
# On a private X server and desktop, on a list of one task, the user:
#   1. starts Tarvik, answers No to the association question, and adds two
#      tasks with New, saving nothing;
#   2. the program is killed with SIGKILL;
#   3. starts Tarvik again on the list: after the association question it
#      asks whether to restore the unsaved changes; Yes;
#   4. saves with File > Save and leaves with File > Exit, which must ask
#      nothing.
# The saved list must hold the old task and both new ones, and no journal
# may be left.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARVIK CAPTION_PREFIX" >&2
  exit 2
fi
tarvik=$1
caption_prefix=$2
e2e_name=journal_end_to_end
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-journal-e2e "$0" "$@"
use_private_desktop

list=$work/one.tvk
printf 'Status;Task;Added;Edited;User\r\n1;Buy stamps;d1;;ann\r\n' >"$list"
original=$(cat "$list")
caption="$caption_prefix ($list)"

# Answers the next question of the program with the given key and returns
# to the main window, if there is one yet.
answer() {
  local key=$1 main=${2:-} question
  wait_for "a question" new_window tarvik $main
  question=$found
  sleep 0.2
  focus "$question"
  xdo key "$key"
  wait_for "the question to close" gone tarvik "$question"
}

start_on_list() {
  log "starting $tarvik \"$list\""
  start_program tarvik "$tarvik" "$list"
  answer alt+n
}

add_task() {
  local main=$1 text=$2
  click_at "$main" 150 $((menu_bar + 220)) 1
  sleep 0.2
  xdo key ctrl+a
  xdo type --delay 25 "$text"
  click_at "$main" 388 $((menu_bar + 203)) 1
  sleep 0.3
}

start_on_list
wait_for "the main window \"$caption\"" window_named tarvik "$caption"
main=$found
sleep 0.3
focus "$main"
measure_menu_bar "$main"

log "New twice, then kill -9"
add_task "$main" 'Call the plumber'
add_task "$main" 'Water the plants'
sleep 0.5
kill -9 "${pids[tarvik]}"
wait_for "the killed program to end" program_ended tarvik
collect_exit_status tarvik
log "killed, status $status"
[ "$(cat "$list")" = "$original" ] || fail "the file changed before any save"

start_on_list
log "Yes to the restore question"
answer alt+y
wait_for "the main window \"$caption\"" window_named tarvik "$caption"
main=$found
sleep 0.3

log "File > Save"
file_menu tarvik "$main" s
saved() {
  [ "$(cat "$list")" != "$original" ]
}
wait_for "the list to be saved" saved
sleep 0.5
log "File > Exit"
file_menu tarvik "$main" e
expect_clean_end tarvik

grep -q $'^1;Buy stamps;d1;;ann\r$' "$list" || fail "the old task is gone: $(cat "$list")"
grep -q '^1;Call the plumber;' "$list" || fail "the first new task did not come back: $(cat "$list")"
grep -q '^1;Water the plants;' "$list" || fail "the second new task did not come back: $(cat "$list")"
[ "$(tr -d "\r" <"$list" | wc -l)" -eq 4 ] || fail "the saved list has other lines: $(cat "$list")"
journals=$HOME/.local/state/tarvik/journals
[ -z "$(ls -A "$journals")" ] || fail "a journal is left after the save: $(ls -A "$journals")"
log "passed"
