#include "association/FileAssociations.h"
#include "association/modFileAssociations.h"
#include "support/ScriptedDialogs.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString kExecutable = QStringLiteral("/opt/Tarvik/Tarvik");
const QString kQuestion =
    QStringLiteral("ToDo-files(*.tvk) are not associated with Tarvik!\nDo You want to associate them now?");

// Remembers what it was asked; an association that succeeds is found afterwards.
class FakeAssociations : public FileAssociations
{
public:
    QString associated;
    Result result = Result::success();
    QStringList lookups;
    QStringList registrations;

    QString GetAssociatedExecutable(const QString &extension) override
    {
        lookups.append(extension);
        return associated;
    }
    Result AssociateFileType(const QString &extension) override
    {
        registrations.append(extension);
        if (result.succeeded())
            associated = kExecutable;
        return result;
    }
};

void expectQuestion(const ScriptedDialogs::Message &message)
{
    EXPECT_EQ(message.text, kQuestion);
    EXPECT_EQ(message.buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(message.icon, Dialogs::Icon::Question);
}

} // namespace

TEST(CheckFileAssociation, AsksNothingWhenTaskFilesOpenWithThisExecutable)
{
    for (const QString &found : {kExecutable, QStringLiteral("/OPT/tarvik/TARVIK")}) {
        FakeAssociations associations;
        associations.associated = found;
        ScriptedDialogs dialogs;
        modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);
        EXPECT_EQ(associations.lookups, QStringList{QStringLiteral("tvk")});
        EXPECT_TRUE(dialogs.messages().isEmpty()) << found.toStdString();
        EXPECT_TRUE(associations.registrations.isEmpty());
    }
}

TEST(CheckFileAssociation, AnyOtherPathOrNoneIsNotAssociated)
{
    const QString others[] = {
        QString(),
        QStringLiteral("/opt//Tarvik/Tarvik"),
        QStringLiteral("/opt/Tarvik/./Tarvik"),
        QStringLiteral("/opt/Tarvik/Tarvik "),
        QStringLiteral("/opt/Moved/Tarvik"),
        QStringLiteral("/opt/Tarvik/Other"),
        QStringLiteral("Tarvik"),
    };
    for (const QString &found : others) {
        FakeAssociations associations;
        associations.associated = found;
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::No);
        modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);
        ASSERT_EQ(dialogs.messages().size(), 1) << found.toStdString();
        expectQuestion(dialogs.messages().first());
        EXPECT_TRUE(associations.registrations.isEmpty());
    }

    // Nothing found never matches, not even an unknown path of its own.
    FakeAssociations associations;
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::No);
    modFileAssociations::CheckFileAssociation(associations, dialogs, QString());
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST(CheckFileAssociation, NoLeavesItAndTheNextStartAsksAgain)
{
    FakeAssociations associations;
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::No);
    dialogs.answer(Dialogs::Answer::No);
    modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);
    modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);
    ASSERT_EQ(dialogs.messages().size(), 2);
    expectQuestion(dialogs.messages()[0]);
    expectQuestion(dialogs.messages()[1]);
    EXPECT_TRUE(associations.registrations.isEmpty());
}

TEST(CheckFileAssociation, YesAssociatesTaskFilesAndConfirms)
{
    FakeAssociations associations;
    associations.associated = QStringLiteral("/usr/bin/other-editor");
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Yes);
    dialogs.answer(Dialogs::Answer::Ok);
    modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);

    EXPECT_EQ(associations.registrations, QStringList{QStringLiteral("tvk")});
    ASSERT_EQ(dialogs.messages().size(), 2);
    expectQuestion(dialogs.messages()[0]);
    EXPECT_EQ(dialogs.messages()[1].text, QStringLiteral("The file association has been made!"));
    EXPECT_EQ(dialogs.messages()[1].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.messages()[1].icon, Dialogs::Icon::None);
    EXPECT_EQ(dialogs.pendingAnswers(), 0);

    // The next start finds the association and asks nothing.
    modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST(CheckFileAssociation, AFailedAssociationIsReportedWithItsCause)
{
    FakeAssociations associations;
    associations.result = Result::failure(QStringLiteral("Cannot write /x: denied"));
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Yes);
    dialogs.answer(Dialogs::Answer::Ok);
    modFileAssociations::CheckFileAssociation(associations, dialogs, kExecutable);

    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[1].text,
              QStringLiteral("The file association could not be made!\nCannot write /x: denied"));
    EXPECT_EQ(dialogs.messages()[1].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.messages()[1].icon, Dialogs::Icon::Exclamation);
}
