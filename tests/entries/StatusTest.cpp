#include "entries/Status.h"

#include "base/modFunctions.h"
#include "entries/DateText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::optional<double> parse(const char16_t *text)
{
    return ParseStatusField(text);
}

} // namespace

TEST(Status, RoutesEveryCodeToItsList)
{
    EXPECT_EQ(CategoryForStatus(1), Category::Tasks);
    EXPECT_EQ(CategoryForStatus(7), Category::Tasks);
    EXPECT_EQ(CategoryForStatus(2), Category::Completed);
    EXPECT_EQ(CategoryForStatus(3), Category::Unresolved);
    EXPECT_EQ(CategoryForStatus(4), Category::Unresolved);
    EXPECT_EQ(CategoryForStatus(5), Category::Unresolved);
    EXPECT_EQ(CategoryForStatus(6), Category::Information);
    EXPECT_EQ(CategoryForStatus(8), Category::Requests);
    for (double other : {0.0, -2.0, 1.5, 7.0000001, 9.0, 100.0})
        EXPECT_EQ(CategoryForStatus(other), Category::Unresolved) << other;
}

TEST(Status, NamesAndNewEntryCodes)
{
    EXPECT_EQ(StatusCodeForName(u"Complete"), 2);
    EXPECT_EQ(StatusCodeForName(u"Incomplete"), 1);
    EXPECT_EQ(StatusCodeForName(u"Request"), 8);
    EXPECT_EQ(StatusCodeForName(u"request"), std::nullopt);
    EXPECT_EQ(StatusCodeForName(u"Divider1"), std::nullopt);
    EXPECT_EQ(NewEntryStatus(Category::Tasks, false), 1);
    EXPECT_EQ(NewEntryStatus(Category::Tasks, true), 7);
    EXPECT_EQ(NewEntryStatus(Category::Completed, true), 2);
    EXPECT_EQ(NewEntryStatus(Category::Unresolved, false), 4);
    EXPECT_EQ(NewEntryStatus(Category::Information, false), 6);
    EXPECT_EQ(NewEntryStatus(Category::Requests, false), 8);
    EXPECT_EQ(CategoryForTab(5), std::nullopt);
    EXPECT_EQ(CategoryForTab(-1), std::nullopt);
}

TEST(Status, ParsesTheNumberThatStartsTheField)
{
    EXPECT_EQ(parse(u"7"), 7.0);
    EXPECT_EQ(parse(u"  \t7 "), 7.0);
    EXPECT_EQ(parse(u"7abc"), 7.0);
    EXPECT_EQ(parse(u"+5"), 5.0);
    EXPECT_EQ(parse(u"007"), 7.0);
    EXPECT_EQ(parse(u".5"), 0.5);
    EXPECT_EQ(parse(u"7."), 7.0);
    EXPECT_EQ(parse(u"1.50"), 1.5);
    EXPECT_EQ(parse(u"1e2"), 100.0);
    EXPECT_EQ(parse(u"1e"), 1.0);
    EXPECT_EQ(parse(u"1e+"), 1.0);
    EXPECT_EQ(parse(u"2E-1x"), 0.2);
    EXPECT_EQ(parse(u"7,5"), 7.0);
    EXPECT_EQ(parse(u"-2"), -2.0);
    EXPECT_EQ(parse(u"0x10"), 0.0);
    EXPECT_EQ(parse(u"inf"), 0.0);
    EXPECT_EQ(parse(u"nan"), 0.0);
    EXPECT_EQ(parse(u"."), 0.0);
    EXPECT_EQ(parse(u"-"), 0.0);
    EXPECT_EQ(parse(u""), 0.0);
    EXPECT_EQ(parse(u"word"), 0.0);
    EXPECT_EQ(parse(u"1e999"), std::nullopt);
    EXPECT_EQ(parse(u"-1e999"), std::nullopt);
    EXPECT_EQ(parse(u"123456789e305"), std::nullopt);
    EXPECT_EQ(parse(u"1e-999"), 0.0);
    EXPECT_EQ(parse(u"0.000001e-400"), 0.0);
}

TEST(Status, WritesTheShortestForm)
{
    EXPECT_EQ(FormatStatus(7), QStringLiteral("7"));
    EXPECT_EQ(FormatStatus(100), QStringLiteral("100"));
    EXPECT_EQ(FormatStatus(1.5), QStringLiteral("1.5"));
    EXPECT_EQ(FormatStatus(-2), QStringLiteral("-2"));
    EXPECT_EQ(FormatStatus(-0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatStatus(0.1), QStringLiteral("0.1"));
    for (double value : {0.1, 1e21, 123.456, -7.25, 1e-300})
        EXPECT_EQ(ParseStatusField(FormatStatus(value).toStdU16String()), value) << value;
}

TEST(Status, LineBreakEncodingBothWays)
{
    EXPECT_EQ(EncodeLineBreaks(QStringLiteral("a\r\nb\r\nc")), QStringLiteral("a | b | c"));
    EXPECT_EQ(DecodeLineBreaks(QStringLiteral("a | b | c")), QStringLiteral("a\r\nb\r\nc"));
    // A lone CR or LF is not a line break of the encoding.
    EXPECT_EQ(EncodeLineBreaks(QStringLiteral("a\rb\nc")), QStringLiteral("a\rb\nc"));
    EXPECT_EQ(EncodeLineBreaks(QStringLiteral("\r\r\n\n")), QStringLiteral("\r | \n"));
    // A typed " | " cannot be told from a line break.
    EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(QStringLiteral("x | y"))), QStringLiteral("x\r\ny"));
    EXPECT_EQ(EncodeLineBreaks(QString()), QString());
}

TEST(DateText, FourDigitYearSecondsAndPlainBlanks)
{
    const QDateTime moment(QDate(2026, 12, 8), QTime(14, 5, 31));
    EXPECT_EQ(DateText(moment, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("12/8/2026 2:05:31 PM"));
    EXPECT_EQ(DateText(moment, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("08.12.2026 14:05:31"));
    for (const QLocale &locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const QString text = DateText(moment, locale);
        EXPECT_FALSE(text.contains(QLatin1Char(';'))) << locale.name().toStdString();
        for (QChar c : text)
            EXPECT_TRUE(c.category() != QChar::Separator_Space || c == QLatin1Char(' ')) << locale.name().toStdString();
        // Seconds are always there, in the locale's own digits.
        EXPECT_TRUE(text.contains(locale.toString(31))) << locale.name().toStdString();
    }
}

TEST(Version, StringFromTheBuild)
{
    EXPECT_EQ(modFunctions::GetVersionString(), QStringLiteral("Tarvik 1.0.0"));
}
