#include "main_window/FindBar.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
    , m_text(new QLineEdit(this))
    , m_noMatch(new QLabel(tr("No entries match"), this))
    , m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_text->setAccessibleName(tr("Find"));
    m_text->setPlaceholderText(tr("Find in task or user"));
    m_text->setClearButtonEnabled(true);
    m_text->installEventFilter(this);
    m_close->setObjectName(QStringLiteral("btnCloseFind"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    m_close->setAccessibleName(tr("Close find"));
    m_close->setToolTip(tr("Close (Esc)"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *label = new QLabel(tr("Find:"), this);
    label->setBuddy(m_text);
    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    m_noMatch->setObjectName(QStringLiteral("lblNoMatch"));
    m_noMatch->hide();
    layout->addWidget(m_noMatch);
    layout->addWidget(m_close);

    connect(m_text, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(m_close, &QToolButton::clicked, this, &FindBar::closed);
}

QString FindBar::text() const
{
    return m_text->text();
}

void FindBar::open()
{
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FindBar::clear()
{
    m_text->clear();
}

void FindBar::showNoMatch(bool none)
{
    if (m_noMatch->isVisible() == none)
        return;
    m_noMatch->setVisible(none);
    // A screen reader hears the field's description change, and reads it
    // with the field whenever it comes to it.
    m_text->setAccessibleDescription(none ? m_noMatch->text() : QString());
    if (none) {
        QAccessibleEvent alert(m_noMatch, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

QWidget *FindBar::textField() const
{
    return m_text;
}

QWidget *FindBar::closeButton() const
{
    return m_close;
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
            Q_EMIT closed();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
            Q_EMIT nextMatch(modifiers == Qt::NoModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
