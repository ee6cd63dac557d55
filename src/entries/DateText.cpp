#include "entries/DateText.h"

#include <QRegularExpression>

namespace {

// The locale's short date with the year widened to four digits.
QString dateFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)y{1,2}(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

// The locale's short time of day with seconds added after the minutes.
QString timeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1Char('s')))
        return format;
    static const QRegularExpression minutes(QStringLiteral("(.)(mm?)"));
    const QRegularExpressionMatch match = minutes.match(format);
    if (!match.hasMatch())
        return format + QStringLiteral(":ss");
    const QString separator = match.captured(1);
    format.insert(match.capturedEnd(2), separator + QStringLiteral("ss"));
    return format;
}

} // namespace

QString DateText(const QDateTime &moment, const QLocale &locale)
{
    QString text = locale.toString(moment, dateFormat(locale) + QLatin1Char(' ') + timeFormat(locale));
    for (QChar &c : text) {
        if (c.category() == QChar::Separator_Space)
            c = QLatin1Char(' ');
        else if (c == QLatin1Char(';'))
            c = QLatin1Char(',');
    }
    return text;
}

QString CurrentDateText()
{
    return DateText(QDateTime::currentDateTime(), QLocale::system());
}
