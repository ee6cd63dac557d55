#!/usr/bin/env bash
# Makes data/screenshots/main-window.png, the metainfo's screenshot: the main
# window of the program in build/ (or the one given) with the sample list,
# on a private X server, in English, answering No to the association question,
# at 800x520 pixels.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/src/app/tarvik}")
out=$PWD/data/screenshots/main-window.png
e2e_name=make-screenshot
# shellcheck source=../tests/app/x11_harness.sh
source tests/app/x11_harness.sh
require_tools xdotool import xvfb-run
enter_private_x_server tarvik-screenshot "$0" "$@"
use_private_desktop
declare -A pids=()
programs=()

cp examples/sample.tvk "$work/sample.tvk"
start_program tarvik "$program" "$work/sample.tvk"
wait_for "the association question" new_window tarvik
question=$found
sleep 0.2
focus "$question"
xdo key alt+n
wait_for "the main window" window_named tarvik "Tarvik $(sed -n 's/^project(Tarvik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt) ($work/sample.tvk)"
main=$found
# Larger than the start size, as software centres show screenshots.
xdo windowsize --sync "$main" 800 520
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$main" -strip -colors 256 "PNG8:$out"
kill "${pids[tarvik]}"
size=$(stat -c %s "$out")
echo "make-screenshot: $out, $(identify -format '%wx%h' "$out"), $size bytes"
[ "$size" -le 204800 ] || { echo "make-screenshot: larger than 200 KB" >&2; exit 1; }
