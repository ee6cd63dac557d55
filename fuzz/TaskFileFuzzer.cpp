// Feeds arbitrary bytes to the task-list reader, then checks that writing the
// lists it filled and reading the result back gives the same rows in the same
// lists, and that a read called complete kept every character: the input's
// own fields, split here without the reader's code, are the rows' fields. Any
// difference aborts, so that libFuzzer keeps the input.

#include "base/Dialogs.h"
#include "entries/CategoryList.h"
#include "entries/Status.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Answers every box with OK and remembers what it was told.
class RecordingDialogs : public Dialogs
{
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, Default) override
    {
        messages.append(text);
        if (buttons != Buttons::Ok || icon != Icon::Exclamation)
            fault("a reading or writing message that is not an OK box with the exclamation icon", text);
        return Answer::Ok;
    }
    QString chooseFile(FileMode, const QString &) override
    {
        fault("the reader or writer asked for a file", {});
        return {};
    }

    [[noreturn]] static void fault(const char *what, const QString &detail)
    {
        std::fprintf(stderr, "round trip fault: %s\n%s\n", what, qPrintable(detail));
        std::abort();
    }

    QStringList messages;
};

struct Item {
    double status;
    QString texts[Entry::FieldCount]; // the main text and the four sub-items

    bool operator==(const Item &other) const
    {
        return status == other.status && std::equal(std::begin(texts), std::end(texts), std::begin(other.texts));
    }
};

using Items = std::vector<Item>;

Items itemsOf(const CategoryList &list)
{
    Items items;
    for (int position = 1; position <= list.count(); ++position) {
        const Row row = list.rowAt(position);
        Item item{row->status, {}};
        for (int field = 0; field < Entry::FieldCount; ++field)
            item.texts[field] = row->field(field).toString();
        items.push_back(std::move(item));
    }
    return items;
}

// Reading a complete file sorts Tasks by the status text, ascending and
// stably, so rows with the same status keep the order they were written in.
Items sortedByStatusText(Items items)
{
    std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        return CompareSortTexts(FormatStatus(a.status), FormatStatus(b.status)) < 0;
    });
    return items;
}

// Every character outside printable ASCII as \uXXXX, so that a report
// shows exactly what differs.
QString visible(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\' && c != u'|')
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return shown;
}

QString describe(const Items &items)
{
    QString text;
    for (const Item &item : items) {
        text += FormatStatus(item.status);
        for (const QString &field : item.texts)
            text += u'|' + visible(field);
        text += u'\n';
    }
    return text;
}

// The fields of each entry line of a file, split the simple way: the whole
// file decoded in its form first, then cut at line ends and separators.
std::vector<QStringList> entryFieldsOf(const QByteArray &bytes)
{
    const bool extended = bytes.startsWith("\xEF\xBB\xBF");
    QString text;
    if (extended) {
        text = QStringDecoder(QStringDecoder::Utf8,
                              QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom)
                   .decode(bytes.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text = utf8.decode(bytes);
        const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
        if (utf8.hasError() || !nonAscii)
            text = QStringDecoder("windows-1252").decode(bytes);
    }
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            line += text[i];
            continue;
        }
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        lines.append(std::exchange(line, QString()));
    }
    if (!line.isEmpty())
        lines.append(line);

    std::vector<QStringList> entries;
    for (qsizetype l = 1; l < lines.size(); ++l) {
        QStringList fields{QString()};
        const QString &entry = lines[l];
        for (qsizetype i = 0; i < entry.size(); ++i) {
            const QChar c = entry[i];
            const QChar next = i + 1 < entry.size() ? entry[i + 1] : QChar();
            if (extended && c == u'\\' && QStringLiteral("\\;rn").contains(next) && !next.isNull()) {
                fields.last() += next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : next;
                ++i;
            } else if (c == u';') {
                fields.append(QString());
            } else {
                fields.last() += c;
            }
        }
        entries.push_back(fields);
    }
    return entries;
}

