#include "about/AboutLayout.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace {

void expectRect(const TwipsRect &rect, double left, double top, double width, double height)
{
    EXPECT_DOUBLE_EQ(rect.Left, left);
    EXPECT_DOUBLE_EQ(rect.Top, top);
    EXPECT_DOUBLE_EQ(rect.Width, width);
    EXPECT_DOUBLE_EQ(rect.Height, height);
}

std::vector<double> belowNoteTops(const AboutLayout &layout)
{
    return {layout.Line1[0].Y1, layout.Line1[0].Y2,   layout.Line1[1].Y1, layout.Line1[1].Y2, layout.Label4[0].Top,
            layout.Label5.Top,  layout.Label4[1].Top, layout.Label6.Top,  layout.btnOK.Top};
}

} // namespace

TEST(AboutLayout, ATallerNoteLineKeepsTheDistancesBelowIt)
{
    const AboutLayout layout = AboutLayout::Design(225);
    EXPECT_DOUBLE_EQ(layout.Label7.Height, 225);
    EXPECT_DOUBLE_EQ(layout.Label7.Top, 840);
    EXPECT_DOUBLE_EQ(layout.ClientHeight, 2565);
    EXPECT_EQ(belowNoteTops(layout), (std::vector<double>{1230, 1230, 1245, 1245, 1350, 1350, 1590, 1590, 2070}));
}

TEST(AboutLayout, MovingBelowTheNoteLeavesTheUpperPartAndTheWindow)
{
    AboutLayout layout = AboutLayout::Design(195);
    layout.shiftBelowNote(-195);
    EXPECT_EQ(belowNoteTops(layout), (std::vector<double>{1005, 1005, 1020, 1020, 1125, 1125, 1365, 1365, 1845}));
    EXPECT_DOUBLE_EQ(layout.Label3.Top, 600);
    EXPECT_DOUBLE_EQ(layout.Label7.Top, 840);
    EXPECT_DOUBLE_EQ(layout.Label5.Left, 3750);
    EXPECT_DOUBLE_EQ(layout.ClientHeight, 2535);
}

TEST(AboutLayout, MemoryRowsThatFitTheDesignKeepIt)
{
    AboutLayout layout = AboutLayout::Design(195);
    layout.FitMemoryRows(2775, 855);
    expectRect(layout.Label4[0], 840, 1320, 2895, 255);
    expectRect(layout.Label5, 3750, 1320, 855, 255);
    expectRect(layout.Label6, 3750, 1560, 855, 255);
    EXPECT_DOUBLE_EQ(layout.ClientWidth, 4785);
    EXPECT_DOUBLE_EQ(layout.btnOK.Left, 3240);
    EXPECT_DOUBLE_EQ(layout.Line1[1].X2, 4550);
}

TEST(AboutLayout, WideMemoryRowsWidenTheWindow)
{
    // A wide figure grows to the right.
    AboutLayout figures = AboutLayout::Design(195);
    figures.FitMemoryRows(2000, 1355);
    expectRect(figures.Label5, 3750, 1320, 1355, 255);
    expectRect(figures.Label6, 3750, 1560, 1355, 255);
    EXPECT_DOUBLE_EQ(figures.ClientWidth, 5285);
    EXPECT_DOUBLE_EQ(figures.btnOK.Left, 3740);
    EXPECT_DOUBLE_EQ(figures.Label1.Width, 4235);
    EXPECT_DOUBLE_EQ(figures.Line1[0].X1, 840);
    EXPECT_DOUBLE_EQ(figures.Line1[0].X2, 5050);
    EXPECT_DOUBLE_EQ(figures.Label7.Width, 3705);

    // A wide caption pushes the figures right, and the window with them.
    AboutLayout captions = AboutLayout::Design(195);
    captions.FitMemoryRows(3180, 855);
    EXPECT_DOUBLE_EQ(captions.Label4[0].Width, 3180);
    EXPECT_DOUBLE_EQ(captions.Label4[1].Width, 3180);
    expectRect(captions.Label5, 4140, 1320, 855, 255);
    EXPECT_DOUBLE_EQ(captions.Label6.Left, 4140);
    EXPECT_DOUBLE_EQ(captions.ClientWidth, 5175);
    EXPECT_DOUBLE_EQ(captions.btnOK.Left, 3630);

    // Heights and the moves of the note stay untouched.
    EXPECT_DOUBLE_EQ(captions.ClientHeight, 2535);
    EXPECT_DOUBLE_EQ(captions.Label6.Top, 1560);
}

TEST(AboutLayout, OnlyNonEmptyTextIsANote)
{
    EXPECT_FALSE(PresentNote(QVariant()));
    EXPECT_FALSE(PresentNote(QVariant(QString())));
    EXPECT_FALSE(PresentNote(QVariant(QStringLiteral(""))));
    EXPECT_FALSE(PresentNote(QVariant(42)));
    EXPECT_FALSE(PresentNote(QVariant(QByteArray("bytes"))));
    EXPECT_EQ(PresentNote(QVariant(QStringLiteral(" "))), QStringLiteral(" "));
    EXPECT_EQ(PresentNote(QVariant(QStringLiteral("A simple ToDo tool"))), QStringLiteral("A simple ToDo tool"));
}

TEST(AboutLayout, OffsetFollowsTheNotesHeight)
{
    // No note: the part below moves up by the note's design height.
    EXPECT_EQ(NoteOffset(195, std::nullopt), -195);
    EXPECT_EQ(NoteOffset(194.5, std::nullopt), -194);
    EXPECT_EQ(NoteOffset(195.5, std::nullopt), -196);

    // A note of one line moves nothing, one of two lines by a line.
    EXPECT_EQ(NoteOffset(195, 195.0), 0);
    EXPECT_EQ(NoteOffset(195, 390.0), 195);
    EXPECT_EQ(NoteOffset(207.27, 207.27), 0);

    // The design height is rounded before the difference is, each tie to even.
    EXPECT_EQ(NoteOffset(194.5, 388.5), 194);
    EXPECT_EQ(NoteOffset(195.5, 392.5), 196);
    EXPECT_EQ(NoteOffset(195.4, 390.8), 196);
}
