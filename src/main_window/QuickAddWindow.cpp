#include "main_window/QuickAddWindow.h"

#include "base/AppInfo.h"
#include "base/Dialogs.h"
#include "entries/Status.h"
#include "exchange/QuickAdd.h"
#include "storage/FilePath.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

QuickAddWindow::QuickAddWindow(Dialogs &dialogs, QString path, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_path(std::move(path))
    , m_task(new QPlainTextEdit(this))
    , m_user(new QLineEdit(LoginUserName(), this))
    , m_question(new QCheckBox(tr("&Question"), this))
{
    setWindowTitle(tr("Add an entry to %1").arg(ReadablePath(m_path)));
    m_task->setTabChangesFocus(true);
    m_task->setMaximumHeight(m_task->fontMetrics().lineSpacing() * 5 + 12);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QuickAddWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QuickAddWindow::reject);
    auto *form = new QFormLayout(this);
    form->addRow(tr("&Task"), m_task);
    form->addRow(tr("&User"), m_user);
    form->addRow(QString(), m_question);
    form->addRow(buttons);
    m_task->setFocus();
}

void QuickAddWindow::accept()
{
    QString typed = m_task->toPlainText();
    typed.replace(u'\n', QStringLiteral("\r\n"));
    NewEntries entries;
    entries.push_back(NewTaskEntry(EncodeLineBreaks(typed), m_user->text(), m_question->isChecked()));
    if (const Result added = AddEntriesToFile(m_path, std::move(entries)); added.failed()) {
        m_dialogs.message(tr("The entry could not be added: %1").arg(added.reason()), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
        return;
    }
    QDialog::accept();
}
