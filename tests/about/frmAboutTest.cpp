#include "about/frmAbout.h"

#include "about/MemoryStatus.h"
#include "base/Twips.h"

#include <QApplication>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace {

const QString kOwnNote = QStringLiteral("A simple ToDo tool");

// A note half again as wide as the note's label, which wraps it to two lines.
QString twoLineNote()
{
    frmAbout about;
    const QWidget *label = about.findChild<QWidget *>(QStringLiteral("Label7"));
    QString note = kOwnNote;
    while (label->fontMetrics().horizontalAdvance(note) < label->width() * 3 / 2)
        note += QStringLiteral(" tool");
    return note;
}

// The controls that move with the note, by name.
const char *const kBelowNote[] = {"Line1_0", "Line1_1", "Label4_0", "Label5", "Label4_1", "Label6", "btnOK"};

class AboutBox : public ::testing::Test
{
protected:
    AboutBox() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~AboutBox() override { QLocale::setDefault(previousLocale); }

    static QWidget *control(const frmAbout &about, const char *name)
    {
        auto *widget = about.findChild<QWidget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString text(const frmAbout &about, const char *name)
    {
        auto *label = qobject_cast<QLabel *>(control(about, name));
        return label ? label->text() : QString();
    }
    static int top(const frmAbout &about, const char *name) { return control(about, name)->y(); }
    static int px(const frmAbout &about, double twips) { return TwipsToPixels(twips, about.logicalDpiY()); }

    // Every control's geometry, the window's size and what shows.
    static std::map<QString, QRect> geometry(const frmAbout &about)
    {
        std::map<QString, QRect> all;
        for (const QWidget *child : about.findChildren<QWidget *>())
            all[child->objectName()] = child->isHidden() ? QRect() : child->geometry();
        all[QStringLiteral("window")] = QRect(QPoint(), about.size());
        return all;
    }

    // The distance the controls below the note moved from one layout to the
    // other, the same for all of them.
    static int shift(const frmAbout &from, const frmAbout &to)
    {
        const int moved = top(to, "btnOK") - top(from, "btnOK");
        for (const char *name : kBelowNote)
            EXPECT_EQ(top(to, name) - top(from, name), moved) << name;
        return moved;
    }

private:
    QLocale previousLocale;
};

} // namespace

TEST_F(AboutBox, WithoutANoteTheLowerPartMovesUpByTheNotesDesignHeight)
{
    const QVariant noNotes[] = {QVariant(), QVariant(QString()), QVariant(42), QVariant(QByteArray("text"))};
    for (const QVariant &note : noNotes) {
        frmAbout about;
        about.PrepareForm(QVariant(), note);
        SCOPED_TRACE(note.typeName() ? note.typeName() : "invalid");
        EXPECT_TRUE(control(about, "Label7")->isHidden());
        EXPECT_EQ(top(about, "Line1_0"), px(about, 1005));
        EXPECT_EQ(top(about, "Line1_1"), px(about, 1020));
        EXPECT_EQ(top(about, "Label4_0"), px(about, 1125));
        EXPECT_EQ(top(about, "Label5"), px(about, 1125));
        EXPECT_EQ(top(about, "Label4_1"), px(about, 1365));
        EXPECT_EQ(top(about, "Label6"), px(about, 1365));
        EXPECT_EQ(top(about, "btnOK"), px(about, 1845));
        EXPECT_EQ(about.height(), px(about, 2340));
        EXPECT_EQ(top(about, "Label3"), px(about, 600));
    }
}

