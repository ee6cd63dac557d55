#pragma once

#include "base/Result.h"
#include "journal/JournalFolder.h"
#include "journal/JournalFormat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <functional>
#include <future>
#include <optional>

// The journal of the changes made to one list since it was last read or
// saved, so that a crash, a kill or a logout loses none of them. Each change
// is written as it is made, which a killed program leaves to the system, and
// reaches the disk itself within a second. The syncs, and the writing of a
// change of many entries (a hundred megabytes for a million), run on
// threads of their own so that the window does not wait for the disk; the
// next change waits for such a write, so the changes stay in order, and a
// kill meanwhile loses that change alone.
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
    // The same, appending to the journal found for the file, left, whose
    // changes the lists now hold.
    Result continueLeft(const JournalHeader &header, const JournalContents &left);

    // Writes one change. Fails (and the change is not kept) when the journal
    // cannot be written; the first failure is reported, later ones are not.
    // A failure of a change written on the other thread, found while the
    // program runs on, goes to the handler.
    Result record(JournalRecord change);
    void onLateFailure(std::function<void(const Result &)> handler) { m_lateFailure = std::move(handler); }
    // The changes are saved or dropped: the journal is deleted.
    void end();
    // Moves the journal found last to the trash.
    Result discardLeft();
    // Makes sure every change written so far is on the disk.
    void sync();

private:
    void syncInBackground();
    // Waits for the change being written on the other thread; its failure.
    Result finishWrite();
    // Waits for both that and the sync running there.
    Result finishBackground();
    // The first failure since the journal was followed; later ones are kept quiet.
    Result sayOnce(const Result &failure);
    Result failed(int error);
    Result open(bool fresh);
    void close();

    JournalFolder m_folder;
    JournalHeader m_header;
    QByteArray m_name; // of the journal being written
    QByteArray m_leftName; // of the one found last
    int m_fd = -1;
    bool m_failureSaid = false;
    QTimer m_syncTimer;
    std::future<int> m_backgroundWrite; // the error number, 0 when it went well
    std::future<void> m_backgroundSync;
    std::function<void(const Result &)> m_lateFailure;
};
