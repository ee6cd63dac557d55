#!/usr/bin/env bash
# Installs what is missing, builds Tarvik with its tests and runs the whole suite,
# checks it with clang-tidy, builds and checks the Debian package, then runs it
# again under the sanitizers and fuzzes the task-list file for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/check-format.sh
./scripts/check-layers.sh
# The release preset builds the benchmark too, so that it keeps compiling; it
# is run by hand.
./scripts/build.sh
./scripts/check-tidy.sh "${BUILD_DIR:-build-release}"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --test-dir "${BUILD_DIR:-build-release}" --output-on-failure --parallel "$(nproc)" --timeout 600
./scripts/check-package.sh
./scripts/reliability.sh
