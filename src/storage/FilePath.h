#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// File names on Linux are bytes, and not every name is valid UTF-8 (a file
// copied from an old disk may be called "caf\xE9.tvk"). Paths travel through
// the program as text in which each byte that is no part of valid UTF-8 stands
// as the code unit U+DC00 plus the byte, a lone surrogate that no valid UTF-8
// can give; so the bytes of every name come back out exactly as they went in.

// The path's text from the bytes the system gave.
QString FilePathFromBytes(const QByteArray &bytes);

// The bytes to hand to the system for a path's text.
QByteArray FilePathBytes(const QString &path);

// The path for people to read: each byte that is not UTF-8 shows as U+FFFD.
QString ReadablePath(const QString &path);

// A path that a file chooser gave back, with the bytes of its names as they
// are on the disk. Choosers show names that are not UTF-8 with U+FFFD in
// place of the bytes they cannot show; each such part of the path is matched
// against the names in its folder, and taken over when exactly one fits.
QString ResolveChosenPath(const QString &chosen);

// The task-list file among items dropped on the window: exactly one local
// file whose name ends in ".tvk". Empty for anything else.
QString DroppedTaskFile(const QList<QUrl> &urls);
