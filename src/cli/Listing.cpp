#include "cli/Listing.h"

#include "base/ByteBuffer.h"
#include "cli/CommandLine.h"
#include "entries/Status.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "printing/ListPrinter.h"
#include "storage/FilePath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIODevice>
#include <QStringEncoder>
#include <QStringList>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

namespace {

// A reading failure's message, as the window would show it, on standard error.
void reportReading(const ReadResult &read, QIODevice &err)
{
    QString text = ReadingMessage(read);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    err.write((text + u'\n').toUtf8());
}

// Builds the listing in a buffer and writes it out in large pieces; after the
// first failed write it only counts as failed.
class ListingWriter
{
public:
    explicit ListingWriter(QIODevice &out)
        : m_out(out)
    {
    }

    void writeLine(const char *text)
    {
        m_buffer.append(text, static_cast<qsizetype>(std::strlen(text)));
        m_buffer.append('\n');
    }

    void writeRow(const Entry &row)
    {
        const std::string status = FormatStatusUtf8(row.status);
        m_buffer.append(status.data(), static_cast<qsizetype>(status.size()));
        for (int field = Entry::Task; field <= Entry::User; ++field) {
            m_buffer.append('\t');
            appendEscaped(row.field(field));
        }
        m_buffer.append('\n');
        if (m_buffer.size() >= kFlushSize)
            flush();
    }

    // True when everything reached the device, or when its reader went away
    // (`tarvik --list FILE | head`): what it did not read it did not want.
    bool finish()
    {
        flush();
        return !m_failed || m_readerGone;
    }

private:
    static constexpr qsizetype kFlushSize = qsizetype(1024) * 1024;

    // Line and paragraph separators and the bidirectional controls would
    // break or reorder a terminal's lines; a byte-order mark inside a text is
    // invisible there and would start a field that a script cuts out.
    static bool isLayoutControl(char16_t c)
    {
        return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)
            || c == 0xFEFF;
    }

    void appendEscaped(QStringView text)
    {
        static constexpr char kHex[] = "0123456789abcdef";
        // "\u{XXXX}" is the longest form of one code unit.
        char *out = m_buffer.reserve(8 * text.size());
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if ((c >= 0x20 && c < 0x7F && c != u'\\') || (c >= 0xA0 && !isLayoutControl(c)))
                continue;
            out = m_utf8.appendToBuffer(out, text.mid(runStart, i - runStart));
            *out++ = '\\';
            switch (c) {
            case u'\\':
                *out++ = '\\';
                break;
            case u'\t':
                *out++ = 't';
                break;
            case u'\r':
                *out++ = 'r';
                break;
            case u'\n':
                *out++ = 'n';
                break;
            default:
                if (c <= 0xFF) { // C0 and C1 controls and DEL
                    *out++ = 'x';
                    *out++ = kHex[c >> 4];
                    *out++ = kHex[c & 0xF];
                } else {
                    *out++ = 'u';
                    *out++ = '{';
                    for (int shift = 12; shift >= 0; shift -= 4)
                        *out++ = kHex[(c >> shift) & 0xF];
                    *out++ = '}';
                }
            }
            runStart = i + 1;
        }
        out = m_utf8.appendToBuffer(out, text.mid(runStart));
        m_buffer.grownTo(out);
    }

    void flush()
    {
        if (!m_failed && m_buffer.size() > 0 && m_out.write(m_buffer.data(), m_buffer.size()) != m_buffer.size()) {
            m_failed = true;
            m_readerGone = errno == EPIPE;
        }
        m_buffer.clear();
    }

    QIODevice &m_out;
    ByteBuffer m_buffer;
    bool m_failed = false;
    bool m_readerGone = false;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

// The lists' names, untranslated as on the command line.
constexpr std::array<const char *, CategoryCount> kListNames = {
    "Tasks", "Completed", "Unresolved", "Information", "Requests",
};

// Headings for scripts to match, so they are never translated.
constexpr std::array<const char *, CategoryCount> kHeadings = {
    "# Tasks", "# Completed", "# Unresolved", "# Information", "# Requests",
};

} // namespace

int RunListing(const QString &path, ExportFormat format, QIODevice &out, QIODevice &err)
{
    TaskLists lists;
    const ReadResult read = ReadTaskFile(path, lists);
    const bool complete = read.extent == LoadResult::Complete;

    bool printed = false;
    if (format == ExportFormat::Tsv) {
        ListingWriter listing(out);
        const auto all = lists.all();
        for (int category = 0; category < CategoryCount; ++category) {
            listing.writeLine(kHeadings[category]);
            const CategoryList &list = *all[category];
            for (int position = 1; position <= list.count(); ++position)
                listing.writeRow(*list.rowAt(position));
        }
        printed = listing.finish();
    } else {
        printed = WriteExport(format, lists, out);
    }

    if (!complete)
        reportReading(read, err);

    if (!printed)
        return ExitStatus::OutputFailed;
    return complete ? ExitStatus::Success : ExitStatus::ReadingFailed;
}

int RunPdfExport(const QString &path, Category category, const QString &out, QIODevice &err)
{
    TaskLists lists;
    if (const ReadResult read = ReadTaskFile(path, lists); read.extent != LoadResult::Complete) {
        reportReading(read, err);
        return ExitStatus::ReadingFailed;
    }
    const CategoryList &list = lists.list(category);
    std::vector<PrintedEntry> entries;
    entries.reserve(static_cast<size_t>(list.count()));
    for (int position = 1; position <= list.count(); ++position)
        entries.push_back(PrintedEntry::Of(*list.rowAt(position)));
    const QString title = QCoreApplication::translate("Listing", "%1 — %2")
                              .arg(QFileInfo(path).fileName(), QString::fromLatin1(kListNames[int(category)]));
    if (const Result written = WritePdfFile(out, title, std::move(entries)); written.failed()) {
        err.write(QCoreApplication::translate("Listing", "tarvik: %1: nothing written: %2\n")
                      .arg(ReadablePath(out), written.reason())
                      .toUtf8());
        return ExitStatus::ReadingFailed;
    }
    return ExitStatus::Success;
}
