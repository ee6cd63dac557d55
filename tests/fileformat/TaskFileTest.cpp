#include "fileformat/TaskFile.h"

#include "fileformat/TaskFileEncoder.h"
#include "fileformat/TaskFileReader.h"
#include "fileformat/Windows1252.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

char16_t decodedByte(char byte)
{
    char16_t unit = 0;
    Windows1252::Decode(&byte, 1, &unit);
    return unit;
}

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

class TaskFileTest : public ::testing::Test
{
protected:
    QString pathOf(const QString &name) const { return dir.filePath(name); }

    // Reads a file made of the given bytes; expectedMessage empty means no
    // message may be shown.
    LoadResult load(const QByteArray &bytes, const QString &expectedMessage = {})
    {
        writeBytes(pathOf(QStringLiteral("list.tvk")), bytes);
        return loadPath(pathOf(QStringLiteral("list.tvk")), expectedMessage);
    }

    LoadResult loadPath(const QString &path, const QString &expectedMessage = {})
    {
        ScriptedDialogs dialogs;
        if (!expectedMessage.isEmpty())
            dialogs.answer(Dialogs::Answer::Ok);
        const LoadResult result = LoadTaskFile(path, lists, dialogs, nullptr, &form);
        if (expectedMessage.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().isEmpty());
        } else if (dialogs.messages().size() != 1) {
            ADD_FAILURE() << "expected one message: " << expectedMessage.toStdString();
        } else {
            const auto &message = dialogs.messages().first();
            EXPECT_EQ(message.text, expectedMessage);
            EXPECT_EQ(message.buttons, Dialogs::Buttons::Ok);
            EXPECT_EQ(message.icon, Dialogs::Icon::Exclamation);
        }
        return result;
    }

    QByteArray save()
    {
        ScriptedDialogs dialogs;
        const QString path = pathOf(QStringLiteral("saved.tvk"));
        EXPECT_TRUE(WriteTaskFile(path, lists, dialogs, nullptr, form));
        EXPECT_TRUE(dialogs.messages().isEmpty());
        return readBytes(path);
    }

    Items tasks() { return itemsOf(lists.lvwTasks); }
    Items completed() { return itemsOf(lists.lvwCompleted); }
    Items unresolved() { return itemsOf(lists.lvwUnresolved); }
    Items information() { return itemsOf(lists.lvwInformation); }
    Items requests() { return itemsOf(lists.lvwRequests); }

    QTemporaryDir dir;
    TaskLists lists;
    TaskFileFormat::TextForm form = TaskFileFormat::TextForm::Windows1252; // as read, kept by a save
};

QString openingError(const QString &description)
{
    return QStringLiteral("Error opening file!\n") + description;
}

// A random text made of pieces that each stress the format in some way.
QString randomText(QRandomGenerator &random, const QStringList &pieces)
{
    QString text;
    const int count = random.bounded(7);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(static_cast<int>(pieces.size()))];
    return text;
}

double randomStatus(QRandomGenerator &random)
{
    static const double statuses[] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 7, 0, 1.5, -2, 100, 1e-7, 12345678.25};
    return statuses[random.bounded(static_cast<int>(std::size(statuses)))];
}

} // namespace

TEST_F(TaskFileTest, EveryKindOfLineEndEndsALine)
{
    const QByteArray lines[] = {"Status;Task;Added;Edited;User", "1;first;a1;;u1", "2;second;a2;e2;u2",
                                "6;third;a3;;u3"};
    const std::pair<const char *, QByteArray> layouts[] = {
        {"CR LF", lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3] + "\r\n"},
        {"LF", lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3] + "\n"},
        {"CR", lines[0] + "\r" + lines[1] + "\r" + lines[2] + "\r" + lines[3] + "\r"},
        {"mixed, no final end", lines[0] + "\n" + lines[1] + "\r" + lines[2] + "\r\n" + lines[3]},
    };
    for (const auto &[name, bytes] : layouts) {
        SCOPED_TRACE(name);
        EXPECT_EQ(load(bytes), LoadResult::Complete);
        EXPECT_EQ(tasks(), (Items{{1, "first", "a1", "", "u1"}}));
        EXPECT_EQ(completed(), (Items{{2, "second", "a2", "e2", "u2"}}));
        EXPECT_EQ(information(), (Items{{6, "third", "a3", "", "u3"}}));
    }
}

