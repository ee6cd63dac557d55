#include "main_window/CaptionFit.h"

#include "main_window/TabControl.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>

#include <algorithm>

namespace {

void widen(QWidget *control, int by)
{
    control->resize(control->width() + by, control->height());
}

// Moves the left edge of the control by the given amount, its right edge
// staying where it is.
void moveLeftEdge(QWidget *control, int by)
{
    QRect geometry = control->geometry();
    geometry.setLeft(geometry.left() + by);
    control->setGeometry(geometry);
}

// How far the frame's contents have to move down to clear its title.
int titleOverlap(const QGroupBox &frame)
{
    int contentsTop = frame.height();
    for (const QWidget *child : frame.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        contentsTop = std::min(contentsTop, child->y());
    return std::max(0, TitleTextRect(frame).bottom() + 1 - contentsTop);
}

// How far the frame's contents reach into its lower border or beyond.
int contentsOverflow(const QGroupBox &frame)
{
    const int border = frame.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &frame);
    int contentsBottom = 0;
    for (const QWidget *child : frame.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        contentsBottom = std::max(contentsBottom, child->geometry().bottom() + 1);
    return std::max(0, contentsBottom + border - frame.height());
}

// Moves the frame's contents down and makes it that much higher.
void lowerContents(QGroupBox *frame, int by)
{
    for (QWidget *child : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->move(child->x(), child->y() + by);
    frame->resize(frame->width(), frame->height() + by);
}

} // namespace

QRect TitleTextRect(const QGroupBox &frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.text = frame.title();
    option.textAlignment = frame.alignment();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = frame.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &frame);
    // The style centres the text in the rectangle that it gives the label,
    // which it makes from the text's ink, as here.
    return QStyle::alignedRect(frame.layoutDirection(), Qt::AlignCenter,
                               frame.fontMetrics().boundingRect(frame.title()).size(), label);
}

int CaptionWidth(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = QStyleOptionButton::None;
    // Without the text the style adds its margins to the text's size but
    // leaves out the smallest width it gives buttons with a caption.
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    return button.style()->sizeFromContents(QStyle::CT_PushButton, &option, text, &button).width();
}

QSize CaptionFit::apply() const
{
    // The label reaches under the box beside it; its caption must end before
    // it, and where the box has to move aside, a space before it.
    const int labelNeeds = label->sizeHint().width();
    label->resize(std::max(label->width(), labelNeeds), label->height());
    const int labelOverlap = label->x() + labelNeeds - labelledBox->x();
    if (labelOverlap > 0)
        moveLeftEdge(labelledBox, labelOverlap + label->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    // The box grows to hold a line of its text inside its frame, and the
    // label, level with it, to its own line.
    const int boxFrame = labelledBox->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, labelledBox);
    const int boxGrowth = std::max(0, labelledBox->fontMetrics().height() + 2 * boxFrame - labelledBox->height());
    if (boxGrowth > 0 || label->fontMetrics().height() > label->height()) {
        labelledBox->resize(labelledBox->width(), labelledBox->height() + boxGrowth);
        label->setGeometry(label->x(), labelledBox->y(), label->width(),
                           std::max(labelledBox->height(), label->fontMetrics().height()));
    }

    // The buttons keep their left margin in their frame, and as much again on the right.
    int buttonsNeed = 0;
    for (QPushButton *button : buttons) {
        widen(button, std::max(0, CaptionWidth(*button) - button->width()));
        buttonsNeed = std::max(buttonsNeed, 2 * button->x() + button->width());
    }
    const int buttonFrameNeeds = std::max(TitleTextRect(*buttonFrame).right() + 1, buttonsNeed);
    const int buttonFrameGrowth = std::max(0, buttonFrameNeeds - buttonFrame->width());
    const int tabsGrowth = std::max(0, tabs->tabBar()->sizeHint().width() - tabs->width());
    const int windowGrowth = std::max(buttonFrameGrowth, tabsGrowth);

    // The window grows as it would by a resize, the right frame to its
    // caption's needs, taking what it needs beyond that from the left frame.
    for (QWidget *page : pages)
        widen(page, windowGrowth);
    widen(tabs, windowGrowth);
    widen(bottomFrame, windowGrowth);
    const int leftFrameGrowth = windowGrowth - buttonFrameGrowth;
    widen(leftFrame, leftFrameGrowth);
    for (QWidget *control : leftFrameFill)
        widen(control, leftFrameGrowth);
    buttonFrame->setGeometry(buttonFrame->x() + leftFrameGrowth, buttonFrame->y(),
                             buttonFrame->width() + buttonFrameGrowth, buttonFrame->height());

    // The lists start where the page frame below the tab strip starts, the
    // strip being as high as the font makes its captions; all below moves
    // down with them.
    int pagesTop = tabs->height();
    for (const QWidget *page : pages)
        pagesTop = std::min(pagesTop, page->y());
    const int frameTop =
        tabs->tabBar()->sizeHint().height() - tabs->style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, tabs);
    const int stripDrop = std::max(0, frameTop - pagesTop);
    for (QWidget *page : pages)
        page->move(page->x(), page->y() + stripDrop);
    tabs->resize(tabs->width(), tabs->height() + stripDrop);

    // The two frames side by side start their contents at one height.
    const int paneDrop = std::max(titleOverlap(*leftFrame), titleOverlap(*buttonFrame));
    for (QGroupBox *frame : {leftFrame, buttonFrame}) {
        frame->move(frame->x(), frame->y() + stripDrop);
        lowerContents(frame, paneDrop);
    }
    // A grown box may reach into the left frame's lower border; both frames
    // grow alike.
    const int paneGrowth = contentsOverflow(*leftFrame);
    for (QGroupBox *frame : {leftFrame, buttonFrame})
        frame->resize(frame->width(), frame->height() + paneGrowth);
    bottomFrame->move(bottomFrame->x(), bottomFrame->y() + stripDrop + paneDrop + paneGrowth);
    const int bottomDrop = titleOverlap(*bottomFrame);
    lowerContents(bottomFrame, bottomDrop);
    // Its radio buttons may have grown to their captions' height.
    const int bottomGrowth = bottomDrop + contentsOverflow(*bottomFrame);
    bottomFrame->resize(bottomFrame->width(), bottomFrame->height() + bottomGrowth - bottomDrop);
    return QSize(windowGrowth, stripDrop + paneDrop + paneGrowth + bottomGrowth);
}
