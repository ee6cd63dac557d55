#pragma once

#include <QString>

// The Exec line of a desktop entry that opens one file with the executable:
// its path quoted by the Desktop Entry rules, then the file. Escaping for the
// key file itself is left to the key-file writer.
QString DesktopExecForFile(const QString &executablePath);

// The absolute path of the program that an Exec line starts, a bare program
// name looked up in PATH; empty when the line names no program that can be found.
QString ProgramOfDesktopExec(const QString &exec);

// A path in the file system's own bytes as text: UTF-8 as it is, any other byte
// as "\xNN", so that a name the desktop cannot hold can still be shown.
QString ReadablePath(const QByteArray &path);
