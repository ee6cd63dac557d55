#!/usr/bin/env bash
# Brings translations/*.ts up to date with the texts in src/: new texts come in
# unfinished, texts gone from the sources are dropped. Then translate what is
# unfinished (with linguist, or by hand in the .ts file) and remove the
# type="unfinished" mark; the test suite's translations_complete fails while
# any text is untranslated or a .ts file is out of date.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
"$lupdate" -silent -locations none -no-obsolete src -ts translations/tarvik_*.ts
