"""A screen reader's view of Tarvik, through AT-SPI alone.

Starts the program on a task list, answers its start-up question, checks the
names and roles that assistive tools get for the window's controls, and then
works as a blind user would: selects an entry, reads its cells, types a task,
presses New through its action and reads the new row. The table's shape, the
headers' sort action, the status menu opened from the keyboard, the tab keys
and the find bar's word on no match are tried with keys that xdotool types.

usage: accessibility.py TARVIK LIST
"""

import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

DEADLINE = 40  # seconds for each wait
NEW_TASK = "Read aloud through AT-SPI"

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def wait_for(what, find):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit(f"accessibility: FAIL: no {what} within {DEADLINE} s")


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name=None):
    for node in descendants(root):
        if node.get_role() == role and (name is None or node.get_name() == name):
            return node
    return None


def program(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


# An accessible object offers the interfaces of its kind (Action, Table,
# Text, EditableText) as methods of its own.
def press(node):
    names = [node.get_action_name(i) for i in range(node.get_n_actions())]
    node.do_action(names.index("Press"))


def text_of(node):
    return node.get_text(0, node.get_character_count())


def cell_names(table, row):
    return [table.get_accessible_at(row, column).get_name() for column in range(table.get_n_columns())]


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def has_state(node, state):
    return node.get_state_set().contains(state)


def keys(*names):
    """Types keys into the window that has the X focus, as the user does."""
    subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)
    time.sleep(0.5)


def column(table, index):
    return [table.get_accessible_at(row, index).get_name() for row in range(table.get_n_rows())]


STATUS_NAMES = {"1": "Incomplete", "7": "Question"}


def tasks_in(path):
    """The file's entries of the Tasks list: by task text, (status name, user) pairs."""
    entries = {}
    with open(path, encoding="cp1252") as lines:
        next(lines)
        for line in lines:
            status, task, _, _, user = line.rstrip("\r\n").split(";")
            if status in STATUS_NAMES:
                entries.setdefault(task, []).append((STATUS_NAMES[status], user))
    return entries


def main():
    tarvik, task_list = sys.argv[1:3]
    process = subprocess.Popen([tarvik, task_list])
    try:
        run(process.pid, task_list)
    finally:
        process.terminate()
        process.wait(timeout=DEADLINE)
    if failures:
        raise SystemExit(f"accessibility: FAIL: {len(failures)} checks failed")
    print("accessibility: all checks passed")


def run(pid, task_list):
    app = wait_for("Tarvik on the accessibility bus", lambda: program(pid))

    # The start-up question about .tvk files is read out and answered here.
    question = wait_for("start-up question", lambda: find(app, Atspi.Role.DIALOG) or find(app, Atspi.Role.ALERT))
    check("Tarvik" in question.get_name(), f"the question's window is named \"{question.get_name()}\"")
    check(bool(question.get_description()), "the question is read out: " + question.get_description())
    press(wait_for("No button", lambda: find(question, Atspi.Role.PUSH_BUTTON, "No")))

    frame = wait_for("main window", lambda: find(app, Atspi.Role.FRAME))
    wait_for("Tasks list", lambda: find(frame, Atspi.Role.TABLE, "Tasks"))
    for name in ["Tasks", "Completed", "Unresolved", "Information", "Requests"]:
        check(find(frame, Atspi.Role.TABLE, name) is not None, f"a table named \"{name}\"")
        check(find(frame, Atspi.Role.PAGE_TAB, name) is not None, f"a tab named \"{name}\"")
    task_box = find(frame, Atspi.Role.TEXT, "Task")
    user_box = find(frame, Atspi.Role.TEXT, "User")
    check(task_box is not None, "a text box named \"Task\"")
    check(user_box is not None, "a text box named \"User\"")
    for name in ["New", "Update", "Delete"]:
        button = find(frame, Atspi.Role.PUSH_BUTTON, name)
        check(button is not None and bool(button.get_description()), f"a described button named \"{name}\"")
    for name in ["Normal Task", "Question"]:
        check(find(frame, Atspi.Role.RADIO_BUTTON, name) is not None, f"a radio button named \"{name}\"")

    tasks = find(frame, Atspi.Role.TABLE, "Tasks")
    entries = tasks_in(task_list)
    check(tasks.get_n_rows() == len(entries), f"the Tasks list has the file's {len(entries)} tasks and questions")
    check(tasks.get_column_header(0).get_name() == "Status", "the picture column's header is \"Status\"")
    check(tasks.get_column_header(1).get_name() == "Task", "the second column's header is \"Task\"")
    check(tasks.get_n_columns() == 5, f"the table has the 5 columns shown ({tasks.get_n_columns()})")
    check(tasks.get_row_header(0) is None, "the rows have no row headers")

    # The Task header's "sort" action sorts as a click does; again, the other way.
    header = tasks.get_column_header(1)
    actions = [header.get_action_name(i) for i in range(header.get_n_actions())]
    check("sort" in actions, f"the Task header offers the action \"sort\": {actions}")
    if "sort" in actions:
        header.do_action(actions.index("sort"))
        first = wait_for("the list sorted by task", lambda: column(tasks, 1) if sorted(column(tasks, 1)) in
                         (column(tasks, 1), column(tasks, 1)[::-1]) else None)
        header.do_action(actions.index("sort"))
        again = wait_for("the order reversed", lambda: column(tasks, 1) if column(tasks, 1) == first[::-1] else None)
        check(again == first[::-1], f"sorting twice by task reverses the order: {first} -> {again}")

    # Select the entry and read it, cell by cell.
    check(tasks.add_row_selection(1), "selecting the second entry")
    check(tasks.is_row_selected(1), "the second entry is selected")
    cells = cell_names(tasks, 1)
    check((cells[0], cells[4]) in entries.get(cells[1], []),
          f"it reads as an entry of the file: {cells[:5]}")
    # The list takes more than one selected row, and says how many.
    check(tasks.add_row_selection(0), "selecting the first entry as well")
    check(tasks.get_n_selected_rows() == 2, f"two rows are selected: {tasks.get_n_selected_rows()}")

    # Type a task and a user, and press New through its action.
    task_box.set_text_contents(NEW_TASK)
    user_box.set_text_contents("reader")
    check(text_of(task_box) == NEW_TASK, "the task box takes the typed task")
    press(find(frame, Atspi.Role.PUSH_BUTTON, "New"))
    rows = wait_for("a new entry", lambda: tasks.get_n_rows() == len(entries) + 1 and len(entries) + 1)
    new = [cell_names(tasks, row) for row in range(rows) if tasks.get_accessible_at(row, 1).get_name() == NEW_TASK]
    check(len(new) == 1, "the new entry is in the Tasks list")
    if new:
        check(new[0][0] == "Incomplete" and new[0][4] == "reader", f"the new entry reads {new[0][:5]}")
    check(text_of(task_box) == "", "New empties the task box")
    check(text_of(user_box) == "reader", "New keeps the user")

    keyboard(pid, frame, tasks)


