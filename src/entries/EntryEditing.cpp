#include "entries/EntryEditing.h"

#include "entries/TaskLists.h"

EntryEditing::EntryEditing(TaskLists &lists, Clock clock)
    : m_lists(lists)
    , m_clock(std::move(clock))
{
}

EntryEditing::Selection EntryEditing::selection(int tabIndex) const
{
    const std::optional<Category> category = CategoryForTab(tabIndex);
    if (!category)
        return {};
    CategoryList &list = m_lists.list(*category);
    return {&list, list.selectedRow()};
}

std::optional<EntryChange> EntryEditing::addEntry(int tabIndex, const QString &task, const QString &user, bool question)
{
    const std::optional<Category> category = CategoryForTab(tabIndex);
    if (!category)
        return std::nullopt;
    const int status = NewEntryStatus(*category, question);
    const Row row = m_lists.list(*category).insertAtTop(Entry::create(status, task, m_clock(), QString(), user));
    return EntryChange{std::nullopt, stateOf(*category, row), row};
}

std::optional<EntryChange> EntryEditing::updateEntry(int tabIndex, const QString &task, const QString &user)
{
    const auto [list, row] = selection(tabIndex);
    if (!row)
        return std::nullopt;
    const Category category = *CategoryForTab(tabIndex);
    EntryChange change{stateOf(category, row), std::nullopt, row};
    list->setText(row, Entry::Task, task);
    list->setText(row, Entry::User, user);
    list->setText(row, Entry::Edited, m_clock());
    change.after = stateOf(category, row);
    return change;
}

std::optional<EntryChange> EntryEditing::deleteEntry(int tabIndex)
{
    const auto [list, row] = selection(tabIndex);
    if (!row)
        return std::nullopt;
    EntryChange change{stateOf(*CategoryForTab(tabIndex), row), std::nullopt, nullptr};
    list->removeAt(change.before->position);
    return change;
}

std::optional<EntryChange> EntryEditing::setEntryStatus(int tabIndex, int code)
{
    const auto [current, selected] = selection(tabIndex);
    if (!selected || code < FirstStatusCode || code > LastStatusCode)
        return std::nullopt;
    const Category from = *CategoryForTab(tabIndex);
    const Category to = CategoryForStatus(code);
    EntryChange change{stateOf(from, selected), std::nullopt, selected};
    const QString digits = FormatStatus(code);
    const QString now = m_clock();

    if (to != from) {
        std::unique_ptr<Entry> moved = Entry::create(code, selected->field(Entry::Task), selected->field(Entry::Added),
                                                     now, selected->field(Entry::User));
        moved->setField(Entry::MainText, digits);
        change.row = m_lists.list(to).append(std::move(moved));
        current->removeAt(change.before->position);
    } else {
        current->setStatus(selected, code);
        current->setText(selected, Entry::MainText, digits);
        current->setText(selected, Entry::Edited, now);
    }
    change.after = stateOf(to, change.row);
    return change;
}

EntryState EntryEditing::stateOf(Category category, Row row) const
{
    EntryState state{category, m_lists.list(category).positionOf(row), row->status, {}};
    for (int field = Entry::MainText; field < Entry::FieldCount; ++field)
        state.fields[field] = row->field(field).toString();
    return state;
}
