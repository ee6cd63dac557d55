#!/usr/bin/env bash
# Configures and builds Tarvik in build/ (Release unless BUILD_TYPE says
# otherwise), with Debian's hardening flags.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/buildflags.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "${debian_flags[@]}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
