#!/usr/bin/env bash
# kill -9 at random moments: the real program in a real X window loses at most
# the edit in progress.
#
# usage: kill_campaign.sh TARVIK CAPTION_PREFIX [ROUNDS]
#
# On a private X server and desktop, on a list of KILL_CAMPAIGN_ENTRIES tasks
# (default 3000), each round:
#   1. starts Tarvik on the list (No to the association question; Yes to
#      every question after it, the restore question among them);
#   2. saves what was restored (Ctrl+S), then sends a burst of edits by keys:
#      New with a text of its own, Complete from the status popup on the
#      first row, Delete of the first row (Yes), Ctrl+A and Complete on every
#      task, Ctrl+Z; sometimes with a Ctrl+S among them;
#   3. a timer kills the program with SIGKILL after a random delay, during
#      the burst or a few milliseconds after a Ctrl+S;
#   4. the next round's start restores and saves, and its file is checked:
#      a valid list with no entry twice, and the edits of the killed round
#      applied in order up to at least the last one whose keys had all been
#      handled before the kill (KILL_CAMPAIGN_MARGIN_MS before it, default
#      300); only the edits after that may be missing.
# ROUNDS defaults to KILL_CAMPAIGN_ROUNDS or 3. $work/campaign.log gets a line
# per round: the kill's delay and moment, the edits sent, which came back.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 TARVIK CAPTION_PREFIX [ROUNDS]" >&2
  exit 2
fi
tarvik=$1
caption_prefix=$2
rounds=${3:-${KILL_CAMPAIGN_ROUNDS:-3}}
entries=${KILL_CAMPAIGN_ENTRIES:-3000}
margin=${KILL_CAMPAIGN_MARGIN_MS:-300}
e2e_name=kill_campaign
. "$(dirname "${BASH_SOURCE[0]}")/x11_harness.sh"
require_tools xvfb-run xdotool awk
enter_private_x_server tarvik-kill-campaign "$0" "$@"
use_private_desktop

list=$work/many.tvk
caption="$caption_prefix ($list)"
campaign_log=${KILL_CAMPAIGN_LOG:-$work/campaign.log}

new_list() {
  awk -v n="$entries" 'BEGIN {
    printf "Status;Task;Added;Edited;User\r\n"
    for (i = 1; i <= n; i++) printf "1;Base %05d;d;;ann\r\n", i
  }' >"$list"
}

now_ms() {
  date +%s%3N
}

# Raw xdotool for the burst: the program may be gone at any key.
keys() {
  xdotool "$@" >/dev/null 2>&1 || true
}

alive() {
  kill -0 "${pids[tarvik]}" 2>/dev/null
}

# Waits up to two seconds for a window of the program other than the main one.
other_window() {
  local tries=0
  other=
  while [ "$tries" -lt 40 ]; do
    other=$(new_window tarvik "$main") && return 0
    alive || return 1
    sleep 0.05
    tries=$((tries + 1))
  done
  return 1
}

# ---------------------------------------------------------------------------
# The edits. Each appends "KIND TEXT START END" to $sent when all its keys
# are out; rows are measured from the foot of the menu bar.

row1=0
task_box=0
first_row() {
  keys mousemove --window "$main" 150 "$row1" click 1
  keys key Home
  sleep 0.05
}

complete_from_popup() {
  keys mousemove --window "$main" 150 "$row1" click 3
  other_window || return 1
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$other" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')" || return 1
  # "Complete" is the first of the popup's items.
  keys mousemove --window "$other" $((WIDTH / 3)) $((HEIGHT * 6 / 100)) click 1
}

edit_new() {
  keys mousemove --window "$main" 150 "$task_box" click 1
  keys key ctrl+a
  keys type --delay 8 "$1"
  keys key ctrl+Return
}

edit_complete() {
  first_row
  complete_from_popup
}

edit_delete() {
  first_row
  keys key Delete
  other_window || return 1
  keys windowfocus "$other" key alt+y
}

edit_bulk() {
  first_row
  keys key ctrl+a
  complete_from_popup
}

# From the list: in the task box Ctrl+Z takes back typing.
edit_undo() {
  keys mousemove --window "$main" 150 "$row1" click 1
  keys key ctrl+z
}

save_keys() {
  keys windowfocus "$main" key ctrl+s
}

# ---------------------------------------------------------------------------
# The file: counts of tasks and completed entries, and every text.