TEST_F(TaskFileTest, HeaderOnlyMissingAndEmptyFiles)
{
    addItem(lists, {1, "left over from before", "", "", ""});
    EXPECT_EQ(load(kHeader), LoadResult::Complete);
    EXPECT_TRUE(tasks().empty());
    EXPECT_EQ(load("Status;Task;Added;Edited;User"), LoadResult::Complete);
    EXPECT_EQ(load("status;TASK;added;Edited;user \t\r\n1;a;b;c;d\r\n"), LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{1, "a", "b", "c", "d"}}));

    // Any other first line would be lost on saving: the rows are read, but
    // the read is incomplete.
    const QString notTheHeader = openingError("Line 1 is not the header \"Status;Task;Added;Edited;User\".");
    EXPECT_EQ(load("1;first;a;;u\r\n7;kept;a;;u\r\n", notTheHeader), LoadResult::Incomplete);
    EXPECT_EQ(tasks(), (Items{{7, "kept", "a", "", "u"}}));
    EXPECT_EQ(load("\r\n", notTheHeader), LoadResult::Incomplete);
    EXPECT_EQ(load("Status;Task;Added;Edited;User;More\r\n", notTheHeader), LoadResult::Incomplete);
    // A large file without a line end is one line, which is no header.
    EXPECT_EQ(load(QByteArray(3 * 1024 * 1024, 'x'), notTheHeader), LoadResult::Incomplete);

    EXPECT_EQ(load("", openingError("The file is empty.")), LoadResult::Missing);
    EXPECT_TRUE(tasks().empty());

    addItem(lists, {2, "cleared even when the file is missing", "", "", ""});
    EXPECT_EQ(loadPath(pathOf("no-such.tvk"), openingError("No such file or directory")), LoadResult::Missing);
    EXPECT_EQ(loadPath(pathOf("no-such/list.tvk"), openingError("No such file or directory")), LoadResult::Missing);
    EXPECT_TRUE(completed().empty());
}

TEST_F(TaskFileTest, ReadingStopsAtTheFirstBadLineKeepingWhatCameBefore)
{
    // An empty line, here a doubled line end, ends reading; Tasks is not sorted.
    EXPECT_EQ(
        load(kHeader + "7;question;a;;u\r\n1;task;a;;u\r\n\r\n2;after;a;;u\r\n", openingError("Line 4 is empty.")),
        LoadResult::Incomplete);
    EXPECT_EQ(tasks(), (Items{{7, "question", "a", "", "u"}, {1, "task", "a", "", "u"}}));
    EXPECT_TRUE(completed().empty());
    EXPECT_FALSE(lists.lvwTasks.Sorted());

    // The failing line keeps the fields it has.
    EXPECT_EQ(load(kHeader + "1;abc\r\n2;after;a;;u\r\n", openingError("Line 2 has fewer than five fields.")),
              LoadResult::Incomplete);
    EXPECT_EQ(tasks(), (Items{{1, "abc", "", "", ""}}));
    EXPECT_TRUE(completed().empty());
    EXPECT_EQ(load(kHeader + "2;a;b;c;d\r\nword\r\n",
                   openingError("Line 3: the status holds text that is not part of a number.\n"
                                "Line 3 has fewer than five fields.")),
              LoadResult::Incomplete);
    EXPECT_EQ(completed(), (Items{{2, "a", "b", "c", "d"}}));
    EXPECT_EQ(unresolved(), (Items{{0, "", "", "", ""}}));

    // A status too large to hold makes no row.
    EXPECT_EQ(load(kHeader + "1;a;b;c;d\r\n1e999;big;a;;u\r\n", openingError("Line 3: the status is too large.")),
              LoadResult::Incomplete);
    EXPECT_EQ(tasks(), (Items{{1, "a", "b", "c", "d"}}));
    EXPECT_TRUE(unresolved().empty());
}

