#pragma once

#include <QStringList>
#include <QTranslator>

// The program's texts and Qt's own (Yes, No, Cancel, the file dialog) in the
// user's language, installed on the application for as long as this object
// lives. The first of the user's languages that is English or that the program
// is translated into wins; English is the language of the texts themselves.
// Files never change with the language: only what is shown does.
class Translations
{
public:
    explicit Translations(const QStringList &languages);
    ~Translations();

    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // The user's languages, best first, as the locale settings give them
    // (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    static QStringList UserLanguages();

    // The language the texts are shown in: "de", "fr"; empty for English.
    QString language() const { return m_language; }

private:
    QString m_language;
    QTranslator m_program;
    QTranslator m_qt;
};
