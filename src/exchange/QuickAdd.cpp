#include "exchange/QuickAdd.h"

#include "entries/DateText.h"
#include "entries/Status.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"
#include "fileformat/TaskFileFormat.h"
#include "fileformat/TaskFileReader.h"
#include "fileformat/Utf8Check.h"
#include "fileformat/Windows1252.h"
#include "storage/FileAccess.h"
#include "storage/FileIdentity.h"
#include "storage/FilePath.h"
#include "storage/SaveBackup.h"

#include <QCoreApplication>
#include <QFile>

#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace {

using TaskFileFormat::TextForm;

// Tries before another writer's changes make --add give up.
constexpr int kAttempts = 4;

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(QuickAdd)
};

// The file as it was read: its bytes, its form and which version it was.
struct VersionRead {
    QByteArray bytes; // empty for a missing or empty file
    TextForm form = TextForm::Windows1252;
    std::optional<FileIdentity> identity; // nothing for a missing file
};

// Reads the file's bytes and checks that the reader keeps every character of
// them. A change while it is read shows in its identity, and it is read again.
Result readCompletely(const QString &path, VersionRead &version)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        version = {};
        version.identity = FileIdentity::Of(path);
        if (!version.identity)
            return Result::success();
        if (!version.identity->regular)
            return Result::failure(Texts::tr("It is not a regular file."));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return Result::failure(file.errorString());
        version.bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return Result::failure(file.errorString());
        TaskFileReader reader;
        const ReadResult outcome = reader.read(path);
        if (FileIdentity::Of(path) != version.identity || version.bytes.size() != version.identity->size)
            continue;
        if (outcome.extent == LoadResult::Incomplete)
            return outcome.result;
        if (outcome.extent == LoadResult::Complete)
            version.form = reader.form();
        return Result::success();
    }
    return Result::failure(Texts::tr("The file kept changing while it was read."));
}

// Where the first entry line starts: just after the header's line end, or
// the end of the file when the header has none (hasLineEnd is then false).
qsizetype afterHeader(const QByteArray &bytes, TextForm form, bool &hasLineEnd)
{
    const qsizetype start = form == TextForm::Extended ? TaskFileFormat::ByteOrderMarkSize : 0;
    for (qsizetype i = start; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            hasLineEnd = true;
            return i + (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1);
        }
    }
    hasLineEnd = false;
    return bytes.size();
}

// The entry lines from from on, in the extended form with CR LF line ends. In
// a plain form a "\" is the only character the extended form escapes that a
// field can hold.
QByteArray extendedLines(const QByteArray &bytes, qsizetype from, TextForm form)
{
    QByteArray lines;
    lines.reserve(bytes.size() - from + bytes.size() / 8);
    qsizetype begin = from;
    while (begin < bytes.size()) {
        qsizetype end = begin;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (end > begin) {
            QByteArray line = bytes.mid(begin, end - begin);
            if (form == TextForm::Windows1252) {
                QString text(line.size(), Qt::Uninitialized);
                Windows1252::Decode(line.constData(), line.size(), reinterpret_cast<char16_t *>(text.data()));
                line = text.toUtf8();
            }
            lines += line.replace("\\", "\\\\");
            lines += TaskFileFormat::LineEnd;
        }
        begin = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

} // namespace

QString LoginUserName()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(size > 0 ? size : 16384, '\0');
    struct passwd account;
    struct passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &account, buffer.data(), static_cast<size_t>(buffer.size()), &found) == 0 && found) {
        // The full name is the first comma-separated part of the comment field.
        const QString fullName = QString::fromLocal8Bit(found->pw_gecos).section(u',', 0, 0).trimmed();
        return fullName.isEmpty() ? QString::fromLocal8Bit(found->pw_name) : fullName;
    }
    return qEnvironmentVariable("USER");
}

QString StoredTaskText(const QString &typed)
{
    QString text;
    text.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (typed[i] == u'\\' && i + 1 < typed.size() && (typed[i + 1] == u'n' || typed[i + 1] == u'\\')) {
            text += typed[i + 1] == u'n' ? QStringLiteral("\r\n") : QStringLiteral("\\");
            ++i;
        } else {
            text += typed[i];
        }
    }
    return EncodeLineBreaks(text);
}

std::unique_ptr<Entry> NewTaskEntry(const QString &storedTask, const QString &user, bool question)
{
    return Entry::create(NewEntryStatus(Category::Tasks, question), storedTask, CurrentDateText(), {}, user);
}

namespace {

// The file as read with the new entries, in added's one list, below its header.
QByteArray withEntries(TaskLists &added, const VersionRead &version)
{
    TaskFileEncoder encoder;
    if (version.bytes.isEmpty())
        return encoder.encode(added);

    QByteArray lines = encoder.encode(added, version.form);
    const bool extended = lines.startsWith(TaskFileFormat::ByteOrderMark);
    const qsizetype headerSize = (extended ? TaskFileFormat::ByteOrderMarkSize : 0) + TaskFileFormat::HeaderLineSize
        + qsizetype(sizeof TaskFileFormat::LineEnd - 1);
    lines.remove(0, headerSize);

    bool hasLineEnd = false;
    const qsizetype entriesStart = afterHeader(version.bytes, version.form, hasLineEnd);
    QByteArray bytes;
    if (!extended || version.form == TextForm::Extended) {
        bytes.reserve(version.bytes.size() + lines.size() + 2);
        bytes += QByteArrayView(version.bytes).first(entriesStart);
        if (!hasLineEnd)
            bytes += TaskFileFormat::LineEnd;
        bytes += lines;
        bytes += QByteArrayView(version.bytes).sliced(entriesStart);
        // Windows-1252 bytes that happen to form UTF-8 would be read as UTF-8.
        if (version.form != TextForm::Windows1252 || !IsUtf8BeyondAscii(bytes.constData(), size_t(bytes.size())))
            return bytes;
        lines = encoder.encode(added, TextForm::Extended).remove(0, headerSize + TaskFileFormat::ByteOrderMarkSize);
    }
    // The new texts need the extended form, and so the whole file does, as a
    // save from the window would write it.
    bytes = QByteArray(TaskFileFormat::ByteOrderMark) + TaskFileFormat::HeaderLine + TaskFileFormat::LineEnd + lines
        + extendedLines(version.bytes, entriesStart, version.form);
    return bytes;
}

} // namespace

Result AddEntriesToFile(const QString &path, NewEntries entries)
{
    if (const QString backup = SaveBackup::Find(path).copy; !backup.isEmpty()) {
        return Result::failure(
            Texts::tr("A save of this file did not finish; open it in Tarvik to restore or discard %1.")
                .arg(ReadablePath(backup)));
    }
    // The encoder writes one list's rows in order, whatever their status, so
    // the new entries keep the order they were given in.
    TaskLists added;
    added.lvwTasks.appendAll(std::move(entries));
    // The file is replaced only while it is still the version read; another
    // writer's version that comes in meanwhile is read again and the entries
    // added to it, a few times at most, as a save from the window does.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        VersionRead version;
        if (Result read = readCompletely(path, version); read.failed())
            return read;
        const CheckedReplace replaced = ReplaceFileContentsIf(path, withEntries(added, version), version.identity);
        if (!replaced.changed())
            return replaced.result;
    }
    return Result::failure(Texts::tr("Another program changed the file meanwhile."));
}
