#include "exchange/Import.h"

#include "entries/Status.h"
#include "exchange/Export.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <utility>
#include <vector>

namespace {

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Import)
};

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

QByteArrayView withoutByteOrderMark(const QByteArray &bytes)
{
    return bytes.startsWith(kByteOrderMark) ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString notUtf8(qsizetype line)
{
    return Texts::tr("Line %1 is not UTF-8 text.").arg(line);
}

// Calls take(number, text) for each line, numbered from 1, without its line end.
template<typename Take>
void forEachLine(QByteArrayView bytes, ImportedEntries &imported, Take take)
{
    qsizetype number = 0;
    for (qsizetype begin = 0; begin < bytes.size();) {
        ++number;
        qsizetype end = bytes.indexOf('\n', begin);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(begin, end - begin);
        if (line.endsWith('\r'))
            line.chop(1);
        begin = end + 1;
        const std::optional<QString> text = decodeUtf8(line);
        if (!text)
            imported.skipped.append(notUtf8(number));
        else if (!text->trimmed().isEmpty())
            take(*text);
    }
}

// "2026-12-08 " at the start of a todo.txt line.
bool startsWithDate(QStringView text)
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} "));
    return date.match(text).hasMatch();
}

std::unique_ptr<Entry> todoTxtEntry(QString line, const QString &user, const QString &now)
{
    int status = Status_Incomplete;
    QString completed;
    QString created;
    QString priority;
    if (line.startsWith(QLatin1String("x "))) {
        status = Status_Complete;
        line.remove(0, 2);
        if (startsWithDate(line)) {
            completed = line.left(10);
            line.remove(0, 11);
        }
    } else {
        static const QRegularExpression priorityMark(QStringLiteral("^\\([A-Z]\\) "));
        if (priorityMark.match(line).hasMatch()) {
            priority = line.left(4);
            line.remove(0, 4);
        }
    }
    if (startsWithDate(line)) {
        created = line.left(10);
        line.remove(0, 11);
    }
    return Entry::create(status, priority + line, created.isEmpty() ? now : created, completed, user);
}

// The fields of RFC 4180 records, each with the number of the line it starts on.
struct CsvRecord {
    qsizetype line = 0;
    std::vector<QByteArray> fields;
    bool closed = true; // false when a quoted field never ended
};

std::vector<CsvRecord> csvRecords(QByteArrayView bytes)
{
    std::vector<CsvRecord> records;
    qsizetype line = 1;
    qsizetype i = 0;
    while (i < bytes.size()) {
        CsvRecord record;
        record.line = line;
        QByteArray field;
        for (;;) {
            if (i < bytes.size() && bytes[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= bytes.size()) {
                        record.closed = false;
                        break;
                    }
                    if (bytes[i] == '"') {
                        if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (bytes[i] == '\n')
                        ++line;
                    field += bytes[i++];
                }
            }
            while (i < bytes.size() && bytes[i] != ',' && bytes[i] != '\n' && bytes[i] != '\r')
                field += bytes[i++];
            record.fields.push_back(std::exchange(field, QByteArray()));
            if (i < bytes.size() && bytes[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < bytes.size() && bytes[i] == '\r')
            ++i;
        if (i < bytes.size() && bytes[i] == '\n')
            ++i;
        ++line;
        records.push_back(std::move(record));
    }
    return records;
}

void importCsv(QByteArrayView bytes, ImportedEntries &imported)
{
    constexpr size_t kFields = 7;
    for (const CsvRecord &record : csvRecords(bytes)) {
        if (record.fields.size() == 1 && record.fields[0].isEmpty())
            continue; // a blank line
        if (record.line == 1 && record.fields.size() == kFields && record.fields[0] == "list")
            continue; // the header row
        if (!record.closed) {
            imported.skipped.append(Texts::tr("Line %1 has a quoted field that does not end.").arg(record.line));
            continue;
        }
        if (record.fields.size() != kFields) {
            imported.skipped.append(
                Texts::tr("Line %1 has %2 fields instead of 7.").arg(record.line).arg(record.fields.size()));
            continue;
        }
        std::vector<QString> texts;
        for (const QByteArray &field : record.fields) {
            std::optional<QString> text = decodeUtf8(field);
            if (!text)
                break;
            texts.push_back(std::move(*text));
        }
        if (texts.size() != kFields) {
            imported.skipped.append(notUtf8(record.line));
            continue;
        }
        size_t numberEnd = 0;
        const std::optional<double> status = ParseStatusField(
            std::u16string_view(reinterpret_cast<const char16_t *>(texts[1].utf16()), size_t(texts[1].size())),
            &numberEnd);
        if (!status || texts[1].isEmpty() || numberEnd != size_t(texts[1].size())) {
            imported.skipped.append(Texts::tr("Line %1 has no status number.").arg(record.line));
            continue;
        }
        imported.entries.push_back(Entry::create(*status, texts[3], texts[4], texts[5], texts[6]));
    }
}

} // namespace

std::optional<ImportFormat> ImportFormatNamed(QStringView name)
{
    if (name == u"todotxt")
        return ImportFormat::TodoTxt;
    if (name == u"csv")
        return ImportFormat::Csv;
    if (name == u"text")
        return ImportFormat::Text;
    return std::nullopt;
}

ImportFormat GuessImportFormat(const QString &path, const QByteArray &bytes)
{
    const QByteArrayView text = withoutByteOrderMark(bytes);
    if (text.startsWith(CsvHeader)
        && (text.size() == qsizetype(sizeof CsvHeader - 1) || text[sizeof CsvHeader - 1] == '\r'
            || text[sizeof CsvHeader - 1] == '\n'))
        return ImportFormat::Csv;
    const QString name = QFileInfo(path).fileName().toLower();
    if (name == QLatin1String("todo.txt") || name == QLatin1String("done.txt")
        || name.endsWith(QLatin1String(".todo.txt")))
        return ImportFormat::TodoTxt;
    return ImportFormat::Text;
}

ImportedEntries ParseImport(ImportFormat format, const QByteArray &bytes, const QString &user, const QString &now)
{
    ImportedEntries imported;
    const QByteArrayView text = withoutByteOrderMark(bytes);
    switch (format) {
    case ImportFormat::Csv:
        importCsv(text, imported);
        break;
    case ImportFormat::TodoTxt:
        forEachLine(text, imported,
                    [&](const QString &line) { imported.entries.push_back(todoTxtEntry(line, user, now)); });
        break;
    case ImportFormat::Text:
        forEachLine(text, imported, [&](const QString &line) {
            imported.entries.push_back(Entry::create(Status_Incomplete, line, now, {}, user));
        });
        break;
    }
    return imported;
}
