#include "association/DocumentType.h"

#include <QFileInfo>

namespace {

// Lower-case letters, digits, ".", "+" and "-" are safe both in a MIME subtype
// and in a desktop file name; every other character becomes "-".
QString TypeKey(const QString &sFileName)
{
    QString sKey;
    for (const char32_t c : sFileName.toLower().toUcs4()) {
        const bool bKept = (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'.' || c == U'+' || c == U'-';
        sKey += bKept ? QChar(static_cast<char16_t>(c)) : QLatin1Char('-');
    }
    return sKey;
}

} // namespace

DocumentType DocumentType::ForExecutable(const QString &sExecutablePath)
{
    const QString sFileName = QFileInfo(sExecutablePath).fileName();
    const QString sKey = TypeKey(sFileName);
    return {
        sFileName,
        QStringLiteral("application/x-%1-document").arg(sKey),
        QStringLiteral("%1 Data").arg(sFileName),
        QStringLiteral("%1-document.desktop").arg(sKey),
    };
}
