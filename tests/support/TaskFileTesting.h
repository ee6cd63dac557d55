#pragma once

// Helpers shared by the task-list file tests: files from bytes, the contents
// of the five lists as plain values that gtest can compare and print, and
// checks that run as an ordinary user.

#include "entries/CategoryList.h"
#include "entries/TaskLists.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <ostream>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// Texts print as texts in failure reports, not as arrays of code units.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// The window caption while the document names this file; with an empty path,
// the caption that names none.
inline QString captionFor(const QString &path)
{
    return QStringLiteral("Tarvik 1.0.0 (") + path + u')';
}

struct Item {
    double status = 0;
    QString task;
    QString added;
    QString edited;
    QString user;

    bool operator==(const Item &other) const = default;
};

inline void PrintTo(const Item &item, std::ostream *out)
{
    *out << "{" << item.status << ", \"" << item.task.toStdString() << "\", \"" << item.added.toStdString() << "\", \""
         << item.edited.toStdString() << "\", \"" << item.user.toStdString() << "\"}";
}

using Items = std::vector<Item>;

inline Item itemOf(const Entry &entry)
{
    return {entry.status, entry.field(Entry::Task).toString(), entry.field(Entry::Added).toString(),
            entry.field(Entry::Edited).toString(), entry.field(Entry::User).toString()};
}

inline Items itemsOf(const CategoryList &list)
{
    Items items;
    for (int position = 1; position <= list.count(); ++position)
        items.push_back(itemOf(*list.rowAt(position)));
    return items;
}

inline std::array<Items, CategoryCount> contentsOf(TaskLists &lists)
{
    std::array<Items, CategoryCount> contents;
    for (int category = 0; category < CategoryCount; ++category)
        contents[category] = itemsOf(*lists.all()[category]);
    return contents;
}

inline Row addItem(TaskLists &lists, const Item &item)
{
    return lists.listForStatus(item.status)
        .append(Entry::create(item.status, item.task, item.added, item.edited, item.user));
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

// A folder that other users may enter, unlike the test's own temporary folder.
class SharedFolder
{
public:
    SharedFolder()
        : m_dir(QStringLiteral("/tmp/tarvik-save-XXXXXX"))
    {
        QFile::setPermissions(m_dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                  | QFileDevice::ExeGroup);
    }
    bool isValid() const { return m_dir.isValid(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A tmpfs of the given size ("64k") mounted on a new folder for the object's
// life, so that a test can fill a disk; mounting needs root.
class SmallDisk
{
public:
    SmallDisk(const QString &mountPoint, const char *size)
        : m_mountPoint(mountPoint)
    {
        QDir().mkpath(mountPoint);
        const QByteArray options = QByteArray("size=") + size;
        m_mounted =
            ::mount("tarvik-test", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted)
            m_error = std::strerror(errno);
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_mountPoint).constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    const char *error() const { return m_error; }

private:
    QString m_mountPoint;
    bool m_mounted = false;
    const char *m_error = "";
};

inline bool dropPrivileges()
{
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
        return false;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
}

// Runs check in a child process as the user nobody, so that file permissions
// hold even when the tests run as root; the child's exit code is its result.
// The child has a state folder of its own, for the backups of its saves.
inline int runAsNobody(const std::function<int()> &check)
{
    QTemporaryDir state(QStringLiteral("/tmp/tarvik-state-XXXXXX"));
    const passwd *nobody = ::getpwnam("nobody");
    if (nobody && ::chown(QFile::encodeName(state.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (!dropPrivileges())
            ::_exit(100);
        ::setenv("XDG_STATE_HOME", QFile::encodeName(state.path()).constData(), 1);
        ::_exit(check());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
