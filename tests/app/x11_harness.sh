# shellcheck shell=bash
# The harness of the tests that drive the real program in a real X window:
# a private X server, a private desktop around the program, and the helpers
# that find its windows, wait for them and fail with enough left behind to
# see why. Sourced, not run.
#
# A test sets e2e_name (the prefix of its messages), sources this file, and
# then calls, in this order:
#   require_tools TOOL...            leaves if a tool is missing
#   enter_private_x_server PREFIX "$0" "$@"
#                                    runs the test again inside a private X
#                                    server and leaves with its status
#   use_private_desktop              HOME, XDG folders, locale and Qt
# and drives the program with start_program, wait_for and the window helpers.
# A test may define failure_details to add what only it knows to a failure.
#
# E2E_STEP_TIMEOUT (seconds, default 40) bounds each wait. On failure the
# working folder is kept with a screenshot and the programs' output.
# E2E_XDG_DATA_DIRS replaces /usr/share as XDG_DATA_DIRS, so that the
# packaged program finds its desktop entry and file type in its own root.

: "${e2e_name:?set e2e_name before sourcing x11_harness.sh}"
e2e_step_timeout=${E2E_STEP_TIMEOUT:-40}

log() {
  echo "$e2e_name: $*"
}

require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    echo "$e2e_name: $tool is missing (scripts/setup.sh installs it)" >&2
    exit 1
  done
}

# ---------------------------------------------------------------------------
# The private X server and desktop.

# Outside the private X server, starts one, runs the test (the rest of the
# arguments) again inside it and leaves with its status; the working folder
# $work is removed after a pass and kept after a failure. Inside, it only
# sets $work.
enter_private_x_server() {
  local prefix=$1 status=0
  shift
  if [ -n "${TARVIK_E2E_WORK:-}" ]; then
    work=$TARVIK_E2E_WORK
    return 0
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/$prefix.XXXXXX")
  # A random first display number keeps parallel runs from racing for one.
  # Without -noreset the server resets whenever its last client leaves, and a
  # program that connects just then finds no display.
  TARVIK_E2E_WORK=$work xvfb-run -a -n $((100 + RANDOM % 400)) -e "$work/xvfb.log" \
    -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset" bash "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    rm -rf "$work"
  else
    [ -s "$work/xvfb.log" ] && sed 's/^/xvfb: /' "$work/xvfb.log" >&2
    echo "$e2e_name: FAILED (status $status); the working folder $work is kept" >&2
  fi
  exit "$status"
}

# The program sees nothing of the user's desktop: its own home, XDG folders
# and no session bus (a test that wants one starts its own). GIO and
# update-mime-database still find the system's MIME database and programs
# under /usr/share.
use_private_desktop() {
  mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/config-dirs" "$work/runtime"
  chmod 700 "$work/runtime"
  export HOME=$work/home
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
  export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_DIRS=$work/config-dirs XDG_DATA_DIRS=${E2E_XDG_DATA_DIRS:-/usr/share}
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
  unset AT_SPI_BUS_ADDRESS
  # The same date texts on every machine, UTF-8 file names, and the texts
  # in English whatever languages the user prefers.
  export LC_ALL=C.UTF-8
  unset LANGUAGE
  # Geometry in twips is 15 to the pixel at 96 dpi; the clicks count on it.
  export QT_QPA_PLATFORM=xcb QT_FONT_DPI=96
  unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
  unset QT_IM_MODULE XMODIFIERS QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME
}

# ---------------------------------------------------------------------------
# The programs under test, each by a name of the test's choosing; its output
# goes to $work/NAME.log.

declare -A pids # of the programs not yet collected
programs=()     # every program started, for their output on failure

start_program() {
  local name=$1
  shift
  "$@" >"$work/$name.log" 2>&1 &
  pids[$name]=$!
  programs+=("$name")
}

program_ended() {
  ! kill -0 "${pids[$1]}" 2>/dev/null
}

# Takes the exit status of a program that has ended into $status.
collect_exit_status() {
  status=0
  wait "${pids[$1]}" || status=$?
  unset "pids[$1]"
}

# Waits for a program that was told to leave and requires a clean end.
expect_clean_end() {
  local name=$1
  wait_for "$name to end (did it ask something?)" program_ended "$name"
  collect_exit_status "$name"
  [ "$status" -eq 0 ] || fail "$name ended with status $status"
  log "$name ended with status 0"
}