def keyboard(pid, frame, tasks):
    # Without a window manager the X focus is given by hand.
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], capture_output=True,
                             text=True).stdout.split()
    check(bool(windows), "the main window is on the X server")
    if windows:
        subprocess.run(["xdotool", "windowfocus", windows[-1]], check=False)
    # The status menu opened by its key starts on its first item, so that a
    # screen reader names it; Escape leaves it.
    tasks.grab_focus()
    tasks.add_row_selection(0)
    time.sleep(0.5)
    # Qt leaves popup menus out of the tree; a screen reader names what the
    # focus events name.
    announced = []

    def on_focus(event):
        if event.detail1 == 1 and event.source.get_role() == Atspi.Role.MENU_ITEM:
            announced.append(event.source.get_name())

    listener = Atspi.EventListener.new(on_focus)
    listener.register("object:state-changed:focused")
    keys("shift+F10")
    end = time.monotonic() + DEADLINE
    while not announced and time.monotonic() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.05)
    listener.deregister("object:state-changed:focused")
    check(announced[:1] == ["Complete"], f"the status menu opens on \"Complete\", announced: {announced}")
    keys("Escape")

    # Alt+C shows Completed with the focus in its list; Alt+U then shows
    # Unresolved and changes no entry.
    edited = column(tasks, 3)
    tasks.grab_focus()
    keys("alt+c")
    completed = find(frame, Atspi.Role.TABLE, "Completed")
    check(has_state(completed, Atspi.StateType.FOCUSED), "after Alt+C the Completed list has the focus")
    keys("alt+u")
    unresolved = find(frame, Atspi.Role.TABLE, "Unresolved")
    check(showing(unresolved) and not showing(completed), "Alt+U then shows the Unresolved list")
    check(has_state(unresolved, Atspi.StateType.FOCUSED), "with the focus in it")
    check(column(tasks, 3) == edited, "and changes no entry")

    # A find that matches nothing says so.
    keys("ctrl+f")
    subprocess.run(["xdotool", "type", "--delay", "50", "zzqqx"], check=True)
    field = wait_for("the find field saying no entry matches", lambda: next(
        (node for node in descendants(frame) if node.get_role() == Atspi.Role.TEXT and node.get_name() == "Find"
         and node.get_description() == "No entries match"), None))
    check(field is not None, "the find field is described as \"No entries match\"")
    check(find(frame, Atspi.Role.LABEL, "No entries match") is not None, "the bar shows \"No entries match\"")
    keys("Escape")


if __name__ == "__main__":
    main()
