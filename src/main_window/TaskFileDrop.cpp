#include "main_window/TaskFileDrop.h"

#include "storage/FilePath.h"

#include <QDropEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QWidget>

namespace {

QString taskFileOf(const QDropEvent &event)
{
    return event.mimeData()->hasUrls() ? DroppedTaskFile(event.mimeData()->urls()) : QString();
}

} // namespace

TaskFileDrop::TaskFileDrop(QWidget &window)
    : QObject(&window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

void TaskFileDrop::takeOver(QWidget *dropTarget)
{
    dropTarget->installEventFilter(this);
}

bool TaskFileDrop::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (taskFileOf(*drag).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = taskFileOf(*drop);
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        QMetaObject::invokeMethod(
            this, [this, path] { Q_EMIT Dropped(path); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}
