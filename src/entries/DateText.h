#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The text form of the added and edited dates: date and time of day with
// seconds and a four-digit year, ordered and separated as the locale does it.
// The texts are only shown, sorted and stored, never parsed again, so they use
// plain blanks and never the file's field separator.
QString DateText(const QDateTime &moment, const QLocale &locale);

// The current local date and time in the system locale's form.
QString CurrentDateText();
