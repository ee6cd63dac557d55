#pragma once

#include "base/Result.h"

#include <QString>

#include <memory>

// GLib's own name for the type, declared here so that users of this header
// need not include GLib.
typedef struct _GKeyFile GKeyFile; // NOLINT(bugprone-reserved-identifier)

// The user's list of default applications (mimeapps.list), changed in place:
// comments, translations, other groups and other types' lines stay as they
// were. A symlinked list is written through the link to its target, the
// target's mode is kept, and the new text replaces the old one in one step. A
// list that cannot be read is never written.
class MimeAppsList
{
public:
    MimeAppsList();
    ~MimeAppsList();

    // Reads the list at path; a list that does not exist yet is empty.
    Result load(const QString &path);
    // Makes the desktop entry desktopId the default for mimeType.
    void setDefault(const QString &mimeType, const QString &desktopId);
    // Writes the list back where load() read it.
    Result save();

private:
    struct KeyFileFree {
        void operator()(GKeyFile *keys) const;
    };

    QString m_path;
    std::unique_ptr<GKeyFile, KeyFileFree> m_keys;
};
