#!/usr/bin/env bash
# Drives the real program in a real X window, as a user would, and checks the
# file it writes.
#
# usage: end_to_end.sh TARVIK SAMPLE_LIST EXPECTED_LIST CAPTION_PREFIX
#   TARVIK          the program
#   SAMPLE_LIST     the list to start with (a copy of it is edited)
#   EXPECTED_LIST   what the copy must hold afterwards; "@NOW@" stands for a
#                   date field that the program sets to the current time
#   CAPTION_PREFIX  product name and version, as the window caption starts
#
# On a private X server without a window manager and in private HOME and XDG
# folders, the user:
#   1. starts Tarvik on the copy, answers Yes to the association question and
#      confirms the message that follows;
#   2. right-clicks the first entry of the Tasks list (a plain task, the Tasks
#      list being sorted by status) and chooses "Complete" in the popup;
#   3. types a two-line task and a user and presses New (Alt+N);
#   4. saves with File > Save (Alt+F, S) and leaves with File > Exit (Alt+F, E),
#      which must ask nothing, the list being saved;
#   5. starts Tarvik once more on the saved list: the association is in place,
#      so it must ask nothing, and leaving again must not touch the file.
# Every wait is for a window to appear or go, a file to change or the program
# to end, each with a deadline; the short pauses only let the program settle.
#
# E2E_INSTALLED=1 runs an installed program (found through PATH, its desktop
# entry and file type in E2E_XDG_DATA_DIRS): the type is its own already, so
# run 1 must ask nothing and write no mimeapps.list.
# Run 2 passes Qt's "-style Fusion" before the path, which Qt must take.
#
# E2E_STEP_TIMEOUT (seconds, default 40) bounds each wait. On failure the
# working folder is kept with a screenshot and the program's output
# (x11_harness.sh, which this test shares with the other real-window tests).
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 TARVIK SAMPLE_LIST EXPECTED_LIST CAPTION_PREFIX" >&2
  exit 2
fi
tarvik=$1
sample=$2
expected=$3
caption_prefix=$4
e2e_name=end_to_end
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool
enter_private_x_server tarvik-e2e "$0" "$@"
use_private_desktop

list_dir="$work/My lists"
mkdir -p "$list_dir"
list="$list_dir/sample.tvk"
cp "$sample" "$list"
caption="$caption_prefix ($list)"

# Each run is a program of its own name: tarvik-1, tarvik-2.
program=
run=0
start_tarvik() {
  run=$((run + 1))
  program=tarvik-$run
  log "run $run: starting $tarvik $* \"$list\""
  start_program "$program" "$tarvik" "$@" "$list"
}

# The main window or, if another window comes first, that one; one look at
# the windows decides, as the main window may show up at any moment.
main_window_or_other() {
  local id known name
  for id in $(windows_of "$program"); do
    for known in "$@"; do
      [ "$id" = "$known" ] && continue 2
    done
    name=$(caption_of "$id")
    if [ "$name" = "$caption" ]; then
      echo "main $id"
    else
      echo "other $id \"$name\""
    fi
    return 0
  done
  return 1
}

# Waits for the main window and keeps its id in $main; any other window that
# shows up first fails the test with the given explanation.
main=
wait_for_main_window() {
  local unexpected=$1
  shift
  wait_for "the main window \"$caption\"" main_window_or_other "$@"
  case $found in
    main\ *) main=${found#main } ;;
    *) fail "$unexpected: window ${found#other }" ;;
  esac
}

# A message box, not the main window, must have come.
expect_message_box() {
  local window=$1 what=$2
  [ "$(caption_of "$window")" != "$caption" ] ||
    fail "the main window came instead of $what"
  log "$what: window $window"
}

# Waits for the program to end after the main window was told to close; a
# window that appears meanwhile is a question that should not have been asked.
ended_or_window() {
  local id
  if program_ended "$program"; then
    echo ended
  elif id=$(new_window "$program" "$@"); then
    echo "window $id"
  else
    return 1
  fi
}

wait_for_clean_exit() {
  local main=$1
  wait_for "the program to end" ended_or_window "$main"
  if [ "$found" != ended ]; then
    # The main window itself may still be closing; anything else is a question.
    fail "a window appeared while closing ($found): the program asked although nothing was unsaved"
  fi
  expect_clean_end "$program"
}

file_changed() {
  ! cmp -s "$sample" "$list"
}

# ---------------------------------------------------------------------------
# Run 1: association, status change, new entry, save, exit.

start_tarvik

if [ "${E2E_INSTALLED:-0}" = 1 ]; then
  wait_for_main_window "another window came instead of the main window (the installed program asked about the association?)"
  [ ! -e "$XDG_CONFIG_HOME/mimeapps.list" ] || fail "the installed program wrote $XDG_CONFIG_HOME/mimeapps.list"
  log "the installed program asked nothing about the association"