TEST_F(AboutBox, TheProgramsOwnNoteTakesTheNotesDesignLine)
{
    frmAbout none;
    none.PrepareForm(QVariant(), QVariant());
    frmAbout design;
    frmAbout own;
    own.PrepareForm(QVariant(), kOwnNote);

    EXPECT_EQ(text(own, "Label7"), kOwnNote);
    EXPECT_FALSE(control(own, "Label7")->isHidden());
    // Offset 0: every control stays where the design put it.
    EXPECT_EQ(shift(design, own), 0);
    EXPECT_EQ(own.height(), design.height());

    // The design line is one line of the note's font, and the lower part sits
    // that much below where it sits without a note.
    const int line = control(own, "Label7")->fontMetrics().height();
    EXPECT_EQ(control(own, "Label7")->height(), line);
    EXPECT_EQ(shift(none, own), line);
    EXPECT_EQ(own.height() - none.height(), line);
    EXPECT_EQ(top(own, "Line1_0"), px(own, 1005) + line);
}

TEST_F(AboutBox, ANoteOfTwoLinesGrowsTheWindowByALine)
{
    frmAbout own;
    own.PrepareForm(QVariant(), kOwnNote);
    frmAbout wrapped;
    wrapped.PrepareForm(QVariant(), twoLineNote());

    auto *label = control(wrapped, "Label7");
    const int lineSpacing = label->fontMetrics().lineSpacing();
    EXPECT_EQ(label->width(), px(wrapped, 3705));
    EXPECT_EQ(label->height(), control(own, "Label7")->height() + lineSpacing);
    EXPECT_EQ(shift(own, wrapped), lineSpacing);
    EXPECT_EQ(wrapped.height() - own.height(), lineSpacing);
    EXPECT_EQ(wrapped.width(), own.width());
    EXPECT_EQ(top(wrapped, "Label3"), top(own, "Label3"));
}

TEST_F(AboutBox, OpeningAgainGivesTheSameLayout)
{
    for (const QVariant &note : {QVariant(), QVariant(kOwnNote), QVariant(twoLineNote())}) {
        frmAbout first;
        first.PrepareForm(QVariant(), note);
        frmAbout second;
        second.PrepareForm(QVariant(), note);
        EXPECT_EQ(geometry(first), geometry(second));

        // Even the same box prepared twice, after another note, starts over.
        second.PrepareForm(QVariant(), twoLineNote());
        second.PrepareForm(QVariant(), note);
        EXPECT_EQ(geometry(first), geometry(second));
    }
}