TEST_F(TaskFileTest, StatusSpellingsAndTheTextAReadWouldLose)
{
    // Blanks, zeros, signs and fractions are the number's spelling, which a
    // save may change without losing anything.
    EXPECT_EQ(load(kHeader
                   + "7;plain;a;;u\r\n  7;blanks;a;;u\r\n7 ;after;a;;u\r\n;empty;a;;u\r\n1.50;fraction;a;;u\r\n"
                     "-0;minus zero;a;;u\r\n+5;plus;a;;u\r\n008;zeros;a;;u\r\n"),
              LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{7, "plain", "a", "", "u"}, {7, "blanks", "a", "", "u"}, {7, "after", "a", "", "u"}}));
    EXPECT_EQ(unresolved(),
              (Items{{0, "empty", "a", "", "u"},
                     {1.5, "fraction", "a", "", "u"},
                     {0, "minus zero", "a", "", "u"},
                     {5, "plus", "a", "", "u"}}));
    EXPECT_EQ(requests(), (Items{{8, "zeros", "a", "", "u"}}));
    EXPECT_EQ(save(),
              kHeader
                  + "7;plain;a;;u\r\n7;blanks;a;;u\r\n7;after;a;;u\r\n0;empty;a;;u\r\n1.5;fraction;a;;u\r\n"
                    "0;minus zero;a;;u\r\n5;plus;a;;u\r\n8;zeros;a;;u\r\n");

    // Text a save would drop: the rows are all read, in file order, and the
    // first line that loses text is named.
    EXPECT_EQ(load(kHeader + "1;ok;a;;u\r\n7abc;letters;a;;u\r\nword;not a number;a;;u\r\n",
                   openingError("Line 3: the status holds text that is not part of a number.")),
              LoadResult::Incomplete);
    EXPECT_EQ(tasks(), (Items{{1, "ok", "a", "", "u"}, {7, "letters", "a", "", "u"}}));
    EXPECT_EQ(unresolved(), (Items{{0, "not a number", "a", "", "u"}}));
    EXPECT_EQ(load(kHeader + "6;extra;a;e;u;more;and more\r\n2;after;a;;u\r\n",
                   openingError("Line 2 has more than five fields.")),
              LoadResult::Incomplete);
    EXPECT_EQ(information(), (Items{{6, "extra", "a", "e", "u"}}));
    EXPECT_EQ(completed(), (Items{{2, "after", "a", "", "u"}}));
    EXPECT_EQ(load("\xEF\xBB\xBF" + kHeader + "6;a\\;b;c;d;e;f\r\n", openingError("Line 2 has more than five fields.")),
              LoadResult::Incomplete);
    EXPECT_EQ(information(), (Items{{6, "a;b", "c", "d", "e"}}));
}

