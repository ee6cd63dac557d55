#include "about/AboutLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The design drew the note 195 twips high.
constexpr double kDrawnNoteHeight = 195;

// The least room between a memory caption's text and its figure.
constexpr double kFigureGap = 120;

// The design's rows of text are 255 twips high, one every 240 twips.
constexpr double kRowHeight = 255;

} // namespace

AboutLayout AboutLayout::Design(double noteLineHeight)
{
    AboutLayout layout;
    layout.ClientWidth = 4785;
    layout.ClientHeight = 2535;
    layout.Image1 = {120, 120, 615, 735};
    layout.Label1 = {840, 120, 3735, 255};
    layout.Label2 = {840, 360, 3735, 255};
    layout.Label3 = {840, 600, 3735, 255};
    layout.Label7 = {870, 840, 3705, noteLineHeight};
    layout.Line1 = {TwipsLine{840, 1200, 4550, 1200}, TwipsLine{840, 1215, 4550, 1215}};
    layout.Label4 = {TwipsRect{840, 1320, 2895, 255}, TwipsRect{840, 1560, 2895, 255}};
    layout.Label5 = {3750, 1320, 855, 255};
    layout.Label6 = {3750, 1560, 855, 255};
    layout.btnOK = {3240, 2040, 1335, 375};
    layout.shiftBelowNote(noteLineHeight - kDrawnNoteHeight);
    layout.ClientHeight += noteLineHeight - kDrawnNoteHeight;
    return layout;
}

void AboutLayout::shiftBelowNote(double twips)
{
    for (TwipsRect *rect : {&Label4[0], &Label4[1], &Label5, &Label6, &btnOK})
        rect->Top += twips;
    for (TwipsLine &line : Line1) {
        line.Y1 += twips;
        line.Y2 += twips;
    }
}

void AboutLayout::FitTextLines(double lineHeight, double buttonHeight)
{
    // The rows keep the design's overlap, which a line's leading fills.
    const double rowHeight = std::max(kRowHeight, lineHeight);
    const double apart = rowHeight - kRowHeight;
    Label2.Top += apart;
    Label3.Top += 2 * apart;
    Label7.Top += 3 * apart;
    shiftBelowNote(3 * apart);
    Label4[1].Top += apart;
    Label6.Top += apart;
    for (TwipsRect *row : {&Label1, &Label2, &Label3, &Label4[0], &Label4[1], &Label5, &Label6})
        row->Height = rowHeight;
    const double buttonGrowth = std::max(0.0, buttonHeight - btnOK.Height);
    btnOK.Top += apart + rowHeight - kRowHeight;
    btnOK.Height += buttonGrowth;
    ClientHeight += 4 * apart + rowHeight - kRowHeight + buttonGrowth;
}

void AboutLayout::FitMemoryRows(double captionTextWidth, double figureTextWidth)
{
    const double designRight = Label5.Left + Label5.Width;
    const double figureLeft = std::max(Label5.Left, Label4[0].Left + captionTextWidth + kFigureGap);
    const double figureWidth = std::max(Label5.Width, figureTextWidth);
    const double grow = std::max(0.0, figureLeft + figureWidth - designRight);

    for (TwipsRect &caption : Label4)
        caption.Width = std::max(caption.Width, captionTextWidth);
    for (TwipsRect *figure : {&Label5, &Label6}) {
        figure->Left = figureLeft;
        figure->Width = figureWidth;
    }
    ClientWidth += grow;
    for (TwipsRect *upper : {&Label1, &Label2, &Label3})
        upper->Width += grow;
    for (TwipsLine &line : Line1)
        line.X2 += grow;
    btnOK.Left += grow;
}

std::optional<QString> PresentNote(const QVariant &note)
{
    if (note.typeId() != QMetaType::QString)
        return std::nullopt;
    QString text = note.toString();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

int NoteOffset(double designHeight, std::optional<double> noteHeight)
{
    // In the default rounding mode std::nearbyint takes a tie to the even number.
    const int remembered = static_cast<int>(std::nearbyint(designHeight));
    if (!noteHeight)
        return -remembered;
    return static_cast<int>(std::nearbyint(*noteHeight - remembered));
}
