#include "association/MimeAppsList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <glib.h>

namespace {

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MimeAppsList)
};

const char kDefaultGroup[] = "Default Applications";
const char kAddedGroup[] = "Added Associations";
const char kRemovedGroup[] = "Removed Associations";

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

QStringList stringList(GKeyFile *keys, const char *group, const QByteArray &key)
{
    QStringList list;
    g_auto(GStrv) values = g_key_file_get_string_list(keys, group, key.constData(), nullptr, nullptr);
    for (gchar **value = values; value && *value; ++value)
        list.append(QString::fromUtf8(*value));
    return list;
}

void setStringList(GKeyFile *keys, const char *group, const QByteArray &key, const QStringList &list)
{
    QList<QByteArray> bytes;
    for (const QString &value : list)
        bytes.append(value.toUtf8());
    std::vector<const gchar *> values;
    for (const QByteArray &value : bytes)
        values.push_back(value.constData());
    g_key_file_set_string_list(keys, group, key.constData(), values.data(), values.size());
}

} // namespace

void MimeAppsList::KeyFileFree::operator()(GKeyFile *keys) const
{
    g_key_file_free(keys);
}

MimeAppsList::MimeAppsList()
    : m_keys(g_key_file_new())
{
}

MimeAppsList::~MimeAppsList() = default;

Result MimeAppsList::load(const QString &path)
{
    m_path = linkTarget(path);
    m_keys.reset(g_key_file_new());
    if (!QFileInfo(m_path).exists() && !QFileInfo(m_path).isSymLink())
        return Result::success();

    g_autoptr(GError) error = nullptr;
    const GKeyFileFlags flags = GKeyFileFlags(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
    if (!g_key_file_load_from_file(m_keys.get(), QFile::encodeName(m_path).constData(), flags, &error)) {
        // Writing a list that was only partly understood would drop the rest.
        return Result::failure(Texts::tr("%1 cannot be read, so it was left as it is: %2")
                                   .arg(shown(path), QString::fromUtf8(error->message)));
    }
    return Result::success();
}

void MimeAppsList::setDefault(const QString &mimeType, const QString &desktopId)
{
    // As GIO itself records a default: the entry is also the first of the
    // type's added associations and no longer among its removed ones.
    const QByteArray key = mimeType.toUtf8();
    g_key_file_set_string(m_keys.get(), kDefaultGroup, key.constData(), desktopId.toUtf8().constData());

    QStringList added = stringList(m_keys.get(), kAddedGroup, key);
    added.removeAll(desktopId);
    added.prepend(desktopId);
    setStringList(m_keys.get(), kAddedGroup, key, added);

    QStringList removed = stringList(m_keys.get(), kRemovedGroup, key);
    if (removed.removeAll(desktopId) > 0) {
        if (removed.isEmpty())
            g_key_file_remove_key(m_keys.get(), kRemovedGroup, key.constData(), nullptr);
        else
            setStringList(m_keys.get(), kRemovedGroup, key, removed);
    }
}

Result MimeAppsList::save()
{
    gsize length = 0;
    g_autofree gchar *text = g_key_file_to_data(m_keys.get(), &length, nullptr);
    const QByteArray data(text, static_cast<qsizetype>(length));

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
