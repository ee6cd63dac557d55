#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QKeySequence;
class QMenuBar;
class QTabBar;
class QWidget;

// Sends a mnemonic that several captions share (Alt+U of "&Unresolved" and
// "&Update") to the control in the part of the window that holds the focus,
// so that a key meant for the part being worked in never acts on another part.
// With the focus in none of the parts that share the key, the first part's
// control gets it. A mnemonic of one control alone works as Qt makes it work.
class SharedMnemonics : public QObject
{
    Q_OBJECT

public:
    using Part = QList<QWidget *>;

    // Watches the mnemonics of every button, tab and menu-bar item in the
    // window. parts: the window's parts in order of precedence, each given by
    // the widgets that make it up.
    SharedMnemonics(QWidget &window, QList<Part> parts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One control that a mnemonic reaches: a button, a tab of a tab bar or an
    // item of the menu bar.
    struct Target {
        QWidget *widget;
        int index; // the tab or menu-bar item; -1 for a button
        int part; // index into the parts; the parts' count for none
    };

    QList<Target> targetsOf(const QKeySequence &key) const;
    int partOf(const QWidget *widget) const;
    static void activate(const Target &target);

    QPointer<QWidget> m_window;
    QList<Part> m_parts;
};
