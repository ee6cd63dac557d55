#include "find/RowSearch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Folded as the search folds, then compared unit by unit.
bool containsFolded(QStringView text, QStringView typed)
{
    QString foldedText;
    QString foldedTyped;
    for (const QChar unit : text)
        foldedText += QChar(TextMatch::fold(unit.unicode()));
    for (const QChar unit : typed)
        foldedTyped += QChar(TextMatch::fold(unit.unicode()));
    return foldedText.contains(foldedTyped);
}

QString randomText(std::mt19937 &random, int longest)
{
    // Letters in both cases, accented and not, digits, blanks, signs and a
    // unit beyond the first plane.
    static const QString units = QStringLiteral("aAbBcCeEéÉèzZ019 ;|-ßσΣ") + QString::fromUtf16(u"😀");
    QString text;
    const int size = std::uniform_int_distribution<int>(0, longest)(random);
    for (int i = 0; i < size; ++i)
        text += units[std::uniform_int_distribution<qsizetype>(0, units.size() - 1)(random)];
    return text;
}

} // namespace

// A lost bit silently hides matches: the row set against a plain vector of
// bools through random edits, and the search with its letter prefilter,
// user byte and threads against a direct substring test of every row.
TEST(RowSearch, RowBitsAndTheLetterPrefilterAgreeWithPlainReferences)
{
    std::mt19937 random(1210);
    const auto below = [&](size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(random); };

    std::vector<bool> reference(300);
    std::vector<quint64> words((reference.size() + 63) / 64);
    for (size_t row = 0; row < reference.size(); ++row) {
        reference[row] = below(3) == 0;
        if (reference[row])
            words[row / 64] |= quint64(1) << (row % 64);
    }
    RowBits bits(words, reference.size());
    for (int step = 0; step < 400; ++step) {
        const size_t row = below(reference.size() + 1);
        switch (below(3)) {
        case 0: {
            const size_t count = below(70);
            const bool inSet = below(2) == 0;
            bits.insertRows(row, count, inSet);
            reference.insert(reference.begin() + std::ptrdiff_t(row), count, inSet);
            break;
        }
        case 1: {
            const size_t count = std::min(below(70), reference.size() - row);
            bits.removeRows(row, count);
            reference.erase(reference.begin() + std::ptrdiff_t(row), reference.begin() + std::ptrdiff_t(row + count));
            break;
        }
        default:
            if (row < reference.size()) {
                bits.insert(row);
                reference[row] = true;
            }
        }
        ASSERT_EQ(bits.rows(), reference.size());
        size_t before = 0;
        for (size_t at = 0; at < reference.size(); ++at) {
            ASSERT_EQ(bits.contains(at), bool(reference[at])) << "step " << step << " row " << at;
            ASSERT_EQ(bits.countBefore(at), before) << "step " << step << " row " << at;
            if (reference[at]) {
                ASSERT_EQ(bits.nth(before++), at) << "step " << step;
            }
        }
        ASSERT_EQ(bits.count(), before);
    }

    // Enough rows for several chunks' worth of pieces on several threads.
    CategoryList list(QStringLiteral("lvwTasks"));
    const int rows = 20000;
    for (int i = 0; i < rows; ++i)
        list.append(Entry::create(1, randomText(random, 24), u"a", u"e", randomText(random, 6)));
    RowLetters letters(list);
    letters.begin();
    letters.readAll();
    for (int round = 0; round < 24; ++round) {
        const Row source = list.rowAt(int(below(rows)) + 1);
        const QString field = source->field(below(2) ? Entry::Task : Entry::User).toString();
        const qsizetype from = std::uniform_int_distribution<qsizetype>(0, field.size())(random);
        // A piece of some row, or any text at all, in another letter case.
        QString typed = round % 3 == 0 ? randomText(random, 3) : field.mid(from, qsizetype(below(4) + 1));
        typed = below(2) ? typed.toUpper() : typed;
        const TextMatch match(typed);
        std::vector<quint64> amongWords((rows + 63) / 64);
        for (quint64 &word : amongWords)
            word = (quint64(random()) << 32) | random();
        amongWords.back() &= (quint64(1) << (rows % 64)) - 1;
        const RowBits among(amongWords, rows);
        const bool useAmong = round % 2 == 1;

        const size_t begin = 64 * below(rows / 128);
        const std::vector<quint64> found = MatchingRows(list, letters, match, useAmong ? &among : nullptr, begin, rows);
        for (size_t row = begin; row < size_t(rows); ++row) {
            const Row entry = list.rowAt(int(row) + 1);
            const bool expected = (!useAmong || among.contains(row))
                && (containsFolded(entry->field(Entry::Task), typed)
                    || containsFolded(entry->field(Entry::User), typed));
            const bool got = (found[(row - begin) / 64] >> ((row - begin) % 64)) & 1;
            ASSERT_EQ(got, expected) << "typed \"" << qPrintable(typed) << "\" row " << row;
        }
    }
}
