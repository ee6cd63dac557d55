#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a room it may not use.
# Which room may use which is the table between the "rooms" marks in the
# README; this script reads it from there, so the two cannot disagree.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "$@" <<'PY'
import pathlib, re, sys

readme = pathlib.Path("README.md").read_text(encoding="utf-8")
table = readme.split("<!-- rooms: begin -->")[1].split("<!-- rooms: end -->")[0]
allowed = {}
for line in table.splitlines():
    cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
    match = re.fullmatch(r"`src/(\w+)/`", cells[0]) if len(cells) == 3 else None
    if match:
        uses = cells[2]
        allowed[match.group(1)] = None if uses == "any" else \
            {room.strip() for room in uses.split(",") if room.strip() != "Qt"}

include = re.compile(r'^\s*#\s*include\s*"(\w+)/')
faults = 0
for path in sorted(pathlib.Path("src").rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    room = path.parts[1]
    if room not in allowed:
        print(f"{path}: the room '{room}' is not in the README's table of rooms", file=sys.stderr)
        faults += 1
        continue
    for number, text in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        used = include.match(text)
        if not used or used.group(1) == room or allowed[room] is None:
            continue
        if used.group(1) not in allowed[room]:
            print(f"{path}:{number}: '{room}' may not include '{used.group(1)}/': {text.strip()}", file=sys.stderr)
            faults += 1
if faults:
    sys.exit(1)
print(f"layers: every include under src/ keeps to the table of rooms ({len(allowed)} rooms)")
PY
