#!/usr/bin/env bash
# Installs what is missing, builds Tarvik and starts it on the sample list
# (or on the file given as argument).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
file=${1:-examples/sample.tvk}
exec "${BUILD_DIR:-build-release}/src/app/tarvik" "$(realpath "$file")"
