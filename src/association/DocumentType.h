#pragma once

#include <QString>

// The names under which the desktop knows the documents of an executable. They
// follow the executable's file name, so a renamed executable registers anew.
struct DocumentType {
    QString sApplicationName; // the executable's file name, "Tarvik"
    QString sMimeType; // "application/x-tarvik-document"
    QString sDescription; // "Tarvik Data"
    QString sDesktopFileName; // "tarvik-document.desktop"

    static DocumentType ForExecutable(const QString &sExecutablePath);
};
