#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

// The two memory figures of the about box, in bytes. A figure the system does
// not report stays empty, so that only its own label is left out.
struct MemoryStatus {
    std::optional<quint64> TotalPhys; // the machine's physical memory
    std::optional<quint64> PageFileInUse; // memory committed to processes
};

// Reads the figures from the text of /proc/meminfo: MemTotal and Committed_AS.
MemoryStatus ParseMeminfo(QByteArrayView text);

// The figures of the running system, taken afresh at every call.
MemoryStatus QueryMemoryStatus(const QString &meminfoPath = QStringLiteral("/proc/meminfo"));

// A byte count in kilobytes as "###,###" shows it: rounded with halves up,
// digits grouped in threes by the default locale's separator, and no digits at
// all for a count that rounds to zero.
QString KilobyteForm(quint64 bytes);