# Prints "TASKS COMPLETED"; fails on anything but a valid list without an
# entry twice.
check_file() {
  awk -F ';' '
    NR == 1 { if ($0 != "Status;Task;Added;Edited;User\r") { print "bad header: " $0 > "/dev/stderr"; bad = 1 }; next }
    !/^[12];[^;]+;[^;]*;[^;]*;[^;]*\r$/ { print "bad line " NR ": " $0 > "/dev/stderr"; bad = 1; next }
    { if (seen[$2]++) { print "twice: " $2 > "/dev/stderr"; bad = 1 }; if ($1 == 1) t++; else c++ }
    END { if (bad) exit 1; printf "%d %d\n", t, c }' "$1"
}

# The longest run of the sent edits (one a line, "KIND TEXT") from REQUIRED
# on that turns the list BEFORE into the list AFTER, as the window shows it:
# the tasks in the file's order, a New on top, Complete and Delete on the
# first row. Prints how many edits that is, or -1 and what differs.
edits_that_came_back() {
  python3 - "$@" <<'PY'
import sys
before, after, sent, required = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def lists(path):
    tasks, done = [], []
    with open(path, newline="") as f:
        for line in f.read().split("\r\n")[1:]:
            if line:
                status, text = line.split(";")[:2]
                (tasks if status == "1" else done).append(text)
    return tasks, done

tasks0, done0 = lists(before)
edits = [line.split(" ", 1) for line in open(sent).read().splitlines()]

def state(n):
    tasks, done, undo = list(tasks0), list(done0), []
    for kind, text in edits[:n]:
        if kind == "new":
            tasks.insert(0, text); undo.append(("new", text))
        elif kind == "complete" and tasks:
            done.append(tasks.pop(0)); undo.append(("complete", None))
        elif kind == "delete" and tasks:
            tasks.pop(0)
        elif kind == "bulk":
            undo.append(("bulk", (list(tasks), list(done)))); done += tasks; tasks = []
        elif kind == "undo":
            what, data = undo.pop()
            if what == "new":
                tasks.remove(data)
            elif what == "bulk":
                tasks, done = data
    return sorted(tasks), sorted(done)

found = tuple(sorted(x) for x in lists(after))
for n in range(len(edits), required - 1, -1):
    if state(n) == found:
        print(n)
        sys.exit(0)
want = state(required)
print(-1, "missing tasks", sorted(set(want[0]) - set(found[0]))[:5], "missing completed",
      sorted(set(want[1]) - set(found[1]))[:5], "extra tasks", sorted(set(found[0]) - set(want[0]))[:5],
      "extra completed", sorted(set(found[1]) - set(want[1]))[:5])
PY
}

# ---------------------------------------------------------------------------
# A round's start: questions answered, restored edits saved.

