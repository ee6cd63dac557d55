#include "document/TaskDocument.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"
#include "storage/SaveSteps.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

QString mergeReport(int cameIn, int wentAway, int keptTwice)
{
    return QStringLiteral("The file had been changed elsewhere. Its changes were merged into this list before "
                          "saving.\nEntries that came in: %1\nEntries that went away: %2\nEntries kept twice "
                          "(changed on both sides): %3")
        .arg(cameIn)
        .arg(wentAway)
        .arg(keptTwice);
}

class NullView : public DocumentView
{
public:
    void setCaption(const QString &) override { }
    void clearEditingTexts() override { }
};

// One window on the shared file: its lists, its dialogs and its document.
struct Window {
    TaskLists lists;
    ScriptedDialogs dialogs;
    NullView view;
    TaskDocument document{lists, dialogs, view};

    void add(const Item &item)
    {
        addItem(lists, item);
        document.markEdited();
    }
    Row find(const QString &task)
    {
        for (CategoryList *list : lists.all()) {
            for (int position = 1; position <= list->count(); ++position) {
                if (list->rowAt(position)->field(Entry::Task) == task)
                    return list->rowAt(position);
            }
        }
        return nullptr;
    }
    void change(const QString &task, const QString &to)
    {
        Row row = find(task);
        ASSERT_NE(row, nullptr);
        lists.listForStatus(row->status).setText(row, Entry::Task, to);
        document.markEdited();
    }
    void remove(const QString &task)
    {
        Row row = find(task);
        ASSERT_NE(row, nullptr);
        CategoryList &list = lists.listForStatus(row->status);
        list.removeAt(list.positionOf(row));
        document.markEdited();
    }
};

class OutsideChangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        file = dir.filePath(QStringLiteral("shared.tvk"));
        writeBytes(file, kHeader + "1;a;d1;;me\r\n1;b;d2;;me\r\n2;c;d3;;me\r\n");
        window.document.openFromCommandLine(file);
    }

    // Another program writes the file in place.
    void writeOutside(const QByteArray &entries) { writeBytes(file, kHeader + entries); }

    QTemporaryDir dir;
    QString file;
    Window window;
};

} // namespace

TEST_F(OutsideChangeTest, TwoWindowsEachAddAnEntryAndTheFileKeepsBoth)
{
    Window other;
    other.document.openFromCommandLine(file);
    window.add({1, QStringLiteral("mine"), QStringLiteral("d4"), {}, QStringLiteral("me")});
    other.add({8, QStringLiteral("theirs"), QStringLiteral("d5"), {}, QStringLiteral("you")});

    ASSERT_TRUE(other.document.SaveTaskFile());
    EXPECT_TRUE(other.dialogs.messages().isEmpty());
    window.dialogs.answer(Answer::Ok);
    ASSERT_TRUE(window.document.SaveTaskFile());
    ASSERT_EQ(window.dialogs.messages().size(), 1);
    EXPECT_EQ(window.dialogs.messages()[0].text, mergeReport(1, 0, 0));
    EXPECT_EQ(window.dialogs.messages()[0].icon, Icon::Exclamation);
    EXPECT_FALSE(window.document.isDirty());

    // The file is now exactly what the merged lists write, and saving the
    // other window again brings the first window's entry in there too.
    EXPECT_EQ(readBytes(file), TaskFileEncoder().encode(window.lists));
    other.add({6, QStringLiteral("note"), QStringLiteral("d6"), {}, QStringLiteral("you")});
    other.dialogs.answer(Answer::Ok);
    ASSERT_TRUE(other.document.SaveTaskFile());
    EXPECT_EQ(other.dialogs.messages().last().text, mergeReport(1, 0, 0));
    Window reader;
    reader.document.openFromCommandLine(file);
    for (const char *task : {"a", "b", "c", "mine", "theirs", "note"})
        EXPECT_NE(reader.find(QString::fromLatin1(task)), nullptr) << task;
}

