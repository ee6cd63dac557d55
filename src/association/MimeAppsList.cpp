#include "association/MimeAppsList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <glib.h>

namespace {

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MimeAppsList)
};

const QByteArray kDefaultGroup = "Default Applications";
const QByteArray kAddedGroup = "Added Associations";
const QByteArray kRemovedGroup = "Removed Associations";

// The kernel's own limit on links followed in a row.
constexpr int kMaxLinks = 40;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The file a chain of symlinks ends at, which need not exist yet.
QString linkTarget(const QString &path)
{
    QString target = QFileInfo(path).absoluteFilePath();
    for (int links = 0; links < kMaxLinks && QFileInfo(target).isSymLink(); ++links)
        target = QFileInfo(target).symLinkTarget();
    return target;
}

// The name of the group a line opens, or nothing when it opens none.
QByteArray groupOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return {};
    return trimmed.mid(1, trimmed.size() - 2);
}

bool isGroupLine(const QByteArray &line)
{
    return !groupOf(line).isEmpty();
}

// The key of a "key=value" line; comments and blank lines have none.
QByteArray keyOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    const qsizetype equals = trimmed.indexOf('=');
    if (trimmed.startsWith('#') || equals <= 0)
        return {};
    return trimmed.left(equals).trimmed();
}

QByteArray valueOf(const QByteArray &line)
{
    return line.mid(line.indexOf('=') + 1).trimmed();
}

QByteArray listValue(const QStringList &list)
{
    QByteArray value;
    for (const QString &item : list)
        value += item.toUtf8() + ';';
    return value;
}

} // namespace

Result MimeAppsList::load(const QString &path)
{
    m_path = linkTarget(path);
    m_lines.clear();
    m_endsWithNewline = true;
    m_crlf = false;
    if (!QFileInfo(m_path).exists() && !QFileInfo(m_path).isSymLink())
        return Result::success();

    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Result::failure(
            Texts::tr("%1 cannot be read, so it was left as it is: %2").arg(shown(path), file.errorString()));
    }
    const QByteArray data = file.readAll();
    // The desktop reads the list as a key file: one it cannot read whole is
    // left alone, as writing it would change what the desktop makes of it.
    g_autoptr(GKeyFile) keys = g_key_file_new();
    g_autoptr(GError) error = nullptr;
    if (!g_key_file_load_from_data(keys, data.constData(), data.size(), G_KEY_FILE_NONE, &error)) {
        return Result::failure(Texts::tr("%1 cannot be read, so it was left as it is: %2")
                                   .arg(shown(path), QString::fromUtf8(error->message)));
    }
    if (data.isEmpty())
        return Result::success();
    m_lines = data.split('\n');
    m_endsWithNewline = data.endsWith('\n');
    if (m_endsWithNewline)
        m_lines.removeLast();
    m_crlf = !m_lines.isEmpty() && m_lines.first().endsWith('\r');
    return Result::success();
}

bool MimeAppsList::names(const QString &mimeType) const
{
    const QByteArray key = mimeType.toUtf8();
    for (const QByteArray &group : {kDefaultGroup, kAddedGroup, kRemovedGroup}) {
        if (!keyLines(group, key).isEmpty())
            return true;
    }
    return false;
}

void MimeAppsList::setDefault(const QString &mimeType, const QString &desktopId)
{
    // As GIO itself records a default: the entry is also the first of the
    // type's added associations and no longer among its removed ones.
    const QByteArray key = mimeType.toUtf8();
    setValue(kDefaultGroup, key, desktopId.toUtf8());

    QStringList added = values(kAddedGroup, key);
    added.removeAll(desktopId);
    added.prepend(desktopId);
    setValue(kAddedGroup, key, listValue(added));

    QStringList removed = values(kRemovedGroup, key);
    if (removed.removeAll(desktopId) > 0) {
        if (removed.isEmpty()) {
            const QList<qsizetype> lines = keyLines(kRemovedGroup, key);
            for (auto line = lines.crbegin(); line != lines.crend(); ++line)
                m_lines.removeAt(*line);
        } else {
            setValue(kRemovedGroup, key, listValue(removed));
        }
    }
}

Result MimeAppsList::save()
{
    QByteArray data = m_lines.join('\n');
    if (m_endsWithNewline && !m_lines.isEmpty())
        data += '\n';

    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return Result::failure(Texts::tr("Cannot create the folder %1.").arg(shown(folder)));
    // The new text goes to a file beside the list and takes its place whole.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return Result::failure(Texts::tr("Cannot write %1: %2").arg(shown(m_path), file.errorString()));
    const QFileInfo old(m_path);
    if (old.exists() && !file.setPermissions(old.permissions()))
        return Result::failure(Texts::tr("Cannot write %1: %2").arg(shown(m_path), file.errorString()));
    if (file.write(data) != data.size() || !file.commit())
        return Result::failure(Texts::tr("Cannot write %1: %2").arg(shown(m_path), file.errorString()));
    return Result::success();
}

// The line that opens the group's first occurrence, or -1.
qsizetype MimeAppsList::groupStart(const QByteArray &group) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (groupOf(m_lines[i]) == group)
            return i;
    }
    return -1;
}

// Every line of the key in every occurrence of the group, in file order.
QList<qsizetype> MimeAppsList::keyLines(const QByteArray &group, const QByteArray &key) const
{
    QList<qsizetype> found;
    bool inGroup = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (isGroupLine(m_lines[i]))
            inGroup = groupOf(m_lines[i]) == group;
        else if (inGroup && keyOf(m_lines[i]) == key)
            found.append(i);
    }
    return found;
}

// The items of the key's list; of repeated lines the last counts, as for GLib.
QStringList MimeAppsList::values(const QByteArray &group, const QByteArray &key) const
{
    const QList<qsizetype> lines = keyLines(group, key);
    QStringList list;
    if (lines.isEmpty())
        return list;
    for (const QByteArray &item : valueOf(m_lines[lines.last()]).split(';')) {
        if (!item.trimmed().isEmpty())
            list.append(QString::fromUtf8(item.trimmed()));
    }
    return list;
}

void MimeAppsList::setValue(const QByteArray &group, const QByteArray &key, const QByteArray &value)
{
    const QByteArray keyLine = line(key + '=' + value);
    const QList<qsizetype> lines = keyLines(group, key);
    if (!lines.isEmpty()) {
        m_lines[lines.first()] = keyLine;
        for (qsizetype i = lines.size() - 1; i > 0; --i)
            m_lines.removeAt(lines[i]);
        return;
    }

    qsizetype start = groupStart(group);
    if (start < 0) {
        // A new group at the end, set off by a blank line.
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(line(QByteArray()));
        m_lines.append(line('[' + group + ']'));
        start = m_lines.size() - 1;
    }
    // After the group's last key, so that comments and blank lines before the
    // next group stay with it.
    qsizetype at = start + 1;
    for (qsizetype i = start + 1; i < m_lines.size() && !isGroupLine(m_lines[i]); ++i) {
        if (!keyOf(m_lines[i]).isEmpty())
            at = i + 1;
    }
    if (at == m_lines.size())
        m_endsWithNewline = true;
    m_lines.insert(at, keyLine);
}

QByteArray MimeAppsList::line(const QByteArray &text) const
{
    return m_crlf ? text + '\r' : text;
}