start_and_restore() {
  local deadline questions=0 quiet=0 id
  start_program tarvik "$tarvik" "$list"
  main=
  wait_for "the association question" new_window tarvik
  id=$found
  sleep 0.2
  focus "$id"
  xdo key alt+n
  wait_for "the association question to close" gone tarvik "$id"
  # Then the restore question (and whatever else asks), each answered Yes,
  # until the main window stands alone for a second.
  deadline=$((SECONDS + e2e_step_timeout))
  while [ "$quiet" -lt 10 ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the window did not settle after the questions"
    program_ended tarvik && fail "tarvik ended during its start"
    main=$(window_named tarvik "$caption") || main=
    if id=$(new_window tarvik $main) && [ "$(caption_of "$id")" != "$caption" ]; then
      sleep 0.2
      focus "$id"
      xdo key alt+y
      wait_for "the question to close" gone tarvik "$id"
      questions=$((questions + 1))
      quiet=0
    elif [ -n "$main" ]; then
      quiet=$((quiet + 1))
    fi
    sleep 0.1
  done
  restore_questions=$questions
  focus "$main"
  if [ "$questions" -gt 0 ]; then
    local before
    before=$(stat -c %y "$list")
    xdo key ctrl+s
    saved() { [ "$(stat -c %y "$list")" != "$before" ]; }
    wait_for "the restored list to be saved" saved
  fi
}

# ---------------------------------------------------------------------------
# The kill of a round and the check of the next round's file.

declare -a sent
declare -a ends
kill_at=0

check_round() {
  local counts required=0 i came_back
  counts=$(check_file "$list") || fail "round $round: the file is not a valid list without doubles"
  # The edits whose keys were all handled in time; the rest may be missing.
  for ((i = 0; i < ${#sent[@]}; i++)); do
    [ $((ends[i] + margin)) -le "$kill_at" ] && required=$((i + 1))
  done
  printf '%s\n' "${sent[@]}" >"$work/sent"
  came_back=$(edits_that_came_back "$work/before.tvk" "$list" "$work/sent" "$required")
  echo "round $((round - 1)): kill after ${kill_delay}ms in $kill_moment; sent ${#sent[@]} [$(printf '%s,' "${sent[@]}")]; required $required; came back ${came_back%% *}; file $counts; questions $restore_questions" >>"$campaign_log"
  [ "${came_back%% *}" -ge 0 ] || fail "round $((round - 1)): edits lost: sent [${sent[*]}], $required required: $came_back"
  lost_optional=$((lost_optional + ${#sent[@]} - ${came_back%% *}))
  kills=$((kills + 1))
}

run_burst() {
  local mode=$1 n i kind save_at=-1 text
  sent=()
  ends=()
  round_texts=()
  save_sent=0
  n=$((3 + RANDOM % 6))
  [ "$mode" = burst ] && [ $((RANDOM % 2)) -eq 0 ] && save_at=$((RANDOM % n))
  last=none
  for ((i = 0; i < n; i++)); do
    alive || return 0
    if [ "$i" -eq "$save_at" ]; then
      save_keys
      save_sent=$(now_ms)
      sleep 0.$((RANDOM % 3))
    fi
    # Ctrl+Z only right after a New or a bulk change; a bulk change is always
    # followed by one, so the next round has tasks to change.
    case $last in
    bulk) kind=undo ;;
    new) kind=$(printf '%s\n' new new complete delete undo | shuf -n 1) ;;
    *) kind=$(printf '%s\n' new new complete delete bulk | shuf -n 1) ;;
    esac
    [ "$mode" = save ] && [ "$kind" = bulk ] && kind=new
    text=
    case $kind in
    new)
      text="Round $round edit $i"
      round_texts+=("$text")
      edit_new "$text" || true
      ;;
    *) "edit_$kind" || true ;;
    esac
    # Sent even when the program died on the way: it may have been handled.
    sent+=("$kind $text")
    ends+=("$(now_ms)")
    alive || return 0
    last=$kind
    sleep 0.1
  done
}

lost_optional=0
kills=0
new_list
for ((round = 1; round <= rounds + 1; round++)); do
  start_and_restore
  if [ "$round" -gt 1 ]; then
    check_round
  fi
  check_file "$list" >/dev/null || fail "the list is not valid"
  cp "$list" "$work/before.tvk"
  [ "$round" -le "$rounds" ] || break
  measure_menu_bar "$main"
  row1=$((menu_bar + 53))
  task_box=$((menu_bar + 220))

  if [ "$(grep -c '^1;' "$list")" -lt 50 ]; then
    xdo key ctrl+q
    expect_clean_end tarvik
    new_list
    start_and_restore
    cp "$list" "$work/before.tvk"
  fi

  if [ $((RANDOM % 3)) -eq 0 ]; then
    # Edits, then a Ctrl+S and the kill within 150 ms of it.
    run_burst save
    # Every edit handled before the save, so all of them must come back.
    sleep 0.5
    # A save of a few thousand entries takes some tens of milliseconds.
    kill_delay=$((RANDOM % 50))
    kill_moment="save"
    save_keys
    sleep "$(printf '0.%03d' "$kill_delay")"
    kill -9 "${pids[tarvik]}" 2>/dev/null || true
    kill_at=$(now_ms)
  else
    kill_delay=$((RANDOM % 4000))
    kill_moment="burst"
    (
      sleep "$(printf '%d.%03d' $((kill_delay / 1000)) $((kill_delay % 1000)))"
      kill -9 "${pids[tarvik]}" 2>/dev/null
      now_ms >"$work/kill_at"
    ) &
    killer=$!
    run_burst burst
    # A burst that ended before the timer: the kill comes while idle.
    wait "$killer" || true
    kill_at=$(cat "$work/kill_at")
    [ "${#ends[@]}" -gt 0 ] && [ "${ends[-1]}" -lt "$((kill_at - 300))" ] && kill_moment="idle after burst"
    [ "$save_sent" -gt 0 ] && kill_moment="$kill_moment, $((kill_at - save_sent))ms after a Ctrl+S"
  fi
  kill -9 "${pids[tarvik]}" 2>/dev/null || true
  wait_for "the killed program to end" program_ended tarvik
  collect_exit_status tarvik
  [ "$status" -eq 137 ] || fail "round $round: the program ended with status $status before the kill"
done

xdo key ctrl+q
expect_clean_end tarvik
[ -z "$(ls -A "$HOME/.local/state/tarvik/journals" 2>/dev/null)" ] || fail "a journal is left after the last save"
log "passed: $rounds rounds, $lost_optional edits in progress at a kill not restored"