TEST_F(TaskFileTest, TasksAreSortedByStatusStablyOtherListsKeepTheirSettings)
{
    lists.lvwCompleted.setSorting(Entry::User, CategoryList::Descending, true);
    EXPECT_EQ(load(kHeader
                   + "7;q1;a;;u\r\n1;t1;a;;u\r\n4;x1;a;;u\r\n7;q2;a;;u\r\n2;c1;a;;anna\r\n4;x2;a;;u\r\n"
                     "1;t2;a;;u\r\n2;c2;a;;zoe\r\n2;c3;a;;bert\r\n"),
              LoadResult::Complete);
    EXPECT_EQ(
        tasks(),
        (Items{{1, "t1", "a", "", "u"}, {1, "t2", "a", "", "u"}, {7, "q1", "a", "", "u"}, {7, "q2", "a", "", "u"}}));
    EXPECT_EQ(lists.lvwTasks.SortKey(), Entry::StatusText);
    EXPECT_TRUE(lists.lvwTasks.Sorted());
    EXPECT_EQ(unresolved(), (Items{{4, "x1", "a", "", "u"}, {4, "x2", "a", "", "u"}}));
    EXPECT_FALSE(lists.lvwUnresolved.Sorted());
    EXPECT_EQ(completed(), (Items{{2, "c2", "a", "", "zoe"}, {2, "c3", "a", "", "bert"}, {2, "c1", "a", "", "anna"}}));

    // The sort order of Tasks stays as the user left it.
    lists.lvwTasks.setSorting(lists.lvwTasks.SortKey(), CategoryList::Descending, lists.lvwTasks.Sorted());
    EXPECT_EQ(load(kHeader + "1;t1;a;;u\r\n7;q1;a;;u\r\n1;t2;a;;u\r\n"), LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{7, "q1", "a", "", "u"}, {1, "t1", "a", "", "u"}, {1, "t2", "a", "", "u"}}));
}

TEST_F(TaskFileTest, TheCodePageTableMatchesQtAndEveryByteRoundTrips)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        QStringDecoder decoder("windows-1252");
        const QString expected = decoder.decode(QByteArrayView(&c, 1));
        ASSERT_EQ(expected.size(), 1);
        EXPECT_EQ(decodedByte(c), expected[0].unicode()) << byte;
        EXPECT_EQ(Windows1252::ByteFor(decodedByte(c)), byte) << byte;
    }
    EXPECT_EQ(Windows1252::ByteFor(0x80), -1); // its byte stands for the euro sign
    EXPECT_EQ(Windows1252::ByteFor(0x0100), -1);
    EXPECT_EQ(Windows1252::ByteFor(0x20AC), 0x80);

    // A file holding every byte but the line ends and the separator reads and
    // saves back unchanged.
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n' && byte != ';')
            all.append(static_cast<char>(byte));
    }
    const QByteArray file = kHeader + "1;" + all + ";" + all.mid(128) + ";;" + all.left(128) + "\r\n";
    EXPECT_EQ(load(file), LoadResult::Complete);
    ASSERT_EQ(tasks().size(), 1u);
    EXPECT_EQ(tasks()[0].task.size(), all.size());
    EXPECT_EQ(tasks()[0].task[0x81 - 3], QChar(0x81)); // three bytes below it are left out
    EXPECT_EQ(save(), file);
}

TEST_F(TaskFileTest, PlainFormIsTheClassicFormatByteForByte)
{
    addItem(lists, {1, "Order toner | two cartridges", "12/8/2026 2:05:31 PM", "", "office"});
    addItem(lists, {2, "Send the minutes", "12/1/2026 9:12:00 AM", "12/7/2026 5:40:02 PM", "admin"});
    addItem(lists, {6, "Caf\u00e9 costs 5 \u20ac, \\ is fine", "12/2/2026 8:00:00 AM", "", "J\u00fcrgen"});
    addItem(lists, {8, "", "", "", ""});
    addItem(lists, {4, "second unresolved", "d", "", "u"});
    addItem(lists, {3, "first unresolved", "d", "", "u"});
    lists.lvwUnresolved.setSorting(Entry::Task, CategoryList::Ascending, true);
    EXPECT_EQ(save(),
              QByteArray("Status;Task;Added;Edited;User\r\n"
                         "1;Order toner | two cartridges;12/8/2026 2:05:31 PM;;office\r\n"
                         "2;Send the minutes;12/1/2026 9:12:00 AM;12/7/2026 5:40:02 PM;admin\r\n"
                         "3;first unresolved;d;;u\r\n"
                         "4;second unresolved;d;;u\r\n"
                         "6;Caf\xe9 costs 5 \x80, \\ is fine;12/2/2026 8:00:00 AM;;J\xfcrgen\r\n"
                         "8;;;;\r\n"));
}

