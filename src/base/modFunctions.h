#pragma once

#include <QString>

namespace modFunctions {

// "Tarvik 1.0.0": product name, a blank, and major.minor.revision.
QString GetVersionString();

} // namespace modFunctions
