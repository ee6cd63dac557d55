#include "main_window/AssistiveTexts.h"

#include "document/Entry.h"
#include "main_window/CategoryListView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

namespace {

const char *const kContext = "AssistiveTexts";

QString tr(const char *text)
{
    return QCoreApplication::translate(kContext, text);
}

template<typename Control = QWidget>
Control *find(QWidget &window, const char *name)
{
    return window.findChild<Control *>(QLatin1String(name));
}

void describe(QWidget &window, const char *name, const QString &description)
{
    if (QWidget *control = find(window, name))
        control->setAccessibleDescription(description);
}

} // namespace

void DescribeForAssistiveTools(QWidget &window)
{
    if (QWidget *txtTask = find(window, "txtTask"))
        txtTask->setAccessibleName(tr("Task"));
    if (auto *lblUser = find<QLabel>(window, "lblUser"))
        lblUser->setBuddy(find(window, "txtUser"));

    describe(window, "txtTask", tr("The task text that New adds and Update writes into the selected entry"));
    describe(window, "txtUser", tr("The user that New and Update give the entry"));
    describe(window, "btnNew", tr("Adds the task as a new entry to the current list"));
    describe(window, "btnUpdate", tr("Writes the task and the user into the selected entry"));
    describe(window, "btnDelete", tr("Removes the selected entry after asking"));
    describe(window, "optTask", tr("New adds tasks to the Tasks list"));
    describe(window, "optQuestion", tr("New adds questions to the Tasks list"));

    for (CategoryListView *view : window.findChildren<CategoryListView *>()) {
        view->setAccessibleDescription(tr("Selecting an entry shows it for editing; the menu key changes its status"));
        // The picture column is read out by its status names under this header.
        view->list().setHeaderData(Entry::MainText, Qt::Horizontal, tr("Status"), Qt::AccessibleTextRole);
    }
}
