#!/usr/bin/env bash
# Installs what is missing, builds Tarvik in Release (the release preset) and
# runs the benchmark:
# one line per measurement (operation, entries, median, unit) on standard
# output, everything else on standard error. Arguments go to tarvik-bench.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >&2
./scripts/build.sh >&2
exec "${BUILD_DIR:-build-release}/bench/tarvik-bench" "$@"
