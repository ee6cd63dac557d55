#include "printing/ListPrinter.h"

#include "entries/Status.h"
#include "storage/FileAccess.h"

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <algorithm>

namespace {

constexpr double kColumnShares[] = {0.13, 0.35, 0.19, 0.19, 0.14};
constexpr int kColumnCount = 5;
const QColor kRuleColor(150, 150, 150);

} // namespace

PrintedEntry PrintedEntry::Of(const Entry &entry)
{
    QString task = DecodeLineBreaks(entry.field(Entry::Task).toString());
    task.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return {StatusName(entry.status), task, entry.field(Entry::Added).toString(), entry.field(Entry::Edited).toString(),
            entry.field(Entry::User).toString()};
}

ListPrinter::ListPrinter(QString title, std::vector<PrintedEntry> entries)
    : m_title(std::move(title))
    , m_entries(std::move(entries))
{
    m_wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

bool ListPrinter::begin(QPagedPaintDevice &device)
{
    m_device = &device;
    if (!m_painter.begin(&device))
        return false;
    m_font = QFont();
    m_font.setPointSizeF(9);
    // Unshaped text keeps every letter its own (no ligatures), so the PDF's
    // text is what was typed, and lays out faster.
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    m_bold = m_font;
    m_bold.setBold(true);
    m_painter.setFont(m_font);
    const QFontMetricsF metrics(m_font, &device);
    m_lineHeight = metrics.lineSpacing();
    m_padding = m_lineHeight / 4;
    double left = 0;
    for (const double share : kColumnShares) {
        const double width = share * device.width();
        m_columns.push_back({left, width});
        left += width;
    }
    startPage();
    return true;
}

bool ListPrinter::printMore(int count)
{
    for (int i = 0; i < count && m_next < m_entries.size(); ++i)
        printRow(m_entries[m_next++]);
    return m_next < m_entries.size();
}

bool ListPrinter::end()
{
    return m_painter.end();
}

void ListPrinter::startPage()
{
    if (m_page > 0)
        m_device->newPage();
    ++m_page;
    const double width = m_device->width();
    const double height = m_device->height();
    m_painter.setPen(Qt::black);

    QFont titleFont = m_bold;
    titleFont.setPointSizeF(12);
    m_painter.setFont(titleFont);
    const double titleHeight = QFontMetricsF(titleFont, m_device).lineSpacing();
    m_painter.drawText(QRectF(0, 0, width, titleHeight), Qt::AlignLeft | Qt::AlignTop, m_title);

    m_painter.setFont(m_font);
    m_painter.drawText(QRectF(0, height - m_lineHeight, width, m_lineHeight), Qt::AlignHCenter | Qt::AlignBottom,
                       tr("Page %1").arg(m_page));
    m_bottom = height - 2 * m_lineHeight;

    m_painter.setFont(m_bold);
    const double headingTop = titleHeight + m_lineHeight / 2;
    const QString headings[kColumnCount] = {tr("Status"), tr("Task"), tr("Added"), tr("Edited"), tr("User")};
    for (int column = 0; column < kColumnCount; ++column)
        drawCell(headings[column], column, headingTop, m_lineHeight + 2 * m_padding);
    m_painter.setFont(m_font);
    m_top = headingTop + m_lineHeight + 2 * m_padding;
    m_painter.setPen(QPen(Qt::black, m_lineHeight / 12));
    m_painter.drawLine(QPointF(0, m_top), QPointF(width, m_top));
}

double ListPrinter::cellHeight(const QString &text, int column)
{
    const double width = m_columns[column].width - 2 * m_padding;
    // Most cells are one short line, which needs no layout.
    if (!text.contains(u'\n') && m_painter.fontMetrics().horizontalAdvance(text) <= width)
        return m_lineHeight;
    return m_painter.boundingRect(QRectF(0, 0, width, 1e9), text, m_wrap).height();
}

void ListPrinter::drawCell(const QString &text, int column, double top, double height)
{
    const Column &place = m_columns[column];
    m_painter.drawText(
        QRectF(place.left + m_padding, top + m_padding, place.width - 2 * m_padding, height - 2 * m_padding), text,
        m_wrap);
}

void ListPrinter::printRow(const PrintedEntry &entry)
{
    const QString *texts[kColumnCount] = {&entry.status, &entry.task, &entry.added, &entry.edited, &entry.user};
    double height = 0;
    for (int column = 0; column < kColumnCount; ++column)
        height = std::max(height, cellHeight(*texts[column], column));
    height += 2 * m_padding;
    if (m_top + height > m_bottom)
        startPage();
    // A row taller than a page is cut at its end.
    height = std::min(height, m_bottom - m_top);
    m_painter.setPen(Qt::black);
    for (int column = 0; column < kColumnCount; ++column)
        drawCell(*texts[column], column, m_top, height);
    m_top += height;
    m_painter.setPen(QPen(kRuleColor, m_lineHeight / 20));
    m_painter.drawLine(QPointF(0, m_top), QPointF(m_device->width(), m_top));
}

Result WritePdfFile(const QString &path, const QString &title, std::vector<PrintedEntry> entries)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() > 0 && !existing.read(5).startsWith("%PDF-"))
        return Result::failure(ListPrinter::tr("%1 is there already and is no PDF file.").arg(path));
    existing.close();

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(title);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setPageSize(
            QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        ListPrinter printer(title, std::move(entries));
        if (!printer.begin(writer))
            return Result::failure(ListPrinter::tr("The PDF file could not be laid out."));
        while (printer.printMore(1024)) { }
        if (!printer.end())
            return Result::failure(ListPrinter::tr("The PDF file could not be laid out."));
    }
    return ReplaceFileContents(path, pdf.data());
}
