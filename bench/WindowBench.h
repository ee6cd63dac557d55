#pragma once

#include "BenchDialogs.h"
#include "TaskListGenerator.h"

#include <QString>

#include <memory>

class CategoryListView;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TabControl;
class frmMain;

// Times the program's own handlers in a shown main window on the offscreen
// platform: each operation counts until the window has processed every event
// it caused, painting included.
class WindowBench
{
public:
    explicit WindowBench(const QString &scratchFolder);
    ~WindowBench();

    // allCategories: a file of this many entries in every list; tasksOnly: one
    // whose entries all land in the Tasks list, so that sorting and editing
    // act on a list of the full size.
    void measure(int entries, const QString &allCategories, const QString &tasksOnly);
    // Only the changes of many entries at once and what a selection of every
    // row costs, on a tasksOnly file.
    void measureManyAtOnce(int entries, const QString &tasksOnly);
    // A click on an entry whose task is one word of the given size, until the
    // pane shows it; with showAll also the Show all button's putting in of the
    // whole text.
    void measureLongClick(const char *label, qsizetype units, bool showAll);
    // The heap that a history of this many entry changes holds.
    void measureHistoryMemory(int changes);
    // What the history keeps of a status change of this many entries at once,
    // beside the entries.
    void measureBulkHistoryMemory(int entries);

private:
    void measureLoadAndSave(int entries, const QString &path);
    void measureMove(int entries);
    void measureSort(int entries);
    void measureEditing(int entries);
    void measureFind(int entries);
    void measureUndo(int entries);
    void measureBulk(int entries);
    void measureWithEveryRowSelected(int entries);
    void measureOutsideChanges(int entries, const QString &path);

    void settle();
    double open(const QString &path, int entries);
    void showTab(int index);
    void clickHeader(CategoryListView &view, int section);
    void clickRow(CategoryListView &view, int position);
    void sortByTask(CategoryListView &view);

    QString m_scratchFolder;
    BenchDialogs m_dialogs;
    std::unique_ptr<frmMain> m_window;
    TabControl *tabMain;
    CategoryListView *lvwTasks;
    CategoryListView *lvwCompleted;
    QPlainTextEdit *txtTask;
    QLineEdit *txtFind = nullptr;
    QPushButton *btnNew;
    QPushButton *btnUpdate;
    QPushButton *btnDelete;
    TaskListGenerator m_random{20240806};
};
