#include "main_window/LongTaskPreview.h"

#include <QApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {

// Enough to fill any task box several times over.
constexpr qsizetype kBeginningSize = qsizetype(16) * 1024;

// Looking for word boundaries in a very long line stalls the window (a
// 100,000-character word takes twenty times as long as when any place may
// wrap), so past this length any place may: see click-long.
constexpr qsizetype kWordWrapLimit = 10000;

} // namespace

LongTaskPreview::LongTaskPreview(QPlainTextEdit &editor)
    : QObject(&editor)
    , m_editor(editor)
    , m_showAll(new QPushButton(tr("Show all"), &editor))
{
    m_showAll->setObjectName(QStringLiteral("btnShowAll"));
    m_showAll->hide();
    connect(m_showAll, &QPushButton::clicked, this, &LongTaskPreview::showAll);
    // Anything else that changes the box (clearing it, a new entry) ends the preview.
    connect(&m_editor, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText)
            endPreview();
    });
    m_editor.installEventFilter(this);
}

void LongTaskPreview::show(const QString &stored, QString (*decode)(const QString &))
{
    m_decode = decode;
    if (stored.size() <= kWholeTextLimit) {
        endPreview();
        setText(decode(stored));
        return;
    }
    m_previewed = stored;
    setText(decode(stored.left(kBeginningSize)) + QChar(0x2026));
    m_editor.setReadOnly(true);
    placeButton();
    m_showAll->show();
}

void LongTaskPreview::showAll()
{
    if (!m_previewed)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString whole = m_decode(*m_previewed);
    endPreview();
    setText(whole);
    QApplication::restoreOverrideCursor();
}

bool LongTaskPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_editor && event->type() == QEvent::Resize)
        placeButton();
    return QObject::eventFilter(watched, event);
}

void LongTaskPreview::placeButton()
{
    const QSize size = m_showAll->sizeHint();
    const QRect inside = m_editor.contentsRect();
    m_showAll->setGeometry(inside.right() - size.width() - 16, inside.bottom() - size.height() - 2, size.width(),
                           size.height());
}

void LongTaskPreview::setText(const QString &shown)
{
    const QScopedValueRollback guard(m_settingText, true);
    m_editor.setWordWrapMode(shown.size() > kWordWrapLimit ? QTextOption::WrapAnywhere
                                                           : QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_editor.setPlainText(shown);
}

void LongTaskPreview::endPreview()
{
    if (!m_previewed)
        return;
    m_previewed.reset();
    m_showAll->hide();
    m_editor.setReadOnly(false);
}
