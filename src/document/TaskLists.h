#pragma once

#include "document/CategoryList.h"
#include "document/Status.h"
#include "document/TaskFileFormat.h"

#include <array>

// The five category lists: the whole document while the program runs.
class TaskLists
{
public:
    TaskLists();

    CategoryList lvwTasks;
    CategoryList lvwCompleted;
    CategoryList lvwUnresolved;
    CategoryList lvwInformation;
    CategoryList lvwRequests;

    CategoryList &list(Category category) { return *all()[static_cast<int>(category)]; }
    CategoryList &listForStatus(double status) { return list(CategoryForStatus(status)); }

    // The lists in tab order, which is also the order they are written in.
    std::array<CategoryList *, CategoryCount> all()
    {
        return {&lvwTasks, &lvwCompleted, &lvwUnresolved, &lvwInformation, &lvwRequests};
    }

    // Empties the five lists, Tasks first, and forgets the form they were read
    // in; sort settings stay as they are.
    void ClearAllLists();

    // The form of the file the lists were read from, which a save keeps
    // whenever every field fits it.
    TaskFileFormat::TextForm form = TaskFileFormat::TextForm::Windows1252;
};