TEST_F(TaskFileTest, ExtendedFormCarriesWhatThePlainFormCannot)
{
    addItem(lists, {1, "plain", "a", "", "u"});
    addItem(lists, {2, "a;b\\c\r\nd \u03a9", "a", "", "u\\"});
    EXPECT_EQ(save(),
              QByteArray("\xEF\xBB\xBFStatus;Task;Added;Edited;User\r\n"
                         "1;plain;a;;u\r\n"
                         "2;a\\;b\\\\c\\r\\nd \xCE\xA9;a;;u\\\\\r\n"));

    // Unknown escapes and a final "\" stay as they are; a mark inside a
    // field is text. Bad UTF-8 shows as replacement characters, and the read
    // is incomplete, since a save would write those.
    EXPECT_EQ(load("\xEF\xBB\xBF" + kHeader + "1;a\\q\\;b\\\\;d\\ne\\r;;u\\\r\n2;x;\xEF\xBB\xBFz;;\r\n"),
              LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{1, "a\\q;b\\", "d\ne\r", "", "u\\"}}));
    EXPECT_EQ(completed(), (Items{{2, "x", QChar(0xFEFF) + QString("z"), "", ""}}));
    EXPECT_EQ(load("\xEF\xBB\xBF" + kHeader + "1;a;;;\r\n2;x\xFFy;\xC3;;\r\n4;b\xED\xA0\x80;;;\r\n",
                   openingError("Line 3 holds bytes that are not valid UTF-8.")),
              LoadResult::Incomplete);
    EXPECT_EQ(completed(), (Items{{2, "x\ufffdy", "\ufffd", "", ""}}));
    EXPECT_EQ(unresolved().size(), 1u);

    // Without the mark, "\" is an ordinary character.
    EXPECT_EQ(load(kHeader + "1;a\\;b\\n;c;d\r\n"), LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{1, "a\\", "b\\n", "c", "d"}}));

    EXPECT_EQ(load("\xEF\xBB\xBF", openingError("The file is empty.")), LoadResult::Missing);
}

TEST_F(TaskFileTest, RandomEntriesSurviveSaveAndLoadInBothForms)
{
    const QStringList plainPieces = {"a",
                                     "Zq",
                                     " ",
                                     "\t",
                                     " | ",
                                     "\\",
                                     "\\n",
                                     "\u00e9",
                                     "\u20ac",
                                     "\u00df",
                                     "\u0081",
                                     "\u008d",
                                     "\u008f",
                                     "\u0090",
                                     "\u009d",
                                     QString(QChar(0)),
                                     "12/8/2026 2:05:31 PM"};
    QStringList extendedPieces = plainPieces;
    extendedPieces << ";"
                   << "\r"
                   << "\n"
                   << "\r\n"
                   << "\\;"
                   << "\\r"
                   << "\u03a9"
                   << "\u4e2d"
                   << "\U0001F600" << QString(QChar(0xFEFF)) << "\u0080";

    QRandomGenerator random(20261208);
    for (const bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "extended" : "plain");
        const QStringList &pieces = extended ? extendedPieces : plainPieces;
        for (int round = 0; round < 20; ++round) {
            lists.ClearAllLists();
            const int count = random.bounded(60);
            for (int i = 0; i < count; ++i) {
                addItem(lists,
                        {randomStatus(random), randomText(random, pieces), randomText(random, pieces),
                         randomText(random, pieces), randomText(random, pieces)});
            }
            if (extended) // make sure the round needs the extended form
                addItem(lists, {4, ";", "", "", ""});
            // As after reading: Tasks sorted by status.
            lists.lvwTasks.setSorting(Entry::StatusText, CategoryList::Ascending, true);
            const auto before = contentsOf(lists);

            const QByteArray saved = save();
            EXPECT_EQ(saved.startsWith("\xEF\xBB\xBF"), extended);
            EXPECT_EQ(loadPath(pathOf("saved.tvk")), LoadResult::Complete);
            EXPECT_EQ(contentsOf(lists), before);
            EXPECT_EQ(save(), saved);
        }
    }
}

