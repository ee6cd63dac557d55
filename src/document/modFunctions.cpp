#include "document/modFunctions.h"

#include "document/AppInfo.h"

namespace modFunctions {

QString GetVersionString()
{
    return QStringLiteral("%1 %2.%3.%4")
        .arg(AppInfo::ProductName())
        .arg(AppInfo::Major())
        .arg(AppInfo::Minor())
        .arg(AppInfo::Revision());
}

} // namespace modFunctions
