#include "base/AppInfo.h"

namespace AppInfo {

QString ProductName()
{
    return QStringLiteral(TARVIK_PRODUCT_NAME);
}
int Major()
{
    return TARVIK_VERSION_MAJOR;
}
int Minor()
{
    return TARVIK_VERSION_MINOR;
}
int Revision()
{
    return TARVIK_VERSION_PATCH;
}
QString LegalCopyright()
{
    return QStringLiteral(TARVIK_COPYRIGHT);
}
QString LegalTrademarks()
{
    return QStringLiteral(TARVIK_TRADEMARKS);
}
QString ApplicationId()
{
    return QStringLiteral(TARVIK_APP_ID);
}

} // namespace AppInfo
