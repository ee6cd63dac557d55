#include "TaskListGenerator.h"

#include "fileformat/Windows1252.h"

#include <QFile>
#include <QStringList>

#include <array>

namespace {

// Only letters the Windows-1252 code page has, so that the files stay in the
// plain form and iconv can convert them as well.
const std::array<const char16_t *, 64> kWords = {
    u"call",    u"the",    u"supplier",  u"about",       u"invoice", u"check",   u"backup",  u"of",
    u"server",  u"Review", u"budget",    u"for",         u"next",    u"quarter", u"order",   u"toner",
    u"printer", u"fix",    u"login",     u"page",        u"update",  u"Wiki",    u"meeting", u"notes",
    u"send",    u"Offer",  u"to",        u"customer",    u"and",     u"ask",     u"why",     u"delivery",
    u"is",      u"late",   u"Übersicht", u"prüfen",      u"Größe",   u"café",    u"menu",    u"façade",
    u"crème",   u"brûlée", u"naïve",     u"smörgåsbord", u"Señor",   u"Muñoz",   u"São",     u"Paulo",
    u"Ærø",     u"fjord",  u"Œuvre",     u"Zoë",         u"résumé",  u"€",       u"50",      u"2024",
    u"v1.2",    u"#1234",  u"(urgent)",  u"TODO:",       u"-",       u"e-mail",  u"déjà",    u"Straße",
};

const std::array<const char16_t *, 36> kUsers = {
    u"anna",       u"bernd", u"carla",    u"dieter", u"Eva",   u"frank", u"gül",    u"hans",    u"ines",
    u"jörg",       u"karin", u"lars",     u"Maria",  u"niels", u"olga",  u"Pál",    u"quentin", u"rené",
    u"sven",       u"tanja", u"ulf",      u"vera",   u"wim",   u"xaver", u"yvonne", u"zoë",     u"admin",
    u"it-support", u"Büro",  u"François", u"josé",   u"Mette", u"Åsa",   u"ole",    u"Piet",    u"",
};

} // namespace

// splitmix64: tiny, fast, and the same everywhere, unlike the standard
// library's distributions.
std::uint64_t TaskListGenerator::next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int TaskListGenerator::status(Mix mix)
{
    const int roll = below(1000);
    if (mix == Mix::TasksOnly)
        return roll < 850 ? 1 : 7;
    // Per thousand: 1 open 450, 2 complete 300, 7 question 100, 4 unresolved
    // 40, 3 invalid 30, 6 information 30, 8 request 30, 5 moved 20.
    constexpr std::array<std::pair<int, int>, 8> weights = {
        {{1, 450}, {2, 300}, {7, 100}, {4, 40}, {3, 30}, {6, 30}, {8, 30}, {5, 20}}};
    int sum = 0;
    for (const auto &[code, weight] : weights) {
        sum += weight;
        if (roll < sum)
            return code;
    }
    return 1;
}

QString TaskListGenerator::task()
{
    const int length = 10 + below(111);
    const bool multiLine = below(100) < 12;
    QString text;
    text.reserve(length + 16);
    while (text.size() < length) {
        if (!text.isEmpty())
            text += (multiLine && below(6) == 0) ? QStringLiteral(" | ") : QStringLiteral(" ");
        text += QString::fromUtf16(kWords[below(static_cast<int>(kWords.size()))]);
    }
    text.truncate(length);
    // A cut line break or word gap would leave blanks or a bar at the end.
    while (text.endsWith(u' ') || text.endsWith(u'|'))
        text.chop(1);
    return text;
}

QString TaskListGenerator::date()
{
    // The en_US form the program writes: month/day/year, 12-hour clock.
    const int hour = below(24);
    return QStringLiteral("%1/%2/%3 %4:%5:%6 %7")
        .arg(1 + below(12))
        .arg(1 + below(28))
        .arg(2015 + below(11))
        .arg(hour % 12 == 0 ? 12 : hour % 12)
        .arg(below(60), 2, 10, QLatin1Char('0'))
        .arg(below(60), 2, 10, QLatin1Char('0'))
        .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

bool TaskListGenerator::write(const QString &path, int entries, Mix mix)
{
    QByteArray bytes("Status;Task;Added;Edited;User\r\n");
    bytes.reserve(static_cast<qsizetype>(entries) * 120);
    const auto append = [&bytes](const QString &text) {
        for (const QChar c : text)
            bytes.append(static_cast<char>(Windows1252::ByteFor(c.unicode())));
    };
    for (int i = 0; i < entries; ++i) {
        bytes.append(QByteArray::number(status(mix)));
        bytes.append(';');
        append(task());
        bytes.append(';');
        append(date());
        bytes.append(';');
        // Entries never changed since they were added have no edited date.
        if (below(10) >= 4)
            append(date());
        bytes.append(';');
        append(QString::fromUtf16(kUsers[below(static_cast<int>(kUsers.size()))]));
        bytes.append("\r\n");
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
