#pragma once

#include "entries/CategoryList.h"
#include "entries/Status.h"

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

    // Empties the five lists, Tasks first; sort settings stay as they are.
    void ClearAllLists();
};