TEST_F(OutsideChangeTest, ChangesAndRemovalsOnBothSidesLoseNoText)
{
    // a: changed on both sides; b: changed outside, removed here, so the
    // change brings it back, which is said; c: removed outside, unchanged
    // here, so it goes.
    window.change(QStringLiteral("a"), QStringLiteral("a here"));
    window.remove(QStringLiteral("b"));
    writeOutside("1;a outside;d1;;me\r\n1;b outside;d2;;me\r\n");

    window.dialogs.answer(Answer::Ok);
    ASSERT_TRUE(window.document.SaveTaskFile());
    EXPECT_EQ(window.dialogs.messages().last().text,
              mergeReport(1, 1, 1) + QStringLiteral("\nEntries deleted here but changed there, so kept: 1"));
    const Items tasks = itemsOf(window.lists.lvwTasks);
    EXPECT_EQ(tasks.size(), 3u);
    for (const char *task : {"a here", "a outside", "b outside"})
        EXPECT_NE(window.find(QString::fromLatin1(task)), nullptr) << task;
    EXPECT_EQ(window.lists.lvwCompleted.count(), 0);

    // Changed here, removed outside: the changed entry stays, nothing to say.
    window.change(QStringLiteral("b outside"), QStringLiteral("b again"));
    writeOutside("1;a here;d1;;me\r\n1;a outside;d1;;me\r\n");
    ASSERT_TRUE(window.document.SaveTaskFile());
    EXPECT_EQ(window.dialogs.messages().size(), 1);
    EXPECT_NE(window.find(QStringLiteral("b again")), nullptr);
    EXPECT_EQ(window.lists.lvwTasks.count(), 3);
}

TEST_F(OutsideChangeTest, IdenticalEntriesCountAsSeparateEntries)
{
    writeBytes(file, kHeader + "2;x;d;;me\r\n2;x;d;;me\r\n");
    window.document.openFromCommandLine(file);
    window.add({2, QStringLiteral("x"), QStringLiteral("d"), {}, QStringLiteral("me")});
    // Outside, one copy of two is changed: a change, not an entry that
    // came in and one that went away.
    writeOutside("2;x;d;;me\r\n2;y;d;;me\r\n");

    window.dialogs.answer(Answer::Ok);
    ASSERT_TRUE(window.document.SaveTaskFile());
    EXPECT_EQ(window.dialogs.messages().last().text,
              mergeReport(0, 0, 0) + QStringLiteral("\nEntries changed there: 1"));
    const Item x{2, QStringLiteral("x"), QStringLiteral("d"), {}, QStringLiteral("me")};
    const Item y{2, QStringLiteral("y"), QStringLiteral("d"), {}, QStringLiteral("me")};
    EXPECT_EQ(itemsOf(window.lists.lvwCompleted), (Items{x, x, y}));
}

TEST_F(OutsideChangeTest, IncomingEntriesGoToTheirSortedPlaceOrTheEnd)
{
    // Tasks is sorted by status after reading; Completed keeps file order.
    window.add({2, QStringLiteral("c2"), QStringLiteral("d9"), {}, QStringLiteral("me")});
    writeOutside("7;q;d7;;me\r\n1;a;d1;;me\r\n1;b;d2;;me\r\n1;n;d8;;me\r\n2;c;d3;;me\r\n2;c0;d0;;me\r\n");

    window.dialogs.answer(Answer::Ok);
    ASSERT_TRUE(window.document.SaveTaskFile());
    QStringList tasks;
    for (const Item &item : itemsOf(window.lists.lvwTasks))
        tasks << item.task;
    EXPECT_EQ(tasks, (QStringList{"a", "b", "n", "q"}));
    QStringList completed;
    for (const Item &item : itemsOf(window.lists.lvwCompleted))
        completed << item.task;
    EXPECT_EQ(completed, (QStringList{"c", "c2", "c0"}));
}