else
  # Before the main window shows, its load asks about the association.
  wait_for "the association question" new_window "$program"
  question=$found
  expect_message_box "$question" "the association question"
  sleep 0.2
  focus "$question"
  xdo key alt+y
  wait_for "the association question to close" gone "$program" "$question"

  wait_for "the association message" new_window "$program" "$question"
  confirmation=$found
  expect_message_box "$confirmation" "the association message"
  sleep 0.2
  focus "$confirmation"
  xdo key Return
  wait_for "the association message to close" gone "$program" "$confirmation"

  wait_for_main_window "another window came instead of the main window after the association message" \
    "$question" "$confirmation"
  [ -s "$XDG_CONFIG_HOME/mimeapps.list" ] || fail "the association wrote no $XDG_CONFIG_HOME/mimeapps.list"
fi
log "main window: $main"
sleep 0.3
focus "$main"

# The lists start 26 px into the inner area (tab control at 2, list at 24);
# their header and rows are about 18 px high, so the middle of the first row
# is some 27 px into the list.
measure_menu_bar "$main"
first_row_y=$((menu_bar + 53))

log "right-click on the first entry of the Tasks list"
click_at "$main" 150 "$first_row_y" 3
wait_for "the status popup" new_window "$program" "$main"
popup=$found
geometry=$(xdotool getwindowgeometry --shell "$popup") || fail "no geometry of the status popup"
eval "$(grep -E '^(WIDTH|HEIGHT)=' <<<"$geometry")"
log "status popup: window $popup, ${WIDTH}x${HEIGHT}"
sleep 0.2
# "Complete" is the first of eight items and a divider.
click_at "$popup" $((WIDTH / 3)) $((HEIGHT * 6 / 100)) 1
wait_for "the status popup to close" gone "$program" "$popup"
sleep 0.2

log "typing a new entry and pressing New"
focus "$main"
# txtTask and txtUser, by their places in the editing pane.
click_at "$main" 150 $((menu_bar + 220)) 1
sleep 0.2
# Choosing the status left the entry in the boxes. Only keys of the keyboard
# map are typed: xdotool types other characters by changing the map for a
# moment, and a busy program may read the key after the map has changed back.
xdo key ctrl+a
xdo type --delay 25 'Buy 20 stamps'
xdo key Return
xdo type --delay 25 'then post the letters'
click_at "$main" 200 $((menu_bar + 281)) 1
sleep 0.2
xdo key ctrl+a
xdo type --delay 25 'Zoe'
xdo key alt+n
sleep 0.2

log "File > Save"
file_menu "$program" "$main" s
wait_for "the list to be saved" file_changed
sleep 0.5
if other=$(new_window "$program" "$main"); then
  fail "a window appeared after saving (window $other): an error message?"
fi

log "File > Exit"
file_menu "$program" "$main" e
wait_for_clean_exit "$main"

# ---------------------------------------------------------------------------
# The saved list, byte for byte, except the two dates set to now.

[ "$(tail -c 2 "$list" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || fail "the saved list does not end in CR LF"
# A "@NOW@" field of the expected list takes any date text with a four-digit
# year and a time of day that is none of the dates of the original list (a
# date copied from another field is no date of now); the awk program keeps
# every other byte.
LC_ALL=C awk -v expected="$expected" -v original="$sample" '
  BEGIN {
    FS = ";"; OFS = ";"
    while ((getline line < original) > 0)
      if (split(line, field, ";") >= 4) {
        old[field[3]] = 1
        old[field[4]] = 1
      }
  }
  {
    if ((getline want < expected) > 0 && split(want, field, ";") == NF) {
      for (i = 1; i <= NF; i++)
        if (field[i] == "@NOW@" && !($i in old) && $i ~ /[0-9][0-9][0-9][0-9]/ && $i ~ /[0-9]:[0-9][0-9]/)
          $i = "@NOW@"
    }
    print
  }' "$list" >"$work/saved-masked.tvk"
if ! cmp -s "$expected" "$work/saved-masked.tvk"; then
  echo "end_to_end: expected (-) and saved (+) lists, dates of now masked, cat -A style:" >&2
  diff -u <(cat -A "$expected") <(cat -A "$work/saved-masked.tvk") | tail -n +3 >&2 || true
  fail "the saved list differs from $expected"
fi
log "the saved list is as expected"
cp "$list" "$work/saved.tvk"

# ---------------------------------------------------------------------------
# Run 2: the association holds, the saved list opens, and leaving a list that
# was not edited asks nothing and writes nothing.

start_tarvik -style Fusion
wait_for_main_window "another window came instead of the main window (the association question again?)"
log "main window: $main, no question asked"
sleep 0.3
log "File > Exit"
file_menu "$program" "$main" e
wait_for_clean_exit "$main"
cmp -s "$work/saved.tvk" "$list" || fail "leaving an unedited list changed the file"

log "passed"
