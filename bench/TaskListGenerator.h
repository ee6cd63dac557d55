#pragma once

#include <QString>

#include <cstdint>

// Writes task-list files that look like years of real use: every status code,
// task texts of 10 to 120 characters in several languages, some of them on
// more than one line, dates, and a few dozen users. The same seed always
// gives the same file, byte for byte.
class TaskListGenerator
{
public:
    enum class Mix {
        // Every status code, weighted as a long-kept list has them: mostly open
        // and completed tasks, some questions, a few of the rest.
        AllCategories,
        // Open tasks and questions only, so that the Tasks list holds every entry.
        TasksOnly,
    };

    explicit TaskListGenerator(std::uint64_t seed)
        : m_state(seed)
    {
    }

    // Writes the plain Windows-1252 form with CR LF line ends; false when the
    // file cannot be written.
    bool write(const QString &path, int entries, Mix mix);

    // One task text as the files hold it, line breaks as " | ".
    QString task();
    // A number from 0 to bound - 1.
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t next();
    int status(Mix mix);
    QString date();

    std::uint64_t m_state;
};
