#pragma once

#include "entries/CategoryList.h"
#include "entries/DateText.h"
#include "entries/Status.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

class TaskLists;

// An entry as a change finds it or leaves it: its list, its 1-based position
// there and everything it holds.
struct EntryState {
    Category category = Category::Tasks;
    int position = 0;
    double status = 0;
    std::array<QString, Entry::FieldCount> fields;
};

// One change to the lists, described well enough to be made again or taken
// back: New has nothing before, Delete nothing after, an update or a status
// change has both.
struct EntryChange {
    std::optional<EntryState> before;
    std::optional<EntryState> after;
    // The row that the change leaves in place, null after a Delete.
    Row row = nullptr;
};

// The entry commands of the editing pane and the status menu as plain calls.
// Each takes what the window shows (the current tab, the typed texts with
// CR LF line breaks, the radio choice) and returns the change made, or
// nothing when there was nothing to change.
class EntryEditing
{
public:
    using Clock = std::function<QString()>;

    explicit EntryEditing(TaskLists &lists, Clock clock = CurrentDateText);

    // The list shown on a tab and its selected row; no list for an index
    // outside the five tabs, no row when nothing is selected.
    struct Selection {
        CategoryList *list = nullptr;
        Row row = nullptr;
    };
    Selection selection(int tabIndex) const;

    // A new entry at the top of the tab's list (at its sorted place when the
    // list is sorted). On the Tasks tab the question choice gives a question.
    std::optional<EntryChange> addEntry(int tabIndex, const QString &task, const QString &user, bool question);
    // The selected entry takes the typed texts and the edited date becomes now.
    std::optional<EntryChange> updateEntry(int tabIndex, const QString &task, const QString &user);
    std::optional<EntryChange> deleteEntry(int tabIndex);
    // The status code picks the entry's list: an entry whose new code belongs
    // to another list is rebuilt at the end of that list, otherwise it
    // changes where it is. Either way the main text shows the code and the
    // edited date becomes now.
    std::optional<EntryChange> setEntryStatus(int tabIndex, int code);

private:
    EntryState stateOf(Category category, Row row) const;

    TaskLists &m_lists;
    Clock m_clock;
};