TEST_F(OutsideChangeTest, UnchangedFileIsSavedAsBefore)
{
    window.add({1, QStringLiteral("mine"), QStringLiteral("d4"), {}, QStringLiteral("me")});
    ASSERT_TRUE(window.document.SaveTaskFile());
    EXPECT_TRUE(window.dialogs.messages().isEmpty());
    EXPECT_EQ(readBytes(file), TaskFileEncoder().encode(window.lists));

    // A deleted file is written again.
    ASSERT_TRUE(QFile::remove(file));
    window.add({1, QStringLiteral("more"), QStringLiteral("d5"), {}, QStringLiteral("me")});
    ASSERT_TRUE(window.document.SaveTaskFile());
    EXPECT_TRUE(window.dialogs.messages().isEmpty());
    EXPECT_EQ(readBytes(file), TaskFileEncoder().encode(window.lists));
}

TEST_F(OutsideChangeTest, UnreadableOrForeignDiskVersionStopsTheSave)
{
    window.add({1, QStringLiteral("mine"), QStringLiteral("d4"), {}, QStringLiteral("me")});

    // Half written: a line cut short after its status.
    const QByteArray half = kHeader + "1;a;d1;;me\r\n\r\n";
    writeBytes(file, half);
    window.dialogs.answer(Answer::Ok);
    EXPECT_FALSE(window.document.SaveTaskFile());
    EXPECT_TRUE(window.dialogs.messages().last().text.startsWith(
        QStringLiteral("The file was changed elsewhere and could not be read completely, so nothing was saved.\n")));
    EXPECT_EQ(readBytes(file), half);
    EXPECT_TRUE(window.document.isDirty());

    // Something else put in its place.
    writeBytes(file, "not a list\n");
    window.dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(window.document.SaveTaskFile());
    EXPECT_EQ(window.dialogs.messages().last().text,
              QStringLiteral("The file was replaced by something that is not a task list.\nNothing was saved. "
                             "Save the list under another name?"));
    EXPECT_EQ(window.dialogs.messages().last().buttons, Buttons::OkCancel);
    EXPECT_EQ(readBytes(file), QByteArray("not a list\n"));

    // Renamed: nothing appears under the old name unless the user picks it.
    ASSERT_TRUE(QFile::remove(file));
    writeBytes(file, kHeader);
    window.document.openFromCommandLine(file);
    window.add({1, QStringLiteral("mine"), QStringLiteral("d4"), {}, QStringLiteral("me")});
    const QString moved = dir.filePath(QStringLiteral("moved.tvk"));
    ASSERT_TRUE(QFile::rename(file, moved));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.tvk"));
    window.dialogs.answer(Answer::Ok);
    window.dialogs.choose(elsewhere);
    EXPECT_TRUE(window.document.SaveTaskFile());
    EXPECT_TRUE(window.dialogs.messages().last().text.startsWith(
        QStringLiteral("The file was renamed or moved since it was read.\n")));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(readBytes(moved), kHeader);
    EXPECT_EQ(readBytes(elsewhere), TaskFileEncoder().encode(window.lists));
    EXPECT_EQ(window.dialogs.pendingAnswers(), 0);
}

