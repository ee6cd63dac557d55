#pragma once

#include <QString>

// The names under which the desktop knows the documents of an executable. They
// follow the executable's file name, so a renamed executable registers anew.
struct DocumentType {
    QString applicationName; // the executable's file name, "Tarvik"
    QString mimeType; // "application/x-tarvik-document"
    QString description; // "Tarvik Data"
    QString desktopFileName; // "tarvik-document.desktop"

    static DocumentType ForExecutable(const QString &executablePath);
};
