#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;
class TabControl;

// The window's design gives its captions room for a small font; at the
// desktop's usual sizes "Entry Editing", "User", the buttons, the frames'
// titles and the tab strip need more. These controls grow as much as their captions need, the window
// starting that much wider, and everything else keeps the design's geometry.
// Where a caption fits, nothing moves.
struct CaptionFit {
    TabControl *tabs;
    // The lists on the tab control's pages, placed below its tab strip.
    QList<QWidget *> pages;
    // The left frame of the pane, which gives up width to the right frame,
    // and the text boxes inside it that end at its right edge.
    QGroupBox *leftFrame;
    QList<QWidget *> leftFrameFill;
    QLabel *label;
    QWidget *labelledBox; // starts where the label's caption ends
    QGroupBox *buttonFrame;
    QList<QPushButton *> buttons;
    // The frame along the bottom, as wide as the window, whose title and
    // contents may need more height.
    QGroupBox *bottomFrame;

    // Places the controls for the current font and returns how much the
    // window's inner area has to grow.
    QSize apply() const;
};

// The width a button needs to show its caption whole, without the style's
// smallest width for buttons.
int CaptionWidth(const QPushButton &button);

// Where a frame's title text is drawn, within the frame.
QRect TitleTextRect(const QGroupBox &frame);
