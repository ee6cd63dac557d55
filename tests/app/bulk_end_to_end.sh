#!/usr/bin/env bash
# Changes many entries at once in the real program in a real X window, as a
# user would, and checks the file it writes.
#
# usage: bulk_end_to_end.sh TARVIK CAPTION_PREFIX
#
# On a private X server without a window manager and in private HOME and XDG
# folders, on a list of five plain tasks, the user:
#   1. starts Tarvik, answers No to the association question;
#   2. clicks the second task and Shift+clicks the fourth, right-clicks the
#      third and chooses Complete: the three go to the Completed list;
#   3. saves with File > Save;
#   4. clicks the first task, selects both tasks left with Ctrl+A, presses
#      Delete and answers Yes, then takes it back with Ctrl+Z;
#   5. saves again and leaves with File > Exit, which must ask nothing.
# The first save must hold the two tasks left, then the three completed in
# their order, each with an edited date; the second the same bytes.
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
e2e_name=bulk_end_to_end
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-bulk-e2e "$0" "$@"
use_private_desktop

list=$work/five.tvk
printf 'Status;Task;Added;Edited;User\r\n' >"$list"
for n in 1 2 3 4 5; do
  printf '1;Task %s;d%s;;ann\r\n' "$n" "$n" >>"$list"
done
original=$(cat "$list")
caption="$caption_prefix ($list)"

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

# The first row's middle is some 53 px into the inner area; rows are about
# 18 px high.
measure_menu_bar "$main"
row_y() {
  echo $((menu_bar + 53 + ($1 - 1) * 18))
}

log "a click on the second task, Shift+click on the fourth"
click_at "$main" 150 "$(row_y 2)" 1
sleep 0.2
xdo keydown shift
click_at "$main" 150 "$(row_y 4)" 1
xdo keyup shift
sleep 0.2

log "right-click on the third, Complete"
click_at "$main" 150 "$(row_y 3)" 3
wait_for "the status popup" new_window tarvik "$main"
popup=$found
geometry=$(xdotool getwindowgeometry --shell "$popup") || fail "no geometry of the status popup"
eval "$(grep -E '^(WIDTH|HEIGHT)=' <<<"$geometry")"
sleep 0.2
# "Complete" is the first of eight items and a divider.
click_at "$popup" $((WIDTH / 3)) $((HEIGHT * 6 / 100)) 1
wait_for "the status popup to close" gone tarvik "$popup"
sleep 0.2

modified() {
  stat -c %y "$list"
}
changed_since() {
  [ "$(modified)" != "$1" ]
}

log "File > Save"
before=$(modified)
file_menu tarvik "$main" s
wait_for "the list to be saved" changed_since "$before"
first_save=$(cat "$list")
[ "$first_save" != "$original" ] || fail "the status change was not saved"

log "a click on the first task, Ctrl+A, Delete, Yes, Ctrl+Z"
click_at "$main" 150 "$(row_y 1)" 1
sleep 0.2
xdo key ctrl+a
sleep 0.2
xdo key Delete
wait_for "the question" new_window tarvik "$main"
question=$found
sleep 0.2
focus "$question"
xdo key alt+y
wait_for "the question to close" gone tarvik "$question"
focus "$main"
sleep 0.2
xdo key ctrl+z
sleep 0.3

log "File > Save"
before=$(modified)
file_menu tarvik "$main" s
wait_for "the list to be saved again" changed_since "$before"
sleep 0.5
log "File > Exit"
file_menu tarvik "$main" e
expect_clean_end tarvik

mapfile -t lines < <(tr -d '\r' <<<"$first_save")
[ "${#lines[@]}" -eq 6 ] || fail "the first save has ${#lines[@]} lines: ${lines[*]}"
[ "${lines[1]}" = '1;Task 1;d1;;ann' ] || fail "first task: ${lines[1]}"
[ "${lines[2]}" = '1;Task 5;d5;;ann' ] || fail "second task: ${lines[2]}"
for i in 3 4 5; do
  n=$((i - 1))
  [[ "${lines[$i]}" =~ ^2\;Task\ $n\;d$n\;[^\;]*[0-9]:[0-9][0-9][^\;]*\;ann$ ]] ||
    fail "completed entry $n: ${lines[$i]}"
done
[ "$(cat "$list")" = "$first_save" ] || fail "Delete and Ctrl+Z did not leave the list as saved: $(cat "$list")"
log "passed"
