#pragma once

#include "PrivateDisplay.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Times the program as a whole process, the way the user and scripts run it.
class ProcessBench
{
public:
    // tarvik: the program's executable; logFolder takes its error output.
    ProcessBench(const QString &tarvik, const QString &logFolder);

    // From starting "tarvik FILE" until its window, with the file read, is on
    // the screen. The file association must already point at tarvik.
    void measureStart(int entries, const QString &path);
    // Peak memory of the program with the file read and its window shown.
    void measurePeakMemory(int entries, const QString &path);
    // "tarvik --list FILE" against iconv converting the same file to UTF-8.
    void measureListVsIconv(int entries, const QString &path);
    // "tarvik --add" on the file against "tarvik --list" on it, and the CSV
    // form of --list against its TAB form; the file gains an entry a run.
    void measureAddAndExport(int entries, const QString &path);
    // "tarvik --pdf" of the file's Tasks list.
    void measurePdf(int entries, const QString &path);

private:
    pid_t spawn(const QStringList &arguments, bool onDisplay);
    // Starts the program on the file and waits until its window is shown; the
    // milliseconds that took.
    double startWindow(const QString &path, pid_t &pid);
    double runToEnd(const QStringList &arguments);
    void stop(pid_t pid);
    QString lastMessages() const;
    void ensureDisplay();

    QString m_tarvik;
    QString m_log;
    PrivateDisplay m_display;
    bool m_displayStarted = false;
};
