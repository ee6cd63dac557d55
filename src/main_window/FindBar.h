#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

// The strip the user types a text to find into. Enter and Shift+Enter ask for
// the next and the previous match, Escape and the close button close it; what
// finding means is its owner's.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    // Shows the bar with the text ready to be typed over.
    void open();
    void clear();
    // Says, and tells assistive tools, that no entry holds the text.
    void showNoMatch(bool none);
    QWidget *textField() const;
    QWidget *closeButton() const;

Q_SIGNALS:
    void textChanged(const QString &text);
    void nextMatch(bool forward);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_text;
    QLabel *m_noMatch;
    QToolButton *m_close;
};
