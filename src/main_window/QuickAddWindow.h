#pragma once

#include <QDialog>

class Dialogs;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// The small window of the desktop action "Add an entry…": a task box, a user
// box and Question, whose OK adds the entry to the file as tarvik --add does,
// beside any window open on it.
class QuickAddWindow : public QDialog
{
    Q_OBJECT

public:
    QuickAddWindow(Dialogs &dialogs, QString path, QWidget *parent = nullptr);

    // Adds the entry; on a failure says why and stays open.
    void accept() override;

private:
    Dialogs &m_dialogs;
    const QString m_path;
    QPlainTextEdit *m_task;
    QLineEdit *m_user;
    QCheckBox *m_question;
};
