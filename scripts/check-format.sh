#!/usr/bin/env bash
# Fails when a C++ file differs from the style in .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' \
  | xargs -0 clang-format-14 --dry-run -Werror
echo "format: every C++ file follows .clang-format"
