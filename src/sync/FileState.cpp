#include "sync/FileState.h"

#include "fileformat/TaskFileFormat.h"
#include "sync/ConflictCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Whether the file starts as every task-list file does, with the header line.
bool startsLikeTaskFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the reading that follows says why it cannot be read
    QByteArray start = file.read(TaskFileFormat::ByteOrderMarkSize + sizeof TaskFileFormat::HeaderLine);
    if (start.startsWith(TaskFileFormat::ByteOrderMark))
        start.remove(0, TaskFileFormat::ByteOrderMarkSize);
    return start.startsWith(TaskFileFormat::HeaderLine);
}

// Whether the file that was read still exists in its folder under another
// name. A sync tool that finds a conflict moves the file aside as a conflict
// copy and puts the other version in its place: that is no renaming by the
// user.
bool elsewhereInFolder(const QString &path, const FileIdentity &identity)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name == info.fileName() || ConflictCopies::IsCopyOf(name, info.fileName()))
            continue;
        const std::optional<FileIdentity> other = FileIdentity::Of(folder.filePath(name));
        if (other && other->sameInode(identity))
            return true;
    }
    return false;
}

} // namespace

FileState ClassifyFile(const QString &path, const std::optional<FileIdentity> &known,
                       const std::optional<FileIdentity> &now)
{
    if (now && known && *now == *known)
        return FileState::Same;
    // Editors and tools that keep the old file under a backup name (list.tvk~,
    // .bak, .orig) leave a task list at the name: that is a replacement. The
    // file was renamed only when no task list took its name.
    const auto renamed = [&] { return known && (!now || !now->sameInode(*known)) && elsewhereInFolder(path, *known); };
    if (!now)
        return renamed() ? FileState::Renamed : FileState::Gone;
    if (!now->regular)
        return renamed() ? FileState::Renamed : FileState::NotRegular;
    if (now->size == 0)
        return FileState::Empty;
    if (!startsLikeTaskFile(path))
        return renamed() ? FileState::Renamed : FileState::NotTaskList;
    return FileState::Changed;
}
