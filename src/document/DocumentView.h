#pragma once

#include "history/ListsStep.h"

#include <QString>

#include <memory>

// What the document needs of the window that shows it.
class DocumentView
{
public:
    virtual ~DocumentView() = default;

    virtual void setCaption(const QString &caption) = 0;
    // Empties the task and user texts of the editing pane.
    virtual void clearEditingTexts() = 0;
    // The lists are about to get another document (New, Open, the
    // command-line read): changes made to the old one cannot be undone.
    virtual void documentReplaced() { }
    // The lists are about to take in what another program wrote to the file.
    virtual void listsAboutToChangeOutside() { }
    // They took it in, which undoing takes back; null when that changed nothing.
    virtual void listsChangedOutside(std::unique_ptr<ListsStep> step) { Q_UNUSED(step); }
    // A save waits for another program to finish writing the file (true),
    // and is done waiting (false): the window shows that it is busy.
    virtual void waitingForFile(bool waiting) { Q_UNUSED(waiting); }
};
