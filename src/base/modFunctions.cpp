#include "base/modFunctions.h"

#include "base/AppInfo.h"

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
