#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QIODevice;
class TaskLists;

// The forms --list can print the five lists in, besides its own TAB-separated
// one. Each one carries, for every entry, its list, status, status name, task,
// added and edited dates and user; list and status names are never
// translated, so that scripts can match them.
enum class ExportFormat {
    Tsv, // the listing of --list, written by the command line itself
    Csv, // RFC 4180: a header row, fields quoted where needed, UTF-8, CR LF
    Json, // an array of objects, one per line, the status as a number
    TodoTxt, // one todo.txt line per entry
    Markdown, // a heading per list, a check-box item per entry
};

// The format of a --format value ("tsv", "csv", "json", "todotxt", "markdown").
std::optional<ExportFormat> ExportFormatNamed(QStringView name);

// The header row of the CSV form, which the import recognises.
constexpr char CsvHeader[] = "list,status,status name,task,added,edited,user";

// Writes the lists, in tab order and each in display order, in any form but
// Tsv. False when writing to out failed.
bool WriteExport(ExportFormat format, TaskLists &lists, QIODevice &out);
