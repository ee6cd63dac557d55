#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The folder that keeps the journals of unsaved changes: the user's own,
// readable by no one else, and no symbolic link, or it is not used at all,
// since its journals are put back into the user's lists.
class JournalFolder
{
public:
    // $XDG_STATE_HOME/tarvik/journals, or ~/.local/state/tarvik/journals.
    static QByteArray DefaultPath();

    explicit JournalFolder(QByteArray path = DefaultPath());
    ~JournalFolder();
    JournalFolder(const JournalFolder &) = delete;
    JournalFolder &operator=(const JournalFolder &) = delete;

    // Opens the folder, making it (and the tarvik folder above it) when
    // missing; refuses one that is not the user's alone.
    Result open();
    int descriptor() const { return m_fd; }
    QString path() const;

    // What the names of a file's journals begin with (empty file: the list
    // that was never saved); each window's journal has a name of its own.
    static QByteArray PrefixFor(const QString &file);
    // The names of the journals in the folder that begin so.
    QList<QByteArray> journalsFor(const QString &file) const;
    // Opens a journal in the folder, a regular file of the user's with one
    // link; -1 when there is none or it is not one to trust.
    int openJournal(const QByteArray &name, int flags) const;

private:
    QByteArray m_path;
    int m_fd = -1;
};
