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

    // One unit as it is compared.
    static char16_t fold(char16_t unit);

private:
    QString m_folded;
};
