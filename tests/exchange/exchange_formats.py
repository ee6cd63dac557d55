"""The export forms read back by real parsers, export then import, a todo.txt
sample and the PDF's text, through the real program.

usage: exchange_formats.py TARVIK
"""
import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile

tarvik = sys.argv[1]
work = tempfile.mkdtemp(prefix="tarvik-exchange-")
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=work, XDG_STATE_HOME=os.path.join(work, "state"))
failures = []


def run(*arguments, stdin=None):
    done = subprocess.run([tarvik, *arguments], input=stdin, capture_output=True, env=env)
    if done.returncode != 0:
        failures.append(f"{arguments}: exit {done.returncode}: {done.stderr.decode(errors='replace')}")
    return done.stdout


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}:\n  got      {got!r}\n  expected {expected!r}")


def path(name):
    return os.path.join(work, name)


# Every status, and every character the extended form can carry: separators,
# quotes, commas, line breaks, TABs, backslashes, controls and characters
# beyond the Basic Multilingual Plane.
rows = [
    ("1", "plain", "d1", "", "me"),
    ("7", 'say "hi", then\\; go', "d2", "", "a,b"),
    ("2", "two\\r\\nlines | kept", "d3", "d4", "tab\there"),
    ("3", "back\\\\slash \\; semi", "", "", ""),
    ("4", "\u0151 \u20ac \U0001f600 \x01", "d5", "d6", "\u00e9"),
    ("5", "=1+2", "d7", "", "@x"),
    ("6", "info", "d8", "", "u"),
    ("8", "request", "d9", "", "v"),
]
names = {"1": "Incomplete", "2": "Complete", "3": "Invalid", "4": "Unresolved", "5": "Moved",
         "6": "Information", "7": "Question", "8": "Request"}
with open(path("all.tvk"), "wb") as f:
    f.write(b"\xef\xbb\xbfStatus;Task;Added;Edited;User\r\n")
    for row in rows:
        f.write((";".join(row) + "\r\n").encode("utf-8"))

# The TAB form is the reference: unescape it into fields.
def untab(field):
    return re.sub(r"\\(x[0-9a-f]{2}|u\{[0-9a-f]{4}\}|.)", lambda m: {
        "\\": "\\", "t": "\t", "r": "\r", "n": "\n"}.get(m.group(1)) or chr(int(m.group(1).strip("xu{}"), 16)),
        field)

expected = []
listname = None
for line in run("--list", path("all.tvk")).decode("utf-8").split("\n"):
    if line.startswith("# "):
        listname = line[2:]
    elif line:
        status, task, added, edited, user = [untab(f) for f in line.split("\t")]
        expected.append({"list": listname, "status": status, "status name": names[status], "task": task,
                         "added": added, "edited": edited, "user": user})
check("entries listed", len(expected), len(rows))

exported_csv = run("--list", "--format=csv", path("all.tvk"))
check("CSV line ends", exported_csv.count(b"\r\n") >= len(rows) + 1, True)
got = list(csv.DictReader(io.StringIO(exported_csv.decode("utf-8"), newline="")))
check("CSV fields", got, expected)

got = json.loads(run("--list", "--format=json", path("all.tvk")))
check("JSON fields", [dict(o, status=str(o["status"])) for o in got], expected)

# Export, import into a new file and export again: the same entries.
with open(path("export.csv"), "wb") as f:
    f.write(exported_csv)
check("import output", run("--import", path("export.csv"), path("imported.tvk")), b"Added 8 entries.\n")
check("CSV after import", run("--list", "--format=csv", path("imported.tvk")), exported_csv)

# A todo.txt sample.
with open(path("todo.txt"), "w") as f:
    f.write("(A) 2026-01-02 Call Mom +Family @phone due:2026-01-05\n"
            "x 2026-01-04 2026-01-01 Pay rent +Home\n"
            "\n"
            "Plain thought @desk\n"
            "x done without dates\n")
run("--import", path("todo.txt"), "--user", "Ann", path("todo.tvk"))
got = [(o["status"], o["task"], o["added"], o["edited"], o["user"])
       for o in json.loads(run("--list", "--format=json", path("todo.tvk")))]
today = [o["added"] for o in json.loads(run("--list", "--format=json", path("todo.tvk")))
         if o["task"] == "Plain thought @desk"][0]
check("todo.txt import", sorted(got), sorted([
    (1, "(A) Call Mom +Family @phone due:2026-01-05", "2026-01-02", "", "Ann"),
    (2, "Pay rent +Home", "2026-01-01", "2026-01-04", "Ann"),
    (1, "Plain thought @desk", today, "", "Ann"),
    (2, "done without dates", today, "", "Ann"),
]))
todotxt = run("--list", "--format=todotxt", path("todo.tvk")).decode("utf-8")
check("todo.txt export", "(A) 2026-01-02 Call Mom +Family @phone due:2026-01-05 +Tasks @Ann\n" in todotxt
      and "x Pay rent +Home +Completed @Ann added:2026-01-01\n" in todotxt, True)
markdown = run("--list", "--format=markdown", path("todo.tvk")).decode("utf-8")
check("Markdown export", "# Completed\n\n- [x] Pay rent +Home (Ann, added 2026-01-01, edited 2026-01-04)\n"
      in markdown, True)

# The PDF of a list of several pages holds every task and a page number.
with open(path("long.tvk"), "w", newline="") as f:
    f.write("Status;Task;Added;Edited;User\r\n")
    for n in range(300):
        f.write(f"1;Task number {n} | second line {n};d{n};;u{n}\r\n")
run("--pdf", path("long.pdf"), path("long.tvk"))
text = subprocess.run(["pdftotext", path("long.pdf"), "-"], capture_output=True).stdout.decode("utf-8")
words = " ".join(text.split())
missing = [n for n in range(300) if f"Task number {n} second line {n}" not in words]
check("tasks missing from the PDF", missing, [])
check("page numbers", "Page 1" in words and "Page 2" in words, True)
with open(path("long.tvk"), "rb") as f:
    before = f.read()
done = subprocess.run([tarvik, "--pdf", path("long.tvk"), path("todo.tvk")], capture_output=True, env=env)
with open(path("long.tvk"), "rb") as f:
    check("a task list kept from --pdf", (done.returncode, f.read() == before), (1, True))

if failures:
    print("\n".join(failures))
    print(f"kept {work}")
    sys.exit(1)
print("exchange formats: every field came back")
