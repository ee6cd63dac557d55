#include "about/MemoryStatus.h"

#include <QFile>
#include <QLocale>

#include <limits>

namespace {

// "Name:   12345 kB" in bytes; empty unless the line has exactly that form.
std::optional<quint64> kilobyteField(QByteArrayView line, QByteArrayView name)
{
    if (!line.startsWith(name) || !line.sliced(name.size()).startsWith(':'))
        return std::nullopt;
    QByteArrayView value = line.sliced(name.size() + 1).trimmed();
    if (!value.endsWith(" kB"))
        return std::nullopt;
    value.chop(3);
    bool ok = false;
    const quint64 kilobytes = value.trimmed().toULongLong(&ok);
    if (!ok || kilobytes > std::numeric_limits<quint64>::max() / 1024)
        return std::nullopt;
    return kilobytes * 1024;
}

} // namespace

MemoryStatus ParseMeminfo(QByteArrayView text)
{
    MemoryStatus status;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(start, end - start);
        if (!status.TotalPhys)
            status.TotalPhys = kilobyteField(line, "MemTotal");
        if (!status.PageFileInUse)
            status.PageFileInUse = kilobyteField(line, "Committed_AS");
        start = end + 1;
    }
    return status;
}

MemoryStatus QueryMemoryStatus(const QString &meminfoPath)
{
    // A proc file reports a size of zero, so it is read to its end.
    QFile file(meminfoPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseMeminfo(file.readAll());
}

QString KilobyteForm(quint64 bytes)
{
    const quint64 kilobytes = bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
    if (kilobytes == 0)
        return {};

    // Grouped by hand: QLocale leaves out the separator in the C locale and
    // would write the digits of the locale's own script.
    const QString digits = QString::number(kilobytes);
    const QString separator = QLocale().groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}
