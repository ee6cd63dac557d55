#!/usr/bin/env bash
# Configures and builds Tarvik with a preset of CMakePresets.json: release
# (into build-release/, with Debian's hardening flags) unless PRESET names
# another; BUILD_DIR puts it elsewhere. Further arguments go to the configure
# step.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PRESET:-release}
flags=()
case "$preset" in
  dev) build_dir=${BUILD_DIR:-build} ;;
  release)
    build_dir=${BUILD_DIR:-build-release}
    source scripts/buildflags.sh
    flags=("${debian_flags[@]}")
    ;;
  *) build_dir=${BUILD_DIR:-build-$preset} ;;
esac
cmake --preset "$preset" -B "$build_dir" "${flags[@]}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
