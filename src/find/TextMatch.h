#pragma once

#include <QString>
#include <QStringView>

// Finds typed text inside stored texts the way a reader expects of a search
// box: letter case does not count (Unicode simple case folding) and neither do
// accents that Unicode writes as a base letter with a mark ("é" is "e"). Both
// sides are compared one UTF-16 unit at a time through one folding table, so
// that a million entries can be searched per keystroke.
class TextMatch
{
public:
    TextMatch() = default;
    explicit TextMatch(QStringView typed);

    // The typed text as it is compared.
    const QString &folded() const { return m_folded; }
    bool isEmpty() const { return m_folded.isEmpty(); }
    // Whether every text this matches is also matched by other, so that the
    // entries other matches can be searched among those this one matched.
    bool narrows(const TextMatch &other) const { return other.m_folded.contains(m_folded); }

    bool foundIn(QStringView text) const;

    // Which letters a text holds once folded, a bit each: one for each of a
    // to z, four that the digits share, one for any other ASCII unit and one
    // for the rest. A text can be matched only if it holds all of letters();
    // for a single letter a to z, holding it is matching it.
    static quint32 lettersIn(QStringView text);
    quint32 letters() const { return m_letters; }
    bool lettersDecide() const { return m_lettersDecide; }

    // One unit as it is compared.
    static char16_t fold(char16_t unit);

private:
    QString m_folded;
    quint32 m_letters = 0;
    bool m_lettersDecide = false;
};
