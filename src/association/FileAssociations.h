#pragma once

#include <QString>

// The outcome of registering a file type: success, or what went wrong first.
struct AssociationResult {
    bool bSuccess = false;
    QString sFailure;

    static AssociationResult Success() { return {true, {}}; }
    static AssociationResult Failure(const QString &sDescription) { return {false, sDescription}; }
};

// How the desktop opens files of a type. The program asks the desktop itself;
// tests and the windows' tests answer with a stand-in.
class FileAssociations
{
public:
    virtual ~FileAssociations() = default;

    // The absolute path of the executable the desktop would start for a file
    // with this extension (no dot); empty when there is none.
    virtual QString GetAssociatedExecutable(const QString &sExtension) = 0;
    // Makes the desktop open files with this extension with this executable,
    // for the current user.
    virtual AssociationResult AssociateFileType(const QString &sExtension) = 0;
};
