#pragma once

#include "base/Result.h"

#include <QString>

// How the desktop opens files of a type. The program asks the desktop itself;
// tests and the windows' tests answer with a stand-in.
class FileAssociations
{
public:
    virtual ~FileAssociations() = default;

    // The absolute path of the executable the desktop would start for a file
    // with this extension (no dot); empty when there is none.
    virtual QString GetAssociatedExecutable(const QString &extension) = 0;
    // Makes the desktop open files with this extension with this executable,
    // for the current user; fails with the first thing that went wrong.
    virtual Result AssociateFileType(const QString &extension) = 0;
};