TEST_F(OutsideChangeTest, AChangeAtAnyPointOfTheSaveSurvivesIt)
{
    const auto appendOutside = [this](const QByteArray &line) { writeBytes(file, readBytes(file) + line); };
    int round = 0;
    for (const SaveStep point :
         {SaveStep::OtherVersionRead, SaveStep::Encoded, SaveStep::NewContentsSynced, SaveStep::AboutToReplace}) {
        SCOPED_TRACE(static_cast<int>(point));
        const QByteArray n = QByteArray::number(++round);
        appendOutside("8;first " + n + ";d;;you\r\n"); // so that the save merges and passes every point
        window.add({1, QStringLiteral("mine ") + n, QStringLiteral("d"), {}, QStringLiteral("me")});
        bool changed = false;
        SaveSteps::Observe([&](SaveStep reached) {
            if (reached == point && !std::exchange(changed, true))
                appendOutside("6;late " + n + ";d;;you\r\n");
        });
        window.dialogs.answer(Answer::Ok);
        const qsizetype before = window.dialogs.messages().size();
        const bool saved = window.document.SaveTaskFile();
        SaveSteps::Observe({});
        ASSERT_TRUE(saved);
        EXPECT_TRUE(changed);
        ASSERT_EQ(window.dialogs.messages().size(), before + 1);
        EXPECT_EQ(window.dialogs.messages().last().text, mergeReport(2, 0, 0));
        const QByteArray written = readBytes(file);
        EXPECT_EQ(written, TaskFileEncoder().encode(window.lists));
        for (const QByteArray task : {"first ", "late ", "mine "})
            EXPECT_TRUE(written.contains(";" + task + n + ";")) << task.constData();
    }

    // A file that changes at every try stops the save: nothing is written,
    // and the merge is said after the reason.
    window.add({1, QStringLiteral("last"), QStringLiteral("d"), {}, QStringLiteral("me")});
    QByteArray outside;
    SaveSteps::Observe([&](SaveStep reached) {
        if (reached == SaveStep::AboutToReplace) {
            appendOutside("8;again;d;;you\r\n");
            outside = readBytes(file);
        }
    });
    window.dialogs.answer(Answer::Ok);
    window.dialogs.answer(Answer::Ok);
    const qsizetype before = window.dialogs.messages().size();
    const bool saved = window.document.SaveTaskFile();
    SaveSteps::Observe({});
    EXPECT_FALSE(saved);
    EXPECT_TRUE(window.document.isDirty());
    EXPECT_EQ(readBytes(file), outside);
    ASSERT_EQ(window.dialogs.messages().size(), before + 2);
    EXPECT_EQ(window.dialogs.messages()[before].text,
              QStringLiteral("The file was changed elsewhere and could not be read completely, so nothing was "
                             "saved.\nIt kept changing while the list was being saved."));
    EXPECT_EQ(window.dialogs.messages()[before + 1].text, mergeReport(3, 0, 0));
}

TEST_F(OutsideChangeTest, AVersionStillBeingWrittenIsWaitedForAndACutCharacterIsNoOtherEncoding)
{
    // The window's list is plain UTF-8.
    writeBytes(file, kHeader + "1;caf\xC3\xA9;d1;;me\r\n");
    window.document.openFromCommandLine(file);
    window.add({1, QStringLiteral("mine"), QStringLiteral("d4"), {}, QStringLiteral("me")});

    // Another program writes the file in place in two halves, the first one
    // cut inside a character, and Save comes in the pause between them.
    const QByteArray whole = kHeader + "1;caf\xC3\xA9;d1;;me\r\n8;th\xC3\xA9" + "irs;d5;;you\r\n";
    const qsizetype cut = whole.indexOf("\xC3\xA9irs") + 1;
    writeBytes(file, whole.left(cut));
    std::thread secondHalf([&] {
        QThread::msleep(150);
        QFile out(file);
        if (out.open(QIODevice::Append))
            out.write(whole.mid(cut));
    });
    window.dialogs.answer(Answer::Ok);
    const bool saved = window.document.SaveTaskFile();
    secondHalf.join();
    ASSERT_TRUE(saved);
    EXPECT_EQ(window.dialogs.messages().last().text, mergeReport(1, 0, 0));
    EXPECT_NE(window.find(QStringLiteral("th\u00E9irs")), nullptr);
    EXPECT_EQ(readBytes(file), TaskFileEncoder().encode(window.lists, TaskFileFormat::TextForm::Utf8));

    // A version that stays cut is not read as Windows-1252.
    window.add({1, QStringLiteral("more"), QStringLiteral("d6"), {}, QStringLiteral("me")});
    writeBytes(file, whole.left(cut));
    window.dialogs.answer(Answer::Ok);
    EXPECT_FALSE(window.document.SaveTaskFile());
    EXPECT_EQ(window.dialogs.messages().last().text,
              QStringLiteral("The file was changed elsewhere and could not be read completely, so nothing was "
                             "saved.\nThe file ends inside a character: it is still being written, or it was cut "
                             "short."));
    EXPECT_EQ(readBytes(file), whole.left(cut));
    EXPECT_TRUE(window.document.isDirty());
}
