#pragma once

#include "base/Result.h"
#include "journal/JournalFolder.h"
#include "journal/JournalFormat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <future>
#include <optional>

// The journal of the changes made to one list since it was last read or
// saved, so that a crash, a kill or a logout loses none of them. Each change
// is written as it is made, which a killed program leaves to the system, and
// reaches the disk itself within a second, synced on a thread of its own:
// a change of a million entries is a hundred megabytes, and the window
// would wait for the disk.
class EditJournal
{
    Q_DECLARE_TR_FUNCTIONS(EditJournal)

public:
    explicit EditJournal(QByteArray folder = JournalFolder::DefaultPath());
    ~EditJournal(); // closes the journal, which stays for the next start

    // A journal that a stopped Tarvik left for the file (empty: the list
    // that was never saved), with at least one change; nothing when there
    // is none, or another running Tarvik keeps it.
    std::optional<JournalContents> findLeftFor(const QString &file);

    // Changes from now on go to the file's journal, which starts with
    // header at the first of them. Any journal open before is closed and
    // kept.
    void follow(const JournalHeader &header);
    // The same, appending to the journal found for the file, whose changes
    // the lists now hold.
    Result continueLeft(const JournalHeader &header);

    // Writes one change. Fails (and the change is not kept) when the journal
    // cannot be written; the first failure is reported, later ones are not.
    Result record(JournalRecord change);
    // The changes are saved or dropped: the journal is deleted.
    void end();
    // Moves the journal found last to the trash.
    Result discardLeft();
    // Makes sure every change written so far is on the disk.
    void sync();

private:
    void syncInBackground();
    Result open(bool fresh);
    void close();

    JournalFolder m_folder;
    JournalHeader m_header;
    QByteArray m_name; // of the journal being written
    QByteArray m_leftName; // of the one found last
    int m_fd = -1;
    bool m_failureSaid = false;
    QTimer m_syncTimer;
    std::future<void> m_backgroundSync;
};