// Long fields are converted many characters at a time: a character that the
// plain form cannot carry, or a byte outside ASCII, must count wherever in a
// long field it stands.
TEST_F(TaskFileTest, EveryPlaceInALongFieldIsConverted)
{
    const QString filler = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ");
    const QString odds[] = {QStringLiteral(";"),  QStringLiteral("\r"),  QStringLiteral("\n"), QString(QChar(0x80)),
                            QString(QChar(0x9F)), QString(QChar(0x100)), QString(QChar(0x3A9))};
    for (const QString &odd : odds) {
        for (int at = 0; at <= filler.size(); ++at) {
            SCOPED_TRACE(at);
            lists.ClearAllLists();
            const QString task = filler.left(at) + odd + filler.mid(at);
            addItem(lists, {1, task, filler, "", filler});
            const QByteArray encoded = TaskFileEncoder().encode(lists);
            EXPECT_TRUE(encoded.startsWith("\xEF\xBB\xBF")) << odd.toStdString();
            EXPECT_EQ(load(encoded), LoadResult::Complete);
            EXPECT_EQ(tasks(), (Items{{1, task, filler, "", filler}}));
        }
    }
    for (const char odd : {'\x80', '\x9f', '\xa0', '\xe9', '\xff'}) {
        for (int at = 0; at <= filler.size(); ++at) {
            SCOPED_TRACE(at);
            const QByteArray task = filler.left(at).toLatin1() + odd + filler.mid(at).toLatin1();
            const QByteArray file = kHeader + "1;" + task + ";;;\r\n";
            EXPECT_EQ(load(file), LoadResult::Complete);
            ASSERT_EQ(tasks().size(), 1u);
            EXPECT_EQ(tasks()[0].task, filler.left(at) + QChar(decodedByte(odd)) + filler.mid(at));
            EXPECT_EQ(TaskFileEncoder().encode(lists), file);
        }
    }
}

TEST_F(TaskFileTest, LinesAcrossReadBlocks)
{
    // A CR LF split between two blocks read from the disk is still one line
    // end, whatever power of two the block size is.
    for (int shift = 12; shift <= 21; ++shift) {
        const int boundary = 1 << shift;
        SCOPED_TRACE(boundary);
        const QByteArray longHeader = kHeader.left(29) + QByteArray(boundary - 30, ' ') + "\r\n1;a;b;c;d\r\n";
        EXPECT_EQ(load(longHeader), LoadResult::Complete);
        EXPECT_EQ(tasks(), (Items{{1, "a", "b", "c", "d"}}));

        const QByteArray longEntry = kHeader + "2;;;;" + QByteArray(boundary - 9, 'x') + "\r\n1;a;b;c;d\r\n";
        EXPECT_EQ(load(longEntry), LoadResult::Complete);
        ASSERT_EQ(completed().size(), 1u);
        EXPECT_EQ(completed()[0].user.size(), boundary - 9);
        EXPECT_EQ(tasks().size(), 1u);
    }
}

TEST_F(TaskFileTest, OnlyRegularFilesAreRead)
{
    EXPECT_EQ(loadPath(dir.path(), openingError("The path names a folder, not a file.")), LoadResult::Incomplete);
    const QString fifo = pathOf("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(loadPath(fifo, openingError("The path names a device, pipe or socket, not a file.")),
              LoadResult::Incomplete);
    EXPECT_EQ(loadPath("/dev/zero", openingError("The path names a device, pipe or socket, not a file.")),
              LoadResult::Incomplete);
}

