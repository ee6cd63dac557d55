#include "storage/FilePath.h"

#include <QStringList>

#include <optional>

#include <dirent.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

// The length of the valid UTF-8 sequence at in[0], or 0 when there is none:
// no overlong forms, no surrogates, nothing above U+10FFFF.
int validSequenceLength(const unsigned char *in, qsizetype left)
{
    const unsigned char lead = in[0];
    int length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((in[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (in[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString FilePathFromBytes(const QByteArray &bytes)
{
    QString path;
    path.reserve(bytes.size());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        if (in[i] < 0x80) {
            path += QChar(in[i++]);
            continue;
        }
        const int length = validSequenceLength(in + i, size - i);
        if (length == 0) {
            path += QChar(static_cast<char16_t>(kEscapeBase + in[i++]));
            continue;
        }
        path += QString::fromUtf8(bytes.constData() + i, length);
        i += length;
    }
    return path;
}

QByteArray FilePathBytes(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (!isEscapedByte(c) || (i > 0 && path[i - 1].isHighSurrogate()))
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(c - kEscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(path).mid(runStart).toUtf8();
    return bytes;
}

QString ReadablePath(const QString &path)
{
    QString readable = path;
    for (qsizetype i = 0; i < readable.size(); ++i) {
        if (isEscapedByte(readable[i].unicode()) && !(i > 0 && readable[i - 1].isHighSurrogate()))
            readable[i] = QChar::ReplacementCharacter;
    }
    return readable;
}

namespace {

// The one name in the folder that reads as shown, or nothing.
std::optional<QByteArray> matchingName(const QByteArray &folder, const QString &shown)
{
    DIR *entries = ::opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!entries)
        return std::nullopt;
    std::optional<QByteArray> found;
    int matches = 0;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (QString::fromUtf8(name) == shown && ++matches == 1)
            found = name;
    }
    ::closedir(entries);
    return matches == 1 ? found : std::nullopt;
}

} // namespace

QString ResolveChosenPath(const QString &chosen)
{
    if (!chosen.startsWith(u'/') || !chosen.contains(QChar::ReplacementCharacter))
        return chosen;
    QByteArray resolved;
    for (const QString &part : chosen.split(u'/', Qt::SkipEmptyParts)) {
        std::optional<QByteArray> name;
        if (part.contains(QChar::ReplacementCharacter))
            name = matchingName(resolved, part);
        resolved += '/' + (name ? *name : FilePathBytes(part));
    }
    return FilePathFromBytes(resolved);
}

QString DroppedTaskFile(const QList<QUrl> &urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    // The address holds the name's bytes percent-encoded, UTF-8 or not.
    QString path = FilePathFromBytes(QByteArray::fromPercentEncoding(urls.first().path(QUrl::FullyEncoded).toLatin1()));
    if (!path.endsWith(QLatin1String(".tvk"), Qt::CaseInsensitive))
        return {};
    return path;
}
