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
# working folder is kept with a screenshot and the program's output
# (x11_harness.sh).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARVIK CAPTION_PREFIX" >&2
  exit 2
fi
tarvik=$1
caption_prefix=$2
e2e_name=find_undo_end_to_end
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-find-e2e "$0" "$@"
use_private_desktop

list=$work/three.tvk
printf 'Status;Task;Added;Edited;User\r\n1;Buy stamps;d1;;ann\r\n1;Call the plumber;d2;;bob\r\n1;Water the plants;d3;;cyd\r\n' >"$list"
original=$(cat "$list")
caption="$caption_prefix ($list)"

# Answers the question that the key opens with Yes.
answer_yes() {
  local main=$1 question
  wait_for "a question" new_window tarvik "$main"
  question=$found
  sleep 0.2
  focus "$question"
  xdo key alt+y
  wait_for "the question to close" gone tarvik "$question"
  focus "$main"
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
start_program tarvik "$tarvik" "$list"

wait_for "the association question" new_window tarvik
question=$found
sleep 0.2
focus "$question"
xdo key alt+n
wait_for "the association question to close" gone tarvik "$question"
wait_for "the main window \"$caption\"" window_named tarvik "$caption"
main=$found
sleep 0.3
focus "$main"

# The first row's middle is some 53 px into the inner area.
measure_menu_bar "$main"
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
file_menu tarvik "$main" s
saved() {
  [ "$(cat "$list")" != "$original" ]
}
wait_for "the list to be saved" saved
sleep 0.5
log "File > Exit"
file_menu tarvik "$main" e
expect_clean_end tarvik

mapfile -t lines < <(tr -d '\r' <"$list")
[ "${#lines[@]}" -eq 4 ] || fail "the saved list has ${#lines[@]} lines: ${lines[*]}"
[ "${lines[0]}" = 'Status;Task;Added;Edited;User' ] || fail "header: ${lines[0]}"
[ "${lines[1]}" = '1;Buy stamps;d1;;ann' ] || fail "the deleted entry did not come back in its place: ${lines[1]}"
[[ "${lines[2]}" =~ ^1\;Call\ the\ plumber\ today\;d2\;[^\;]*[0-9]:[0-9][0-9][^\;]*\;bob$ ]] ||
  fail "the entry found with PLUMB was not updated: ${lines[2]}"
[[ "${lines[3]}" =~ ^1\;Water\ the\ plants\ twice\;d3\;[^\;]*[0-9]:[0-9][0-9][^\;]*\;cyd$ ]] ||
  fail "the entry found with plANTS and Enter was not updated: ${lines[3]}"
log "passed"
