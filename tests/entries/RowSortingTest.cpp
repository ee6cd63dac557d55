#include "entries/RowSorting.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void arrange(EntryRows &rows, const std::vector<quint32> &order)
{
    ASSERT_EQ(order.size(), rows.size());
    EntryRows arranged;
    for (const quint32 index : order)
        arranged.push_back(std::move(rows[index]));
    rows.swap(arranged);
}

QStringList column(const EntryRows &rows, int key)
{
    QStringList texts;
    for (const auto &row : rows)
        texts << row->columnText(key);
    return texts;
}

} // namespace

TEST(RowSorting, TextOrderIsCaseFoldedThenExact)
{
    EntryRows rows;
    for (const char *t : {"b", "B", "a", "\xc3\x84rger", "A", "\xc3\xa4rger", "10", "9"})
        rows.push_back(Entry::create(1, QString::fromUtf8(t), u"", u"", u""));
    arrange(rows, SortedOrder(rows, Entry::Task, false));
    EXPECT_EQ(column(rows, Entry::Task),
              (QStringList{"10", "9", "A", "a", "B", "b", QString::fromUtf8("\xc3\x84rger"),
                           QString::fromUtf8("\xc3\xa4rger")}));
}

// Keys that tie for many units, differ only in case, hold characters outside
// the Basic Multilingual Plane, lone surrogates, U+0000 and U+FFFF: sorting
// must give exactly what a stable sort by CompareSortTexts gives, in both
// directions and when sorted rows are turned round.
TEST(RowSorting, MatchesAStableSortByCompareSortTexts)
{
    const QList<QString> units = {QStringLiteral("a"),
                                  QStringLiteral("A"),
                                  QStringLiteral("b"),
                                  QStringLiteral("B"),
                                  QStringLiteral(" "),
                                  QString::fromUtf16(u"\u00e4\u00c4"),
                                  QString::fromUtf16(u"\u00df"),
                                  QString::fromUtf16(u"\u1e9e"),
                                  QString::fromUtf16(u"\u0130"),
                                  QString::fromUtf16(u"\u03c3"),
                                  QString::fromUtf16(u"\u03a3"),
                                  QString::fromUtf16(u"\u03c2"),
                                  QString::fromUtf16(u"\U00010400"),
                                  QString::fromUtf16(u"\U00010428"),
                                  QString::fromUtf16(u"\U0001F600"),
                                  QString(QChar(0xD800)),
                                  QString(QChar(0xDC00)),
                                  QString(QChar(0)),
                                  QString(QChar(0xFFFF))};
    const QList<QString> stems = {QString(),
                                  QStringLiteral("call the supplier"),
                                  QStringLiteral("Call the Supplier"),
                                  QStringLiteral("call the sup"),
                                  QStringLiteral("12345678"),
                                  QStringLiteral("1234567")};
    QRandomGenerator random(7);
    const auto randomKey = [&] {
        QString key = stems[random.bounded(stems.size())];
        const int extra = random.bounded(12);
        for (int i = 0; i < extra; ++i)
            key += units[random.bounded(units.size())];
        return key;
    };

    for (const int sortKey : {int(Entry::Task), int(Entry::StatusText)}) {
        EntryRows rows;
        const double statuses[] = {1, 7, 2, 1.5, -2, 10, 0};
        for (int serial = 0; serial < 3000; ++serial)
            rows.push_back(Entry::create(statuses[random.bounded(7)], randomKey(), QString::number(serial), u"", u""));

        // Each row's key with its serial number, which tells equal keys apart.
        const auto keyed = [&] {
            std::vector<std::pair<QString, QString>> out;
            for (const auto &row : rows)
                out.emplace_back(row->columnText(sortKey), row->columnText(Entry::Added));
            return out;
        };
        const auto stablySorted = [](auto sequence, bool descending) {
            std::stable_sort(sequence.begin(), sequence.end(), [descending](const auto &a, const auto &b) {
                const int c = CompareSortTexts(a.first, b.first);
                return descending ? c > 0 : c < 0;
            });
            return sequence;
        };

        auto expected = stablySorted(keyed(), false);
        arrange(rows, SortedOrder(rows, sortKey, false));
        ASSERT_EQ(keyed(), expected) << "ascending by " << sortKey;

        expected = stablySorted(keyed(), true);
        arrange(rows, ReversedOrder(rows, sortKey));
        ASSERT_EQ(keyed(), expected) << "turned round by " << sortKey;

        // A fresh descending sort from another key's order.
        arrange(rows, SortedOrder(rows, Entry::User, false));
        expected = stablySorted(keyed(), true);
        arrange(rows, SortedOrder(rows, sortKey, true));
        ASSERT_EQ(keyed(), expected) << "descending by " << sortKey;
    }
}
