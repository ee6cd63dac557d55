#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The user's list of default applications (mimeapps.list), changed in place:
// only the lines of the type being set are rewritten (and its groups added
// when they are missing); every other byte stays as it was. A symlinked list
// is written through the link to its target, the target's mode is kept, and
// the new text replaces the old one in one step. A list that cannot be read is
// never written.
class MimeAppsList
{
public:
    // Reads the list at path; a list that does not exist yet is empty.
    Result load(const QString &path);
    // Whether the list has a line of its own for mimeType in one of its groups.
    bool names(const QString &mimeType) const;
    // Makes the desktop entry desktopId the default for mimeType.
    void setDefault(const QString &mimeType, const QString &desktopId);
    // Writes the list back where load() read it.
    Result save();

private:
    qsizetype groupStart(const QByteArray &group) const;
    QList<qsizetype> keyLines(const QByteArray &group, const QByteArray &key) const;
    QStringList values(const QByteArray &group, const QByteArray &key) const;
    void setValue(const QByteArray &group, const QByteArray &key, const QByteArray &value);
    QByteArray line(const QByteArray &text) const;

    QString m_path;
    QList<QByteArray> m_lines;
    bool m_endsWithNewline = true;
    // Lines written end as the list's first line does, CR LF or LF.
    bool m_crlf = false;
};