# Polls until the command succeeds and keeps its output in $found; fails the
# test when the deadline passes or a program ends on the way.
found=
wait_for() {
  local what=$1 deadline=$((SECONDS + e2e_step_timeout)) name
  shift
  until found=$("$@"); do
    for name in "${!pids[@]}"; do
      program_ended "$name" || continue
      # The end of a program may be what was waited for.
      found=$("$@") && return 0
      collect_exit_status "$name"
      fail "$name ended (status $status) while waiting for $what"
    done
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${e2e_step_timeout}s"
    sleep 0.1
  done
}

# ---------------------------------------------------------------------------
# Windows. Without a window manager, message boxes and open menus are plain
# top-level windows of the program, found by its process id.

windows_of() {
  [ -n "${pids[$1]:-}" ] || return 0
  xdotool search --onlyvisible --pid "${pids[$1]}" 2>/dev/null || true
}

caption_of() {
  xdotool getwindowname "$1" 2>/dev/null || true
}

# The first visible window of a program that is none of the given ones.
new_window() {
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

window_named() {
  local name=$1 caption=$2 id
  for id in $(windows_of "$name"); do
    [ "$(caption_of "$id")" = "$caption" ] && echo "$id" && return 0
  done
  return 1
}

gone() {
  ! windows_of "$1" | grep -qx -- "$2"
}

# The height of the main window's menu bar into $menu_bar. The inner area is
# 345 px high (5175 twips); the rest is the menu bar, and every click into
# the window is measured from its foot.
measure_menu_bar() {
  local geometry HEIGHT
  geometry=$(xdotool getwindowgeometry --shell "$1") || fail "no geometry of the main window"
  eval "$(grep -E '^HEIGHT=' <<<"$geometry")"
  menu_bar=$((HEIGHT - 345))
  [ "$menu_bar" -gt 0 ] && [ "$menu_bar" -lt 60 ] || fail "unexpected main window height (menu bar $menu_bar px)"
}

# ---------------------------------------------------------------------------
# The user's hands.

# An xdotool action; its failure fails the test like any other.
xdo() {
  xdotool "$@" || fail "xdotool $* failed"
}

# Window-relative pointer moves and clicks.
click_at() {
  local window=$1 x=$2 y=$3 button=$4
  xdo mousemove --window "$window" "$x" "$y"
  xdo click "$button"
}

focus() {
  xdo windowraise "$1"
  xdo windowfocus --sync "$1"
}

# Opens the File menu of a program's main window and picks an item by its
# letter.
file_menu() {
  local name=$1 main=$2 letter=$3 menu
  focus "$main"
  xdo key alt+f
  wait_for "the File menu of $name" new_window "$name" "$main"
  menu=$found
  sleep 0.2
  xdo key "$letter"
  wait_for "the File menu to close" gone "$name" "$menu"
}

# ---------------------------------------------------------------------------
# Failure: what the screen showed, how the programs ended and what they said.

screenshot() {
  import -window root "$work/$1.png" 2>/dev/null
}

show_windows() {
  local name id
  for name in "${!pids[@]}"; do
    for id in $(windows_of "$name"); do
      echo "  $name: window $id \"$(caption_of "$id")\"" \
        "$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/^ *//;2,3p' | tr '\n' ' ')"
    done
  done
}

fail() {
  local name
  echo "$e2e_name: FAIL: $*" >&2
  echo "$e2e_name: visible windows of the programs:" >&2
  show_windows >&2
  screenshot failure && echo "$e2e_name: screenshot: $work/failure.png" >&2
  for name in "${!pids[@]}"; do
    if program_ended "$name"; then
      collect_exit_status "$name"
      echo "$e2e_name: $name had ended with status $status" >&2
    else
      kill "${pids[$name]}" 2>/dev/null || true
      wait "${pids[$name]}" 2>/dev/null || true
    fi
  done
  for name in "${programs[@]}"; do
    [ -s "$work/$name.log" ] || continue
    echo "$e2e_name: output of $name:" >&2
    sed 's/^/  | /' "$work/$name.log" >&2
  done
  if declare -F failure_details >/dev/null; then
    failure_details >&2 || true
  fi
  exit 1
}
