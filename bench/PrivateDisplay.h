#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <optional>

#include <sys/types.h>

struct xcb_connection_t;

// An X server of the benchmark's own (Xvfb), watched from outside as a user's
// eyes would: a program's window counts as shown once the server has mapped
// it and the program has painted into it. Nothing inside the program is
// instrumented for this.
class PrivateDisplay
{
public:
    PrivateDisplay() = default;
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

    // Starts the server and connects to it; the reason when that fails.
    QString start();
    // The display name for DISPLAY, ":N".
    QByteArray name() const { return m_name; }

    // Waits until process pid maps a top-level window whose title contains
    // titlePart and paints it. Returns the milliseconds from since, or nothing
    // when the process ends, shows another window first, or time runs out;
    // failure then says which.
    std::optional<double> waitUntilShown(pid_t pid, const QByteArray &titlePart, const QElapsedTimer &since,
                                         int timeoutMs, QString &failure);

private:
    QByteArray titleOf(unsigned window);
    bool isPainted(unsigned window);

    pid_t m_server = 0;
    xcb_connection_t *m_connection = nullptr;
    unsigned m_root = 0;
    unsigned m_netWmName = 0;
    QByteArray m_name;
};
