#pragma once

#include <QString>

#include <utility>

// How an operation that can fail went: it worked, or it failed for a reason
// given in words for the user. Every library reports its failures this way;
// showing them is the caller's business.
class [[nodiscard]] Result
{
public:
    static Result success() { return Result(); }
    static Result failure(QString reason) { return Result(std::move(reason)); }

    bool succeeded() const { return !m_failed; }
    bool failed() const { return m_failed; }
    // Empty after a success.
    const QString &reason() const { return m_reason; }

private:
    Result() = default;
    explicit Result(QString reason)
        : m_reason(std::move(reason))
        , m_failed(true)
    {
    }

    QString m_reason;
    bool m_failed = false;
};
