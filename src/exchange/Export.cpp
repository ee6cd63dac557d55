#include "exchange/Export.h"

#include "base/ByteBuffer.h"
#include "entries/Status.h"
#include "entries/TaskLists.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringEncoder>

#include <array>
#include <cstring>
#include <string>

namespace {

// List names for scripts to match, so they are never translated.
constexpr std::array<const char *, CategoryCount> kListNames = {
    "Tasks", "Completed", "Unresolved", "Information", "Requests",
};

// The untranslated status names, as the file's readers know them.
constexpr std::array<const char *, LastStatusCode + 1> kStatusNames = {
    "", "Incomplete", "Complete", "Invalid", "Unresolved", "Moved", "Information", "Question", "Request",
};

std::string statusName(double status)
{
    for (int code = FirstStatusCode; code <= LastStatusCode; ++code) {
        if (status == code)
            return kStatusNames[code];
    }
    return FormatStatusUtf8(status);
}

// Builds the output in a buffer and writes it out in large pieces.
class ExportWriter
{
public:
    explicit ExportWriter(QIODevice &out)
        : m_out(out)
    {
    }

    void append(std::string_view text) { m_buffer.append(text.data(), static_cast<qsizetype>(text.size())); }
    void append(char c) { m_buffer.append(c); }
    void appendUtf8(QStringView text)
    {
        m_buffer.grownTo(m_utf8.appendToBuffer(m_buffer.reserve(3 * text.size()), text));
    }

    // A CSV field, quoted when it holds a quote, a comma or a line break.
    void appendCsv(QStringView text)
    {
        bool quoted = false;
        for (const QChar c : text) {
            if (c == u'"' || c == u',' || c == u'\r' || c == u'\n') {
                quoted = true;
                break;
            }
        }
        if (!quoted) {
            appendUtf8(text);
            return;
        }
        append('"');
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'"') {
                appendUtf8(text.mid(runStart, i + 1 - runStart));
                append('"');
                runStart = i + 1;
            }
        }
        appendUtf8(text.mid(runStart));
        append('"');
    }

    // A JSON string, quotes included.
    void appendJson(QStringView text)
    {
        static constexpr char kHex[] = "0123456789abcdef";
        append('"');
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x20 && c != u'"' && c != u'\\')
                continue;
            appendUtf8(text.mid(runStart, i - runStart));
            runStart = i + 1;
            switch (c) {
            case u'"':
                append("\\\"");
                break;
            case u'\\':
                append("\\\\");
                break;
            case u'\n':
                append("\\n");
                break;
            case u'\r':
                append("\\r");
                break;
            case u'\t':
                append("\\t");
                break;
            default:
                append("\\u00");
                append(kHex[c >> 4]);
                append(kHex[c & 0xF]);
            }
        }
        appendUtf8(text.mid(runStart));
        append('"');
    }

    void flushIfFull()
    {
        if (m_buffer.size() >= kFlushSize)
            flush();
    }

    bool finish()
    {
        flush();
        return !m_failed;
    }

