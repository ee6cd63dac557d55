#pragma once

#include "exchange/QuickAdd.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The kinds of list --import takes in, all in UTF-8.
enum class ImportFormat {
    TodoTxt, // "x " lines are Complete, the others Incomplete; a creation date is the added date
    Csv, // the --list --format=csv form: every field as written
    Text, // one Incomplete entry per line that is not blank
};

// The format of a --format value ("todotxt", "csv", "text").
std::optional<ImportFormat> ImportFormatNamed(QStringView name);

// CSV when the first line is the CSV export's header, todo.txt for a file named
// todo.txt or done.txt (or ending in .todo.txt), else plain text.
ImportFormat GuessImportFormat(const QString &path, const QByteArray &bytes);

struct ImportedEntries {
    NewEntries entries; // in the source's order
    QStringList skipped; // each line that could not be used, with its number and why
};

// Makes the entries of the source's bytes. Entries that carry no user or
// added date of their own get these.
ImportedEntries ParseImport(ImportFormat format, const QByteArray &bytes, const QString &user, const QString &now);
