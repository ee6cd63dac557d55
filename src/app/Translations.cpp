#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace {

const QString kProgramCatalogs = QStringLiteral(":/i18n");

// "de_DE", "de-DE" and "de" all name German; the catalogs are per language.
QString languageOf(const QString &name)
{
    return name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

} // namespace

Translations::Translations(const QStringList &languages)
{
    for (const QString &name : languages) {
        const QString language = languageOf(name);
        if (language == QLatin1String("en") || language == QLatin1String("c"))
            return;
        if (m_program.load(QStringLiteral("tarvik_") + language, kProgramCatalogs)) {
            m_language = language;
            break;
        }
    }
    if (m_language.isEmpty())
        return;
    QCoreApplication::installTranslator(&m_program);
    // Debian's qt6-translations-l10n; without it Qt's own texts stay English.
    if (m_qt.load(QStringLiteral("qtbase_") + m_language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_program);
}

QStringList Translations::UserLanguages()
{
    return QLocale::system().uiLanguages();
}
