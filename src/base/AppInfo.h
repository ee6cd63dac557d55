#pragma once

#include <QString>

// The product's identity as the build defines it; the one place the rest of the
// program asks for its name, version and legal texts.
namespace AppInfo {

QString ProductName();
int Major();
int Minor();
int Revision();
QString LegalCopyright();
QString LegalTrademarks();
// The reverse-DNS name the desktop knows the program by: its desktop entry,
// metainfo and icon are named after it.
QString ApplicationId();

} // namespace AppInfo
