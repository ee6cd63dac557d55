#pragma once

#include <QObject>

class QWidget;

// Opens a task-list file dropped on the window. Controls that take drops of
// their own, such as a text box that would paste the file's address as text,
// are handed over with takeOver; any other drop they keep doing as before.
class TaskFileDrop : public QObject
{
    Q_OBJECT

public:
    // Makes the window take drops wherever no control takes them itself.
    explicit TaskFileDrop(QWidget &window);

    // The widget that receives the control's drops (a text box's viewport).
    void takeOver(QWidget *dropTarget);

Q_SIGNALS:
    // A task-list file was dropped. Sent once the drop has finished, so that
    // the program that the file came from is not kept waiting by questions.
    void Dropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
