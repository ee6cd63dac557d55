#!/usr/bin/env bash
# Runs clang-tidy-14 with .clang-tidy over the sources under src/ and fails on
# any warning. It needs a configured build's compile_commands.json: the first
# argument, else BUILD_DIR, else build-release.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-${BUILD_DIR:-build-release}}
if [ ! -f "$build_dir/compile_commands.json" ]; then
  echo "tidy: no $build_dir/compile_commands.json; configure a build first" >&2
  exit 1
fi
start=$(date +%s)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Each source once; the headers are checked through them (HeaderFilterRegex).
git ls-files -z -- 'src/*.cpp' \
  | xargs -0 -n 4 -P "$(nproc)" clang-tidy-14 -p "$build_dir" --quiet --warnings-as-errors='*' >"$log" 2>&1 || {
  grep -E 'warning:|error:' -A3 "$log" | grep -v '^[0-9]* warnings generated' >&2 || cat "$log" >&2
  echo "tidy: clang-tidy found the faults above" >&2
  exit 1
}
echo "tidy: every source under src/ passes clang-tidy ($(($(date +%s) - start)) s)"
