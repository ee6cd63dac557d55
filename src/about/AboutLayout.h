#pragma once

#include <QString>
#include <QVariant>

#include <array>
#include <optional>

struct TwipsRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

struct TwipsLine {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
};

// Where the controls of the about box go, in twips from the top left corner
// of its client area.
struct AboutLayout {
    double ClientWidth = 0;
    double ClientHeight = 0;
    TwipsRect Image1;
    TwipsRect Label1;
    TwipsRect Label2;
    TwipsRect Label3;
    TwipsRect Label7;
    std::array<TwipsLine, 2> Line1;
    std::array<TwipsRect, 2> Label4;
    TwipsRect Label5;
    TwipsRect Label6;
    TwipsRect btnOK;

    // The layout as designed, with the note one line of its font high; what
    // lies below the note keeps its designed distance from the note.
    static AboutLayout Design(double noteLineHeight);

    // Moves the controls below the note down by so many twips (up when it is
    // negative); the window's height is the caller's to change.
    void shiftBelowNote(double twips);

    // Makes room for text lines and a button this high, where the design's
    // rows are too low for them: the rows move apart and grow, and the
    // window with them. Lines that fit leave the layout as it is.
    void FitTextLines(double lineHeight, double buttonHeight);

    // Makes room for memory captions and figures whose texts are this wide:
    // the figures move right of the widest caption, and the window with its
    // lines, button and upper labels widens by what the figures then need.
    // Texts that fit the design leave it as it is.
    void FitMemoryRows(double captionTextWidth, double figureTextWidth);
};

// The note's text when the value holds text that is not empty.
std::optional<QString> PresentNote(const QVariant &note);

// How far the part below the note moves: up by the note's design height when
// there is no note, else by what the wrapped note needs beyond that height.
int NoteOffset(double designHeight, std::optional<double> noteHeight);
