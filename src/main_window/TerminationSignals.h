#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>

// SIGTERM, SIGHUP and SIGINT (a logout, systemctl stop, Ctrl+C) end the
// program without a question: they reach the event loop through a pipe,
// since a signal handler may do almost nothing itself, and the loop calls
// ending, then leaves every event loop, a message box's too.
class TerminationSignals : public QObject
{
public:
    explicit TerminationSignals(std::function<void()> ending);
    ~TerminationSignals() override;

private:
    std::function<void()> m_ending;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_leaving;
};
