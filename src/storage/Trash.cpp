#include "storage/Trash.h"

#include "storage/FilePath.h"

#include <gio/gio.h>

Result MoveToTrash(const QString &path)
{
    GFile *file = g_file_new_for_path(FilePathBytes(path).constData());
    GError *error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (trashed)
        return Result::success();
    const QString reason = QString::fromUtf8(error->message);
    g_error_free(error);
    return Result::failure(reason);
}
