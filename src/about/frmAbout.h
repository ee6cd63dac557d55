#pragma once

#include <QDialog>
#include <QVariant>

#include <array>
#include <initializer_list>

class QFrame;
class QLabel;
class QPushButton;
struct AboutLayout;
struct TwipsLine;
struct TwipsRect;

// The about box: the product's name, version and legal texts, a note of the
// caller's, and two memory figures of the machine. The part below the note
// moves so that the window fits the note exactly.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Fills and arranges the box, shows it modally and returns once it has
    // been closed. An invalid icon or note counts as absent; the icon may be a
    // QIcon or a QPixmap, and the note is shown only when it is a non-empty
    // QString.
    void AboutForm(const QVariant &icon = QVariant(), const QVariant &note = QVariant());

    // Everything AboutForm does before showing the box. The layout always
    // starts from the design, so preparing the box again moves nothing twice.
    void PrepareForm(const QVariant &icon, const QVariant &note);

public Q_SLOTS:
    void btnOK_Click();

private:
    int pixels(double twips) const;
    double twips(int pixels) const;
    double textWidth(std::initializer_list<const QLabel *> labels) const;
    void place(QWidget *control, const TwipsRect &rect) const;
    void place(QFrame *line, const TwipsLine &ends) const;
    void arrange(const AboutLayout &layout);
    // The design with room for the lines of the box's font.
    AboutLayout designForFont() const;
    void centreOnScreen();
    void showIcon(const QVariant &icon);
    void showMemoryFigures();
    void describeForAssistiveTools();

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label7;
    std::array<QFrame *, 2> Line1;
    std::array<QLabel *, 2> Label4;
    QLabel *Label5;
    QLabel *Label6;
    QPushButton *btnOK;
};
