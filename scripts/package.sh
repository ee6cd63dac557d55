#!/usr/bin/env bash
# Installs what is missing, builds Tarvik without its tests in build-package/
# (or PACKAGE_BUILD_DIR) and makes the Debian package there:
# build-package/tarvik_VERSION_ARCH.deb. Install it with
#   sudo apt install ./build-package/tarvik_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >&2
source scripts/buildflags.sh
build_dir=${PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVIK_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr "${debian_flags[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
rm -f "$build_dir"/tarvik_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$build_dir"/tarvik_*.deb
