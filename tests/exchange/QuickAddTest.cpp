#include "exchange/QuickAdd.h"

#include "fileformat/TaskFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QTemporaryDir>

namespace {

Result add(const QString &path, double status, const QString &task, const QString &user)
{
    NewEntries entries;
    entries.push_back(Entry::create(status, task, u"d0", {}, user));
    return AddEntriesToFile(path, std::move(entries));
}

} // namespace

// In each of the three forms the new line goes right below the header, in
// that form, and every other byte stays, odd line ends and spellings included.
TEST(QuickAdd, LeavesEveryOtherByteInEachForm)
{
    const struct {
        QByteArray header;
        QByteArray rest;
        const char16_t *task;
        QByteArray line;
    } forms[] = {
        {"status;task;added;edited;user  \n", "1;caf\xE9;d1;;me\n 07;x\\y;d2;;\r2;b;d3;d4;you", u"Tee \u20AC",
         "1;Tee \x80;d0;;Ann\r\n"},
        {"Status;Task;Added;Edited;User\r\n", "1;\xC5\x91r;d1;;me\r\n", u"\u0151 2", "1;\xC5\x91 2;d0;;Ann\r\n"},
        {"\xEF\xBB\xBFStatus;Task;Added;Edited;User\r\n", "1;a\\;b;d1;;me\r\n", u"c;d\\e", "1;c\\;d\\\\e;d0;;Ann\r\n"},
    };
    for (const auto &form : forms) {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.tvk");
        writeBytes(path, form.header + form.rest);
        ASSERT_TRUE(add(path, 1, QString::fromUtf16(form.task), u"Ann"_qs).succeeded());
        EXPECT_EQ(readBytes(path), form.header + form.line + form.rest);
    }
}

// Text that a plain form cannot hold puts the whole file in the extended form,
// the other entries unchanged and in their order.
TEST(QuickAdd, TextThatNeedsItWritesTheExtendedForm)
{
    for (const QString task : {u"a;b"_qs, u"\u00C5\u2018"_qs /* Windows-1252 bytes that read as UTF-8 */}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.tvk");
        writeBytes(path, "Status;Task;Added;Edited;User\n4;x\\y;d1;;me\r\n2;b;d2;d3;you\r\n");
        ASSERT_TRUE(add(path, 7, task, u"Ann"_qs).succeeded());
        EXPECT_EQ(readBytes(path),
                  QByteArray("\xEF\xBB\xBFStatus;Task;Added;Edited;User\r\n7;")
                      + (task == u"a;b" ? QByteArray("a\\;b") : task.toUtf8())
                      + ";d0;;Ann\r\n4;x\\\\y;d1;;me\r\n2;b;d2;d3;you\r\n");
        TaskLists lists;
        ScriptedDialogs dialogs;
        EXPECT_EQ(LoadTaskFile(path, lists, dialogs), LoadResult::Complete);
    }
}

TEST(QuickAdd, RefusesAFileItCannotReadCompletelyAndCreatesAMissingOne)
{
    QTemporaryDir dir;
    const QString lossy = dir.filePath("lossy.tvk");
    const QByteArray bytes = "Status;Task;Added;Edited;User\r\n1;a;b;c;d;e\r\n";
    writeBytes(lossy, bytes);
    const Result refused = add(lossy, 1, u"new"_qs, u"Ann"_qs);
    EXPECT_TRUE(refused.failed());
    EXPECT_TRUE(refused.reason().contains(u"2"));
    EXPECT_EQ(readBytes(lossy), bytes);

    const QString missing = dir.filePath("new.tvk");
    ASSERT_TRUE(add(missing, 1, u"first"_qs, u"Ann"_qs).succeeded());
    EXPECT_EQ(readBytes(missing), "Status;Task;Added;Edited;User\r\n1;first;d0;;Ann\r\n");
}

TEST(QuickAdd, TypedLineBreaks)
{
    EXPECT_EQ(StoredTaskText(u"a\\nb\\\\nc\\x"_qs), u"a | b\\nc\\x"_qs);
}