TEST_F(TaskFileTest, AnyBytesReadOrEndWithTheMessage)
{
    // NUL bytes are ordinary characters.
    EXPECT_EQ(load(kHeader + QByteArray("1;a\0b;\0;;\0\r\n", 12)), LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{1, QString("a") + QChar(0) + "b", QString(QChar(0)), "", QString(QChar(0))}}));

    // One line of many megabytes.
    const QByteArray longTask(20 * 1024 * 1024, 'x');
    EXPECT_EQ(load(kHeader + "1;" + longTask + ";a;;u"), LoadResult::Complete);
    ASSERT_EQ(tasks().size(), 1u);
    EXPECT_EQ(tasks()[0].task.size(), longTask.size());

    QRandomGenerator random(7);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(random.bounded(1, 4096), Qt::Uninitialized);
        for (char &byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        if (round % 2 == 0) // some with line ends and separators to get further
            bytes = kHeader + "1;" + bytes.replace('\x01', ';').replace('\x02', '\r');
        writeBytes(pathOf("random.tvk"), bytes);
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::Ok);
        const LoadResult result = LoadTaskFile(pathOf("random.tvk"), lists, dialogs);
        EXPECT_EQ(dialogs.messages().size(), result == LoadResult::Complete ? 0 : 1);
        if (!dialogs.messages().isEmpty()) {
            EXPECT_TRUE(dialogs.messages()[0].text.startsWith("Error opening file!\n"));
        }
    }
}

TEST_F(TaskFileTest, EachFormIsSavedBackByteForByte)
{
    const QByteArray windows1252 = kHeader
        + "1;Gr\xFC\xDF"
          "e \x80;a;;J\xFCrgen\r\n";
    const QByteArray utf8 = kHeader
        + "1;Gr\xC3\xBC\xC3\x9F"
          "e \xE4\xB8\xAD \\ ok;a;;J\xC3\xBCrgen\r\n";
    const QByteArray extended = "\xEF\xBB\xBF" + kHeader + "1;only Latin \\\\ text;a;;J\xC3\xBCrgen\r\n";
    const QByteArray ascii = kHeader + "1;plain;a;;u\r\n";
    for (const QByteArray &file : {windows1252, utf8, extended, ascii}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(load(file), LoadResult::Complete);
        EXPECT_EQ(save(), file);
    }
    EXPECT_EQ(load(utf8), LoadResult::Complete);
    EXPECT_EQ(tasks(), (Items{{1, "Gr\u00fc\u00dfe \u4e2d \\ ok", "a", "", "J\u00fcrgen"}}));
    // Line ends are spelling: the save writes CR LF.
    EXPECT_EQ(load(QByteArray(utf8).replace("\r\n", "\n")), LoadResult::Complete);
    EXPECT_EQ(save(), utf8);

    // A UTF-8 file whose new text does not fit the plain form becomes extended.
    addItem(lists, {2, "a;b", "", "", ""});
    EXPECT_EQ(save(),
              "\xEF\xBB\xBF" + kHeader
                  + "1;Gr\xC3\xBC\xC3\x9F"
                    "e \xE4\xB8\xAD \\\\ ok;a;;J\xC3\xBCrgen\r\n"
                    "2;a\\;b;;;\r\n");

    // Windows-1252 text whose bytes happen to be valid UTF-8 would read back
    // as other text; it is saved in the extended form.
    lists.ClearAllLists();
    form = TaskFileFormat::TextForm::Windows1252;
    addItem(lists, {1, "\u00c5\u2018", "", "", ""});
    EXPECT_EQ(save(), "\xEF\xBB\xBF" + kHeader + "1;\xC3\x85\xE2\x80\x98;;;\r\n");

    // Bytes that are not valid UTF-8 anywhere make it Windows-1252 (an
    // overlong form and a cut sequence at the end).
    for (const QByteArray &file : {kHeader + "1;\xC3\xBC \xC0\xAF;;;\r\n", kHeader + "1;\xC3\xBC;;;\xE4\xB8"}) {
        EXPECT_EQ(load(file), LoadResult::Complete);
        ASSERT_EQ(tasks().size(), 1u);
        EXPECT_EQ(tasks()[0].task.left(2), QString("\u00c3\u00bc"));
    }
}
