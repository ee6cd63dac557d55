#include "main_window/AssistiveTexts.h"

#include "entries/Entry.h"
#include "main_window/CategoryListView.h"

#include <QLabel>
#include <QWidget>

namespace {

template<typename Control = QWidget>
Control *find(QWidget &window, const char *name)
{
    return window.findChild<Control *>(QLatin1String(name));
}

void setDescription(QWidget &window, const char *name, const QString &description)
{
    if (QWidget *control = find(window, name))
        control->setAccessibleDescription(description);
}

} // namespace

void AssistiveTexts::describe(QWidget &window)
{
    if (QWidget *txtTask = find(window, "txtTask"))
        txtTask->setAccessibleName(tr("Task"));
    if (auto *lblUser = find<QLabel>(window, "lblUser"))
        lblUser->setBuddy(find(window, "txtUser"));

    setDescription(window, "txtTask", tr("The task text that New adds and Update writes into the selected entry"));
    setDescription(window, "txtUser", tr("The user that New and Update give the entry"));
    setDescription(window, "btnNew", tr("Adds the task as a new entry to the current list"));
    setDescription(window, "btnUpdate", tr("Writes the task and the user into the selected entry"));
    setDescription(window, "btnDelete", tr("Removes the selected entry after asking"));
    setDescription(window, "optTask", tr("New adds tasks to the Tasks list"));
    setDescription(window, "optQuestion", tr("New adds questions to the Tasks list"));

    for (CategoryListView *view : window.findChildren<CategoryListView *>()) {
        view->setAccessibleDescription(tr("Selecting an entry shows it for editing; the menu key changes its status"));
        // The picture column is read out by its status names under this header.
        view->list().setHeaderData(Entry::MainText, Qt::Horizontal, tr("Status"), Qt::AccessibleTextRole);
    }
}
