#pragma once

#include "base/Result.h"
#include "entries/Entry.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QString>

#include <vector>

class QPagedPaintDevice;

// One entry as it is printed: its status name and its texts, the task with
// its line breaks.
struct PrintedEntry {
    QString status;
    QString task;
    QString added;
    QString edited;
    QString user;

    static PrintedEntry Of(const Entry &entry);
};

// Lays a list out on pages: a title and the column headings at the top of
// every page, then one row per entry with all the lines of its texts, in
// black and grey; a row never breaks across pages, and every page carries
// its number. The rows are printed a few at a time, so that a window can
// show progress and stay responsive in between.
class ListPrinter
{
    Q_DECLARE_TR_FUNCTIONS(ListPrinter)

public:
    ListPrinter(QString title, std::vector<PrintedEntry> entries);

    // Starts the first page on the device; false when it cannot be painted on.
    bool begin(QPagedPaintDevice &device);
    // Prints up to count more rows; true while rows remain.
    bool printMore(int count);
    // Ends the last page; false when the device failed.
    bool end();

    int printedCount() const { return static_cast<int>(m_next); }
    int entryCount() const { return static_cast<int>(m_entries.size()); }

private:
    struct Column {
        double left;
        double width;
    };

    void startPage();
    void printRow(const PrintedEntry &entry);
    double cellHeight(const QString &text, int column);
    void drawCell(const QString &text, int column, double top, double height);

    QString m_title;
    std::vector<PrintedEntry> m_entries;
    size_t m_next = 0;
    QPagedPaintDevice *m_device = nullptr;
    QPainter m_painter;
    QFont m_font;
    QFont m_bold;
    std::vector<Column> m_columns;
    QTextOption m_wrap;
    double m_padding = 0;
    double m_lineHeight = 0;
    double m_top = 0; // where the next row goes
    double m_bottom = 0; // where rows end, above the page number
    int m_page = 0;
};

// Writes the entries as a PDF file at path through the same safe replace as a
// task-list file. Refuses to replace a file that is not empty and is no PDF
// file, so that swapped arguments cannot overwrite a task list.
Result WritePdfFile(const QString &path, const QString &title, std::vector<PrintedEntry> entries);
