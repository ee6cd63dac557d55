#!/usr/bin/env bash
# Fails when a .ts file under translations/ lacks a text of the sources, holds
# a text the sources no longer have, or leaves one untranslated: each file is
# brought up to date in a scratch copy, which must then be complete.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-ts.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
status=0
for ts in translations/*.ts; do
  copy=$scratch/$(basename "$ts")
  cp "$ts" "$copy"
  "$lupdate" -silent -locations none src -ts "$copy"
  if ! cmp -s "$ts" "$copy"; then
    echo "check-translations: $ts is not up to date with the sources; run scripts/update-translations.sh" >&2
    status=1
  fi
  for mark in unfinished obsolete vanished; do
    count=$(grep -c "type=\"$mark\"" "$copy" || true)
    if [ "$count" -gt 0 ]; then
      echo "check-translations: $ts has $count $mark message(s)" >&2
      grep -B3 "type=\"$mark\"" "$copy" | grep '<source>' | sed 's/^/  /' >&2
      status=1
    fi
  done
done
exit $status
