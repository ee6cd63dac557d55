#include "main_window/PrintJob.h"

#include "base/Dialogs.h"

#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

namespace {

// Rows printed per turn, then the window gets its events.
constexpr int kRowsPerTurn = 200;

} // namespace

void PrintJob::Start(QWidget &window, Dialogs &dialogs, QString title, std::vector<PrintedEntry> entries)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(title);
    if (!dialogs.choosePrinter(*printer))
        return;
    auto *job = new PrintJob(window, std::move(printer), std::move(title), std::move(entries));
    if (!job->m_layout.begin(*job->m_printer)) {
        delete job;
        dialogs.message(tr("The list could not be printed."), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    QTimer::singleShot(0, job, &PrintJob::printSome);
}

PrintJob::PrintJob(QWidget &window, std::unique_ptr<QPrinter> printer, QString title, std::vector<PrintedEntry> entries)
    : QObject(&window)
    , m_printer(std::move(printer))
    , m_layout(std::move(title), std::move(entries))
{
    m_progress = new QProgressDialog(tr("Printing the list…"), tr("Cancel"), 0, m_layout.entryCount(), &window);
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setMinimumDuration(500);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    connect(m_progress, &QProgressDialog::canceled, this, &PrintJob::cancel);
}

PrintJob::~PrintJob()
{
    if (m_progress)
        m_progress->deleteLater();
}

void PrintJob::printSome()
{
    if (m_cancelled)
        return;
    const bool more = m_layout.printMore(kRowsPerTurn);
    if (m_progress)
        m_progress->setValue(m_layout.printedCount());
    if (more) {
        QTimer::singleShot(0, this, &PrintJob::printSome);
        return;
    }
    m_layout.end();
    deleteLater();
}

void PrintJob::cancel()
{
    m_cancelled = true;
    m_printer->abort();
    m_layout.end();
    deleteLater();
}
