#pragma once

#include "printing/ListPrinter.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class Dialogs;
class QPrinter;
class QProgressDialog;
class QWidget;

// Prints one list on the printer the user chooses, a few rows per turn of the
// event loop, so that the window stays responsive; a long list shows its
// progress in a dialog that can cancel it. The job deletes itself when done.
class PrintJob : public QObject
{
    Q_OBJECT

public:
    // Asks for a printer and starts printing; nothing when the user chose none.
    static void Start(QWidget &window, Dialogs &dialogs, QString title, std::vector<PrintedEntry> entries);
    ~PrintJob() override;

private:
    PrintJob(QWidget &window, std::unique_ptr<QPrinter> printer, QString title, std::vector<PrintedEntry> entries);
    void printSome();
    void cancel();

    std::unique_ptr<QPrinter> m_printer;
    ListPrinter m_layout;
    QPointer<QProgressDialog> m_progress;
    bool m_cancelled = false;
};
