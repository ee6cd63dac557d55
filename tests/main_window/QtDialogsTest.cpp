#include "main_window/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs an action on the modal dialog once it is shown.
template<typename Dialog>
void whenShown(std::function<void(Dialog *)> action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(dialog);
    });
}

void pressEscape(QWidget *dialog)
{
    QTest::keyClick(dialog, Qt::Key_Escape);
}

} // namespace

TEST(QtDialogs, MessageBoxesCarryTheProgramsTitleButtonsAndIcon)
{
    QtDialogs dialogs;
    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Tarvik"));
        EXPECT_EQ(box->text(), QStringLiteral("first line\nsecond <b>line</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        // What screen readers announce as the box opens.
        EXPECT_EQ(box->accessibleDescription(), box->text());
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.message(QStringLiteral("first line\nsecond <b>line</b>"), Dialogs::Buttons::YesNoCancel,
                              Dialogs::Icon::Question),
              Dialogs::Answer::No);

    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.message(QStringLiteral("x"), Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation),
              Dialogs::Answer::Ok);

    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.message(QStringLiteral("x"), Dialogs::Buttons::YesNo, Dialogs::Icon::None), Dialogs::Answer::Yes);
}

TEST(QtDialogs, EscapeGivesTheMostCautiousAnswer)
{
    QtDialogs dialogs;
    const std::pair<Dialogs::Buttons, Dialogs::Answer> cases[] = {
        {Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Cancel},
        {Dialogs::Buttons::OkCancel, Dialogs::Answer::Cancel},
        {Dialogs::Buttons::YesNo, Dialogs::Answer::No},
        {Dialogs::Buttons::Ok, Dialogs::Answer::Ok},
    };
    for (const auto &[buttons, expected] : cases) {
        whenShown<QMessageBox>(pressEscape);
        EXPECT_EQ(dialogs.message(QStringLiteral("x"), buttons, Dialogs::Icon::Exclamation), expected);
        // A question whose Yes destroys something gives the same answer to Enter.
        whenShown<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(dialogs.message(QStringLiteral("x"), buttons, Dialogs::Icon::Question, Dialogs::Default::Cautious),
                  expected);
    }
}

TEST(QtDialogs, FileDialogsKeepQtsSafeguards)
{
    QtDialogs dialogs;
    whenShown<QFileDialog>([](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"ToDo-list (*.tvk)", "All files (*)"}));
        EXPECT_NE(dialog->windowTitle(), QStringLiteral("Tarvik"));
        dialog->reject();
    });
    EXPECT_TRUE(dialogs.chooseFile(Dialogs::FileMode::Open, TaskFileFilter()).isEmpty());

    whenShown<QFileDialog>([](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
        dialog->reject();
    });
    EXPECT_TRUE(dialogs.chooseFile(Dialogs::FileMode::Save, TaskFileFilter()).isEmpty());
}