private:
    static constexpr qsizetype kFlushSize = qsizetype(1024) * 1024;

    void flush()
    {
        if (!m_failed && m_buffer.size() > 0 && m_out.write(m_buffer.data(), m_buffer.size()) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }

    QIODevice &m_out;
    ByteBuffer m_buffer;
    bool m_failed = false;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

void writeCsv(ExportWriter &out, const char *list, const Entry &row)
{
    out.append(list);
    out.append(',');
    out.append(FormatStatusUtf8(row.status));
    out.append(',');
    out.append(statusName(row.status));
    for (int field = Entry::Task; field <= Entry::User; ++field) {
        out.append(',');
        out.appendCsv(row.field(field));
    }
    out.append("\r\n");
}

void writeJson(ExportWriter &out, const char *list, const Entry &row, bool first)
{
    out.append(first ? "\n{\"list\":\"" : ",\n{\"list\":\"");
    out.append(list);
    out.append("\",\"status\":");
    out.append(FormatStatusUtf8(row.status));
    out.append(",\"status name\":\"");
    out.append(statusName(row.status));
    out.append("\",\"task\":");
    out.appendJson(row.field(Entry::Task));
    out.append(",\"added\":");
    out.appendJson(row.field(Entry::Added));
    out.append(",\"edited\":");
    out.appendJson(row.field(Entry::Edited));
    out.append(",\"user\":");
    out.appendJson(row.field(Entry::User));
    out.append('}');
}

// One line of text: line breaks of any kind as the stored " | ".
QString oneLine(QStringView text)
{
    QString line = text.toString();
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    if (line.contains(u'\r') || line.contains(u'\n'))
        line.replace(lineBreak, QStringLiteral(" | "));
    return line;
}

// A todo.txt word: blanks would end it.
QString oneWord(QStringView text)
{
    QString word = oneLine(text);
    word.replace(u' ', u'_');
    word.replace(u'\t', u'_');
    return word;
}

bool isIsoDate(QStringView text)
{
    static const QRegularExpression isoDate(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return isoDate.match(text).hasMatch();
}

void writeTodoTxt(ExportWriter &out, const char *list, const Entry &row)
{
    const bool complete = row.status == Status_Complete;
    const QStringView added = row.field(Entry::Added);
    // After "x " a date would be read as the completion date.
    const bool addedAsCreationDate = !complete && isIsoDate(added);
    if (complete)
        out.append("x ");
    QString task = oneLine(row.field(Entry::Task));
    if (addedAsCreationDate) {
        // The creation date follows a priority mark.
        static const QRegularExpression priority(QStringLiteral("^\\([A-Z]\\) "));
        const qsizetype at = priority.match(task).hasMatch() ? 4 : 0;
        task.insert(at, added.toString() + u' ');
    }
    out.appendUtf8(task);
    out.append(" +");
    out.append(list);
    if (!row.field(Entry::User).isEmpty()) {
        out.append(" @");
        out.appendUtf8(oneWord(row.field(Entry::User)));
    }
    if (!added.isEmpty() && !addedAsCreationDate) {
        out.append(" added:");
        out.appendUtf8(oneWord(added));
    }
    out.append('\n');
}

// Markdown text that shows as typed: its punctuation escaped, on one line.
QString markdownText(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : oneLine(text)) {
        if (QStringView(u"\\`*_[]<>").contains(c))
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

void writeMarkdown(ExportWriter &out, const Entry &row)
{
    out.append(row.status == Status_Complete ? "- [x] " : "- [ ] ");
    out.appendUtf8(markdownText(row.field(Entry::Task)));
    QStringList details;
    if (row.status != Status_Complete && row.status != Status_Incomplete)
        details.append(QString::fromStdString(statusName(row.status)));
    if (!row.field(Entry::User).isEmpty())
        details.append(markdownText(row.field(Entry::User)));
    if (!row.field(Entry::Added).isEmpty())
        details.append(QStringLiteral("added ") + markdownText(row.field(Entry::Added)));
    if (!row.field(Entry::Edited).isEmpty())
        details.append(QStringLiteral("edited ") + markdownText(row.field(Entry::Edited)));
    if (!details.isEmpty()) {
        out.append(" (");
        out.appendUtf8(details.join(QStringLiteral(", ")));
        out.append(')');
    }
    out.append('\n');
}

} // namespace

std::optional<ExportFormat> ExportFormatNamed(QStringView name)
{
    static constexpr std::pair<const char16_t *, ExportFormat> kNames[] = {
        {u"tsv", ExportFormat::Tsv},         {u"csv", ExportFormat::Csv},           {u"json", ExportFormat::Json},
        {u"todotxt", ExportFormat::TodoTxt}, {u"markdown", ExportFormat::Markdown},
    };
    for (const auto &[text, format] : kNames) {
        if (name == QStringView(text))
            return format;
    }
    return std::nullopt;
}

bool WriteExport(ExportFormat format, TaskLists &lists, QIODevice &out)
{
    ExportWriter writer(out);
    if (format == ExportFormat::Csv) {
        writer.append(CsvHeader);
        writer.append("\r\n");
    } else if (format == ExportFormat::Json) {
        writer.append('[');
    }
    bool firstRow = true;
    const auto all = lists.all();
    for (int category = 0; category < CategoryCount; ++category) {
        const char *list = kListNames[category];
        if (format == ExportFormat::Markdown) {
            writer.append(category == 0 ? "# " : "\n# ");
            writer.append(list);
            writer.append(all[category]->count() > 0 ? "\n\n" : "\n");
        }
        const CategoryList &rows = *all[category];
        for (int position = 1; position <= rows.count(); ++position) {
            const Entry &row = *rows.rowAt(position);
            switch (format) {
            case ExportFormat::Csv:
                writeCsv(writer, list, row);
                break;
            case ExportFormat::Json:
                writeJson(writer, list, row, firstRow);
                break;
            case ExportFormat::TodoTxt:
                writeTodoTxt(writer, list, row);
                break;
            case ExportFormat::Markdown:
                writeMarkdown(writer, row);
                break;
            case ExportFormat::Tsv:
                break;
            }
            firstRow = false;
            writer.flushIfFull();
        }
    }
    if (format == ExportFormat::Json)
        writer.append("\n]\n");
    return writer.finish();
}
