#pragma once

#include "base/Result.h"

#include <QByteArray>

#include <sys/stat.h>

// A folder of Tarvik's own under $XDG_STATE_HOME/tarvik (~/.local/state/tarvik
// when unset), where it keeps what must survive the program: backups of
// unfinished saves, journals. Another user who could write there could plant a
// file that Tarvik would later put into a list, so the folder and the tarvik
// folder above it are used only when each is a real folder (not a symbolic
// link), belongs to the user and is closed to everyone else (mode 0700).
// Everything in it is opened through the folder's descriptor, never by path.
class PrivateFolder
{
public:
    enum class Missing { Create, Leave };

    // Opens $XDG_STATE_HOME/tarvik/name (the tarvik folder itself when name is
    // empty), making the folders that are missing when asked to. Fails, naming
    // the folder, when one of them is not private; with Missing::Leave a
    // missing folder is no failure, and the folder is just not open.
    static PrivateFolder Open(const QByteArray &name, Missing missing);

    PrivateFolder(PrivateFolder &&other) noexcept;
    PrivateFolder &operator=(PrivateFolder &&) = delete;
    PrivateFolder(const PrivateFolder &) = delete;
    ~PrivateFolder();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // Success, or why the folder is not used.
    const Result &result() const { return m_result; }
    const QByteArray &path() const { return m_path; }

    // Whether a file found in the folder may be trusted: a regular file of the
    // user's with no other name (a hard link could tie it to a file elsewhere).
    static bool IsOwnFile(const struct stat &info);

    // Why a file in the folder is not used, naming the folder.
    Result untrustedFile(const QByteArray &name) const;

private:
    PrivateFolder() = default;

    int m_fd = -1;
    Result m_result = Result::success();
    QByteArray m_path;
};
