#pragma once

#include "entries/CategoryBatches.h"
#include "entries/Entry.h"
#include "entries/EntryFingerprint.h"
#include "entries/Status.h"
#include "fileformat/ReadResult.h"
#include "fileformat/TaskFileFormat.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <memory>
#include <string>
#include <vector>

// Reads the entries of a task-list file into one batch of rows per category,
// in file order. The file is read block by block, so memory stays within a
// small multiple of the file's size whatever it holds.
class TaskFileReader
{
    Q_DECLARE_TR_FUNCTIONS(TaskFileReader)

public:
    using Rows = std::vector<std::unique_ptr<Entry>>;
    using Fingerprints = std::vector<EntryFingerprint>;

    // Fingerprints each entry as it is made, its texts still in the cache.
    void fingerprintEntries() { m_fingerprinting = true; }
    // Fingerprints each entry and notes where its line starts, but makes no
    // entries: readAgain() makes those that are wanted afterwards.
    void fingerprintOnly()
    {
        m_fingerprinting = true;
        m_makingEntries = false;
    }

    // The file was read as plain UTF-8 before: should it now end inside a
    // character, it is a version still being written, not a Windows-1252 one.
    void expectForm(TaskFileFormat::TextForm form) { m_expectUtf8 = form == TaskFileFormat::TextForm::Utf8; }

    // Reads up to the end of the file or up to the first failure. The rows
    // read before a failure are kept, with the row of the failing line holding
    // the fields it got. A read that cannot keep every character of the
    // fields (a first line that is not the header, more than five fields,
    // bytes that are not UTF-8, text after a status number) goes on to the
    // end but is incomplete, and says which line first lost text and how.
    ReadResult read(const QString &path);

    Rows takeRows(Category category) { return std::move(m_rows[static_cast<int>(category)]); }
    // The fingerprints of those rows in the same order, if asked for.
    Fingerprints takeFingerprints(Category category) { return std::move(m_fingerprints[static_cast<int>(category)]); }
    TaskFileFormat::TextForm form() const { return m_form; }

    // After a complete read with fingerprintOnly(): makes the entries at the
    // given places of each category from the lines they were read from, in
    // the still open file. False when a line no longer holds an entry of
    // that category.
    bool readAgain(const CategoryIndices &places, CategoryRows &rows);

private:
    struct Span {
        const char *begin = nullptr;
        const char *end = nullptr;
    };

    bool open(const QString &path);
    bool isUtf8WithoutMark();
    bool fillBuffer();
    void checkHeader(Span line);
    bool nextLine(bool keep, Span &line);
    bool seekLine(qint64 offset);
    bool readEntry(qint64 lineNumber, Span line);
    int splitPlain(Span line, std::array<Span, 5> &fields);
    int splitExtended(Span line, std::array<Span, 5> &fields);
    QStringView decode(Span field, char16_t *&out);
    bool fail(const QString &description, LoadResult extent = LoadResult::Incomplete);
    void lose(const QString &description);

    QFile m_file;
    TaskFileFormat::TextForm m_form = TaskFileFormat::TextForm::Windows1252;
    bool m_extraFields = false; // the line just split had more than five
    QString m_loss; // how the first line that lost text lost it

    // Bytes read but not yet used are m_buffer[m_begin, m_end); the search for
    // the next line end has got as far as m_scan. m_buffer[0] is the byte at
    // m_bufferOffset in the file.
    std::vector<char> m_buffer;
    qint64 m_bufferOffset = 0;
    size_t m_begin = 0;
    size_t m_end = 0;
    size_t m_scan = 0;
    bool m_atEnd = false;
    bool m_skipLineFeed = false; // the last line ended in CR, so a next LF belongs to it

    std::string m_unescaped;
    std::u16string m_text;
    QStringDecoder m_utf8{QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};

    std::array<Rows, CategoryCount> m_rows;
    bool m_fingerprinting = false;
    bool m_makingEntries = true;
    bool m_expectUtf8 = false;
    std::array<Fingerprints, CategoryCount> m_fingerprints;
    std::array<std::vector<qint64>, CategoryCount> m_lineOffsets; // without entries: where each line starts
    ReadResult m_outcome;
};