// What a complete read of the input must have given: every entry line with
// exactly five fields, in the list its status picks, in file order, Tasks
// sorted stably by status text.
std::vector<Items> expectedRows(const QByteArray &bytes)
{
    std::vector<Items> lists(CategoryCount);
    for (const QStringList &fields : entryFieldsOf(bytes)) {
        if (fields.size() != 5)
            RecordingDialogs::fault("a complete read of a line without five fields", fields.join(u';'));
        const std::optional<double> status = ParseStatusField(std::u16string_view(
            reinterpret_cast<const char16_t *>(fields[0].utf16()), static_cast<size_t>(fields[0].size())));
        if (!status)
            RecordingDialogs::fault("a complete read of a status too large", fields[0]);
        Item item{*status, {}};
        for (int field = Entry::Task; field <= Entry::User; ++field)
            item.texts[field] = fields[field - Entry::Task + 1];
        lists[static_cast<int>(CategoryForStatus(*status))].push_back(std::move(item));
    }
    lists[0] = sortedByStatusText(lists[0]);
    return lists;
}

QTemporaryDir *workFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tarvik-fuzz-XXXXXX"));
    return &folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = workFolder()->filePath(QStringLiteral("input.tvk"));
    const QString output = workFolder()->filePath(QStringLiteral("output.tvk"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) != qint64(size))
            RecordingDialogs::fault("cannot write the input file", input);
    }

    TaskLists read;
    RecordingDialogs readDialogs;
    TaskFileFormat::TextForm form = TaskFileFormat::TextForm::Windows1252;
    const LoadResult result = LoadTaskFile(input, read, readDialogs, nullptr, &form);
    if (readDialogs.messages.size() != (result == LoadResult::Complete ? 0 : 1))
        RecordingDialogs::fault("a complete read showed a message, or a failed one did not",
                                readDialogs.messages.join('\n'));
    if (!readDialogs.messages.isEmpty() && !readDialogs.messages[0].startsWith(QStringLiteral("Error opening file!\n")))
        RecordingDialogs::fault("an unexpected reading message", readDialogs.messages[0]);

    // What the next read must give, list by list. Every row sits in the list
    // its status picks. Tasks read back is sorted stably by status text; after
    // a complete read it already is, after a failed one it is in file order.
    std::vector<Items> expected;
    for (CategoryList *list : read.all()) {
        Items items = itemsOf(*list);
        for (const Item &item : items) {
            if (read.all()[static_cast<int>(CategoryForStatus(item.status))] != list)
                RecordingDialogs::fault("a row in the wrong list", list->name() + u'\n' + describe({item}));
        }
        if (list == &read.lvwTasks) {
            Items sorted = sortedByStatusText(items);
            if (result == LoadResult::Complete && !(sorted == items))
                RecordingDialogs::fault("Tasks is not sorted by status after a complete read", describe(items));
            items = std::move(sorted);
        }
        expected.push_back(std::move(items));
    }

    if (result == LoadResult::Complete) {
        const std::vector<Items> fromInput =
            expectedRows(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
        for (int category = 0; category < CategoryCount; ++category) {
            if (!(fromInput[category] == expected[category]))
                RecordingDialogs::fault("a complete read lost or changed text",
                                        read.all()[category]->name() + QStringLiteral("\nin the file:\n")
                                            + describe(fromInput[category]) + QStringLiteral("read:\n")
                                            + describe(expected[category]));
        }
    }

    RecordingDialogs writeDialogs;
    if (!WriteTaskFile(output, read, writeDialogs, nullptr, form) || !writeDialogs.messages.isEmpty())
        RecordingDialogs::fault("writing failed", writeDialogs.messages.join('\n'));

    TaskLists reread;
    RecordingDialogs rereadDialogs;
    if (LoadTaskFile(output, reread, rereadDialogs) != LoadResult::Complete || !rereadDialogs.messages.isEmpty())
        RecordingDialogs::fault("the written file does not read completely", rereadDialogs.messages.join('\n'));
    for (int category = 0; category < CategoryCount; ++category) {
        const CategoryList &list = *reread.all()[category];
        const Items actual = itemsOf(list);
        if (!(actual == expected[category]))
            RecordingDialogs::fault("the rows read back differ",
                                    list.name() + QStringLiteral("\nexpected:\n") + describe(expected[category])
                                        + QStringLiteral("read back:\n") + describe(actual));
    }
    return 0;
}
