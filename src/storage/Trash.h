#pragma once

#include "base/Result.h"

#include <QString>

// Moves a file to the desktop's trash, where the user can still get it back.
// GIO's trash rather than Qt's: Qt 6.4 puts the trash's folders into the
// current folder when the user's data folder does not exist yet.
Result MoveToTrash(const QString &path);
