#include "main_window/QtDialogs.h"

#include "base/AppInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

QMessageBox::StandardButtons standardButtons(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::YesNoOrLater: // its Cancel is hidden: Escape's answer
    case Dialogs::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Escape and the close box give the most cautious answer the box has.
QMessageBox::StandardButton escapeButton(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::OkCancel:
    case Dialogs::Buttons::YesNoCancel:
    case Dialogs::Buttons::YesNoOrLater:
        return QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::No;
    case Dialogs::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Dialogs::Answer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Dialogs::Answer::Ok;
    case QMessageBox::Yes:
        return Dialogs::Answer::Yes;
    case QMessageBox::No:
        return Dialogs::Answer::No;
    default:
        return Dialogs::Answer::Cancel;
    }
}

} // namespace

Dialogs::Answer QtDialogs::message(const QString &text, Buttons buttons, Icon icon, Default byDefault)
{
    QMessageBox box(messageIcon(icon), AppInfo::ProductName(), text, standardButtons(buttons),
                    QApplication::activeWindow());
    // Paths and task texts are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Screen readers announce the box by its description as it opens.
    box.setAccessibleDescription(text);
    box.setEscapeButton(escapeButton(buttons));
    // Its Cancel is there for Escape and the close box alone.
    if (buttons == Buttons::YesNoOrLater)
        box.button(QMessageBox::Cancel)->hide();
    if (byDefault == Default::Cautious)
        box.setDefaultButton(escapeButton(buttons));
    else
        box.setDefaultButton(buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel
                                     || buttons == Buttons::YesNoOrLater
                                 ? QMessageBox::Yes
                                 : QMessageBox::Ok);
    return answerFor(box.exec());
}

QString QtDialogs::chooseFile(FileMode mode, const QString &filter)
{
    // The open dialog offers existing files only and the save dialog asks
    // before replacing a file: Qt's defaults, kept on purpose.
    QWidget *parent = QApplication::activeWindow();
    if (mode == FileMode::Open)
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

bool QtDialogs::choosePrinter(QPrinter &printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}