TEST_F(AboutBox, ShowsTheProductTheLegalTextsAndTheMemoryFigures)
{
    frmAbout about;
    about.PrepareForm(QVariant(), kOwnNote);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tarvik"));
    EXPECT_EQ(text(about, "Label1"), QStringLiteral("Tarvik    Version 1.0.0"));
    EXPECT_EQ(text(about, "Label2"),
              QString::number(QDate::currentDate().year()) + QStringLiteral("  \u00A9 Tarvik contributors"));
    EXPECT_EQ(text(about, "Label3"), QStringLiteral("Tarvik\u00AE"));
    EXPECT_EQ(text(about, "Label4_0"), QStringLiteral("Physical Memory Available to Linux:"));
    EXPECT_EQ(text(about, "Label4_1"), QStringLiteral("Page File Size:"));
    EXPECT_EQ(qobject_cast<QPushButton *>(control(about, "btnOK"))->text(), QStringLiteral("&Ok"));

    // The total stays put; the commit charge changes from moment to moment.
    EXPECT_EQ(text(about, "Label5"), KilobyteForm(*QueryMemoryStatus().TotalPhys) + QStringLiteral(" KB"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[1-9][0-9]{0,2}(,[0-9]{3})* KB$")).match(text(about, "Label6")).hasMatch())
        << text(about, "Label6").toStdString();
}

TEST_F(AboutBox, EveryTextShowsWholeInsideTheWindow)
{
    frmAbout about;
    about.PrepareForm(QVariant(), kOwnNote);
    EXPECT_GE(about.width(), px(about, 4785));
    for (const QLabel *label : about.findChildren<QLabel *>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        EXPECT_LE(label->geometry().right(), about.width());
    }
    const std::pair<const char *, const char *> rows[] = {{"Label4_0", "Label5"}, {"Label4_1", "Label6"}};
    for (const auto &[captionName, figureName] : rows) {
        const auto *caption = qobject_cast<QLabel *>(control(about, captionName));
        const QWidget *figure = control(about, figureName);
        EXPECT_LT(caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()), figure->x());
        EXPECT_EQ(figure->y(), caption->y());
    }
    EXPECT_LE(control(about, "btnOK")->geometry().right(), about.width());
    EXPECT_LE(control(about, "Line1_0")->geometry().right(), about.width());
}

TEST_F(AboutBox, APictureBecomesTheWindowIconAndIsShown)
{
    QPixmap red(32, 32);
    red.fill(Qt::red);
    for (const QVariant &icon : {QVariant::fromValue(QIcon(red)), QVariant::fromValue(red)}) {
        frmAbout about;
        about.PrepareForm(icon, kOwnNote);
        auto *image = qobject_cast<QLabel *>(control(about, "Image1"));
        ASSERT_NE(image, nullptr);
        EXPECT_FALSE(image->pixmap().isNull()) << icon.typeName();
        EXPECT_EQ(image->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
        EXPECT_FALSE(about.windowIcon().isNull());
        EXPECT_EQ(about.windowIcon().pixmap(16).toImage().pixelColor(5, 5), QColor(Qt::red));
    }
}

TEST_F(AboutBox, WithoutAPictureTheDesignIconStaysAndTheTextsAreFilled)
{
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    const QIcon appIcon = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon(blue));

    const QVariant notPictures[] = {QVariant(), QVariant(7), QVariant(QStringLiteral("icon.png")),
                                    QVariant::fromValue(QIcon()), QVariant::fromValue(QPixmap())};
    for (const QVariant &icon : notPictures) {
        frmAbout about;
        about.PrepareForm(icon, kOwnNote);
        SCOPED_TRACE(icon.typeName() ? icon.typeName() : "invalid");
        EXPECT_TRUE(qobject_cast<QLabel *>(control(about, "Image1"))->pixmap().isNull());
        EXPECT_EQ(about.windowIcon().pixmap(16).toImage().pixelColor(5, 5), QColor(Qt::blue));
        EXPECT_EQ(text(about, "Label1"), QStringLiteral("Tarvik    Version 1.0.0"));
        EXPECT_TRUE(text(about, "Label5").endsWith(QStringLiteral(" KB")));
    }
    QApplication::setWindowIcon(appIcon);
}

TEST_F(AboutBox, IsCentredOnTheScreen)
{
    for (const QVariant &note : {QVariant(), QVariant(twoLineNote())}) {
        frmAbout about;
        about.PrepareForm(QVariant(), note);
        const QRect screen = about.screen()->geometry();
        EXPECT_EQ(about.x(), screen.x() + (screen.width() - about.width()) / 2);
        EXPECT_EQ(about.y(), screen.y() + (screen.height() - about.height()) / 2);
    }
}

TEST_F(AboutBox, AboutFormShowsTheBoxModallyUntilOkCloses)
{
    QWidget mainWindow;
    mainWindow.show();
    frmAbout about(&mainWindow);
    std::map<QString, QRect> shown;
    bool wasModal = false;
    QTimer::singleShot(0, &about, [&] {
        wasModal = QApplication::activeModalWidget() == &about && about.isVisible();
        shown = geometry(about);
        QTest::mouseClick(qobject_cast<QPushButton *>(control(about, "btnOK")), Qt::LeftButton);
    });
    about.AboutForm(QVariant::fromValue(mainWindow.windowIcon()), kOwnNote);

    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    frmAbout prepared;
    prepared.PrepareForm(QVariant(), kOwnNote);
    EXPECT_EQ(shown, geometry(prepared));
}

TEST_F(AboutBox, EscapeClosesTheBox)
{
    frmAbout about;
    QTimer::singleShot(0, &about, [&] { QTest::keyClick(&about, Qt::Key_Escape); });
    about.AboutForm();
    EXPECT_FALSE(about.isVisible());
}
