#include "about/frmAbout.h"

#include "about/AboutLayout.h"
#include "about/MemoryStatus.h"
#include "base/AppInfo.h"
#include "base/Twips.h"

#include <QDate>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>

#include <algorithm>

#include <sys/utsname.h>

namespace {

QLabel *newLabel(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFrame *newLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    return line;
}

// The running system's own name for itself, such as "Linux".
QString systemName()
{
    utsname names{};
    if (uname(&names) != 0)
        return {};
    return QString::fromLocal8Bit(names.sysname);
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
    , Image1(newLabel(this, QStringLiteral("Image1")))
    , Label1(newLabel(this, QStringLiteral("Label1")))
    , Label2(newLabel(this, QStringLiteral("Label2")))
    , Label3(newLabel(this, QStringLiteral("Label3")))
    , Label7(newLabel(this, QStringLiteral("Label7")))
    , Line1{newLine(this, QStringLiteral("Line1_0")), newLine(this, QStringLiteral("Line1_1"))}
    , Label4{newLabel(this, QStringLiteral("Label4_0"), tr("Physical Memory Available to %1:").arg(systemName())),
             newLabel(this, QStringLiteral("Label4_1"), tr("Page File Size:"))}
    , Label5(newLabel(this, QStringLiteral("Label5")))
    , Label6(newLabel(this, QStringLiteral("Label6")))
    , btnOK(new QPushButton(tr("&Ok"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    Label7->setWordWrap(true);
    // The second line is the white highlight under the first.
    QPalette highlight = Line1[1]->palette();
    highlight.setColor(QPalette::WindowText, Qt::white);
    Line1[1]->setPalette(highlight);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &frmAbout::btnOK_Click);
    arrange(designForFont());
}

AboutLayout frmAbout::designForFont() const
{
    AboutLayout layout = AboutLayout::Design(twips(Label7->fontMetrics().height()));
    // The button needs its caption's line and some room above and below it.
    constexpr int kButtonTextMargin = 4;
    layout.FitTextLines(twips(Label1->fontMetrics().height()),
                        twips(btnOK->fontMetrics().height() + 2 * kButtonTextMargin));
    return layout;
}

void frmAbout::AboutForm(const QVariant &icon, const QVariant &note)
{
    PrepareForm(icon, note);
    exec();
}

void frmAbout::PrepareForm(const QVariant &icon, const QVariant &note)
{
    AboutLayout layout = designForFont();

    const std::optional<QString> text = PresentNote(note);

    std::optional<double> noteHeight;
    if (text) {
        Label7->setText(*text);
        noteHeight = twips(Label7->heightForWidth(pixels(layout.Label7.Width)));
    } else {
        Label7->clear();
    }
    Label7->setHidden(!text);
    const int offset = NoteOffset(layout.Label7.Height, noteHeight);
    if (noteHeight)
        layout.Label7.Height = *noteHeight;

    layout.shiftBelowNote(offset);
    layout.ClientHeight += offset;

    setWindowTitle(tr("About %1").arg(AppInfo::ProductName()));

    showIcon(icon);

    Label1->setText(tr("%1    Version %2.%3.%4")
                        .arg(AppInfo::ProductName(), QString::number(AppInfo::Major()),
                             QString::number(AppInfo::Minor()), QString::number(AppInfo::Revision())));
    Label2->setText(tr("%1  \u00A9 %2").arg(QString::number(QDate::currentDate().year()), AppInfo::LegalCopyright()));
    Label3->setText(tr("%1\u00AE").arg(AppInfo::LegalTrademarks()));

    showMemoryFigures();

    // The design's widths suit narrower fonts than ours; a cut figure would
    // be a wrong one.
    layout.FitMemoryRows(textWidth({Label4[0], Label4[1]}), textWidth({Label5, Label6}));
    arrange(layout);
    describeForAssistiveTools();
    // Centred last, once the window's size is final.
    centreOnScreen();
}

// Screen readers read the box's description as it opens: every text it shows.
void frmAbout::describeForAssistiveTools()
{
    QStringList texts;
    for (const QLabel *label : {Label1, Label2, Label3, Label7, Label4[0], Label5, Label4[1], Label6}) {
        if (!label->isHidden() && !label->text().isEmpty())
            texts.append(label->text());
    }
    setAccessibleDescription(texts.join(u'\n'));
}

void frmAbout::btnOK_Click()
{
    accept();
}

int frmAbout::pixels(double twips) const
{
    return TwipsToPixels(twips, logicalDpiY());
}

double frmAbout::twips(int pixels) const
{
    return PixelsToTwips(pixels, logicalDpiY());
}

double frmAbout::textWidth(std::initializer_list<const QLabel *> labels) const
{
    int widest = 0;
    for (const QLabel *label : labels)
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()));
    return twips(widest);
}

void frmAbout::place(QWidget *control, const TwipsRect &rect) const
{
    control->setGeometry(pixels(rect.Left), pixels(rect.Top), pixels(rect.Width), pixels(rect.Height));
}

void frmAbout::place(QFrame *line, const TwipsLine &ends) const
{
    // A level line one pixel thick, its end point included.
    const int left = pixels(ends.X1);
    line->setGeometry(left, pixels(ends.Y1), pixels(ends.X2) - left + 1, 1);
}

void frmAbout::arrange(const AboutLayout &layout)
{
    setFixedSize(pixels(layout.ClientWidth), pixels(layout.ClientHeight));
    place(Image1, layout.Image1);
    place(Label1, layout.Label1);
    place(Label2, layout.Label2);
    place(Label3, layout.Label3);
    place(Label7, layout.Label7);
    for (int i = 0; i < 2; ++i) {
        place(Line1[i], layout.Line1[i]);
        place(Label4[i], layout.Label4[i]);
    }
    place(Label5, layout.Label5);
    place(Label6, layout.Label6);
    place(btnOK, layout.btnOK);
}

void frmAbout::centreOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void frmAbout::showIcon(const QVariant &icon)
{
    QIcon windowIcon;
    QPixmap picture;
    if (icon.typeId() == QMetaType::QIcon) {
        windowIcon = icon.value<QIcon>();
        const int extent = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
        picture = windowIcon.pixmap(QSize(extent, extent), devicePixelRatio());
    } else if (icon.typeId() == QMetaType::QPixmap) {
        picture = icon.value<QPixmap>();
        windowIcon = QIcon(picture);
    }
    // Anything else, or an empty picture, leaves the design icon in place.
    if (picture.isNull())
        return;
    setWindowIcon(windowIcon);
    Image1->setPixmap(picture);
}

void frmAbout::showMemoryFigures()
{
    const MemoryStatus memory = QueryMemoryStatus();
    if (memory.TotalPhys)
        Label5->setText(tr("%1 KB").arg(KilobyteForm(*memory.TotalPhys)));
    if (memory.PageFileInUse)
        Label6->setText(tr("%1 KB").arg(KilobyteForm(*memory.PageFileInUse)));
}
