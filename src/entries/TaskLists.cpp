#include "entries/TaskLists.h"

TaskLists::TaskLists()
    : lvwTasks(QStringLiteral("lvwTasks"))
    , lvwCompleted(QStringLiteral("lvwCompleted"))
    , lvwUnresolved(QStringLiteral("lvwUnresolved"))
    , lvwInformation(QStringLiteral("lvwInformation"))
    , lvwRequests(QStringLiteral("lvwRequests"))
{
}

void TaskLists::ClearAllLists()
{
    for (CategoryList *list : all())
        list->clear();
}
