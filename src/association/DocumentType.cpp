#include "association/DocumentType.h"

#include <QFileInfo>

namespace {

// Lower-case letters, digits, ".", "+" and "-" are safe both in a MIME subtype
// and in a desktop file name; every other character becomes "-".
QString typeKey(const QString &fileName)
{
    QString key;
    for (const char32_t c : fileName.toLower().toUcs4()) {
        const bool kept = (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'.' || c == U'+' || c == U'-';
        key += kept ? QChar(static_cast<char16_t>(c)) : QLatin1Char('-');
    }
    return key;
}

} // namespace

DocumentType DocumentType::ForExecutable(const QString &executablePath)
{
    const QString fileName = QFileInfo(executablePath).fileName();
    const QString key = typeKey(fileName);
    return {
        fileName,
        QStringLiteral("application/x-%1-document").arg(key),
        QStringLiteral("%1 Data").arg(fileName),
        QStringLiteral("%1-document.desktop").arg(key),
    };
}
