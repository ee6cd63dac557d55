#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// A save killed between writing its new file and renaming it over the old one
// leaves the new file behind under a hidden side name (".tvk-" and a few
// letters) in the file's folder. At the next open or save of a file, such
// leftovers in its folder move to the trash, where the contents they hold can
// still be found: only files of the user's own with a side name, a single
// name and contents that isTaskFile accepts by their start, and only when no
// save may still be writing them.
void ClearSaveLeftovers(const QString &path, bool (*isTaskFile)(const QByteArray &start));

// Whether a save may still be writing the leftover, which lies in the folder
// of the file named name that is about to be opened or saved: a save holds
// the file's lock while it renames, and keeps writing its new file until then.
bool SaveInProgress(int folder, const QByteArray &name, const struct stat &leftover);
