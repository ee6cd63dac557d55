#include "main_window/CaptionFit.h"

#include "about/frmAbout.h"
#include "main_window/MainWindowFixture.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

// At the desktops' usual fonts and sizes, up to large print, no caption is
// cut: each frame's title lies inside its frame and above its contents, the
// User caption ends a space before the box beside it, the user box is as high
// as its text, each button's caption fits the button, and all five tabs show
// without scroll arrows and above the lists' headers. Every control stays
// inside the window. In the about box every line shows whole, clear of the next.
TEST_F(MainWindowTest, EveryCaptionFitsAtUsualFontSizes)
{
    for (const char *family : {"DejaVu Sans", "Noto Sans"}) {
        for (const int points : {9, 10, 11, 12, 14, 16}) {
            SCOPED_TRACE(testing::Message() << family << ' ' << points << " pt");
            const ApplicationFont font(QString::fromLatin1(family), points);
            open();
            const QRect inner = window->centralWidget()->rect();

            for (const char *name : {"fraDetails", "fraEdit", "fraType"}) {
                auto *frame = control<QGroupBox>(name);
                EXPECT_TRUE(inner.contains(frame->geometry())) << name;
                const QRect title = TitleTextRect(*frame);
                EXPECT_GE(title.width(), frame->fontMetrics().boundingRect(frame->title()).width()) << name;
                EXPECT_TRUE(frame->rect().contains(title)) << name;
                for (QWidget *child : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                    EXPECT_GT(child->y(), title.bottom()) << name << " above " << child->objectName().toStdString();
                    // Above the frame's lower border, inside its sides.
                    EXPECT_TRUE(frame->rect().adjusted(1, 0, -1, -1).contains(child->geometry()))
                        << child->objectName().toStdString();
                }
            }

            auto *lblUser = control<QLabel>("lblUser");
            const int userWidth = lblUser->fontMetrics().horizontalAdvance(lblUser->text());
            EXPECT_LE(lblUser->x() + userWidth, txtUser()->x());
            // Moved aside, the box keeps a space from the caption.
            if (txtUser()->x() > pxX(540)) {
                EXPECT_GE(txtUser()->x() - lblUser->x() - userWidth, lblUser->fontMetrics().horizontalAdvance(u' '));
            }
            EXPECT_GE(lblUser->width(), lblUser->sizeHint().width());
            EXPECT_GE(lblUser->height(), lblUser->fontMetrics().height());
            const int boxFrame = txtUser()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, txtUser());
            EXPECT_GE(txtUser()->height(), txtUser()->fontMetrics().height() + 2 * boxFrame);

            for (const char *name : {"btnNew", "btnUpdate", "btnDelete"}) {
                auto *button = control<QPushButton>(name);
                EXPECT_GE(button->width(), CaptionWidth(*button)) << name;
                EXPECT_GT(button->width(), button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width());
            }

            QTabBar *tabs = tabMain()->tabBar();
            EXPECT_LE(tabs->tabRect(tabs->count() - 1).right(), tabs->width() - 1);
            for (QToolButton *arrow : tabs->findChildren<QToolButton *>())
                EXPECT_FALSE(arrow->isVisible());
            // The strip, drawn over the lists, leaves their headers' captions free.
            for (int tab = 0; tab < 5; ++tab) {
                const QHeaderView *header = view(tab)->header();
                const int captionTop =
                    view(tab)->y() + header->y() + (header->height() - header->fontMetrics().height()) / 2;
                EXPECT_GT(captionTop, tabs->geometry().bottom()) << ListNames[tab];
            }

            frmAbout about;
            about.PrepareForm(QVariant(), QStringLiteral("A simple ToDo tool"));
            QList<QWidget *> rows;
            for (const char *name : {"Label1", "Label2", "Label3", "Label7", "Label4_0", "Label4_1", "btnOK"})
                rows.append(about.findChild<QWidget *>(QLatin1String(name)));
            for (qsizetype row = 0; row < rows.size(); ++row) {
                const QWidget *line = rows[row];
                SCOPED_TRACE(line->objectName().toStdString());
                EXPECT_TRUE(about.rect().contains(line->geometry()));
                EXPECT_GE(line->height(), line->fontMetrics().height());
                if (const auto *label = qobject_cast<const QLabel *>(line); label && !label->wordWrap()) {
                    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
                }
                // The design's rows overlap by 15 twips, which the lines' leading fills.
                if (row > 0) {
                    EXPECT_GE(line->y() + pxY(15), rows[row - 1]->y() + rows[row - 1]->fontMetrics().height());
                }
            }
        }
    }
}
