// The window in the user's language: run with LANGUAGE=de, as a German user
// starts it.

#include "app/Translations.h"

#include "association/FileAssociations.h"
#include "association/modFileAssociations.h"
#include "main_window/QtDialogs.h"
#include "main_window/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class NoAssociation : public FileAssociations
{
public:
    QString GetAssociatedExecutable(const QString &) override { return {}; }
    Result AssociateFileType(const QString &) override { return Result::success(); }
};

// The window as it starts: its start-up question is answered No, after its
// buttons' captions are kept in buttonTexts.
std::unique_ptr<frmMain> startWindow(QtDialogs &dialogs, QStringList &buttonTexts)
{
    static NoAssociation associations;
    QTimer::singleShot(0, [&buttonTexts] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        buttonTexts = {box->text(), box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
        box->button(QMessageBox::No)->click();
    });
    return std::make_unique<frmMain>(dialogs, QString(),
                                     [&dialogs] { modFileAssociations::CheckFileAssociation(associations, dialogs); });
}

QStringList captions(const frmMain &window)
{
    QStringList texts;
    for (const QAction *action : window.menuBar()->actions())
        texts.append(action->text());
    const auto *tabs = window.findChild<QTabBar *>();
    for (int i = 0; i < tabs->count(); ++i)
        texts.append(tabs->tabText(i));
    for (const char *name : {"btnNew", "btnUpdate", "btnDelete", "fraDetails", "optTask"}) {
        const QObject *control = window.findChild<QObject *>(QLatin1String(name));
        texts.append(control->property(qobject_cast<const QGroupBox *>(control) ? "title" : "text").toString());
    }
    return texts;
}

// The Alt keys of the window's own controls, and of the File menu's items.
void expectUniqueAccelerators(const frmMain &window)
{
    const auto expectUnique = [](const QStringList &texts) {
        QStringList keys;
        for (const QString &text : texts) {
            const QString key = QKeySequence::mnemonic(text).toString();
            if (!key.isEmpty()) {
                EXPECT_FALSE(keys.contains(key)) << text.toStdString() << " shares " << key.toStdString();
                keys.append(key);
            }
        }
    };
    expectUnique(captions(window));
    QStringList items;
    for (const QAction *action : window.findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        items.append(action->text());
    expectUnique(items);
}

} // namespace

TEST(Translations, TheWindowAndQtsOwnButtonsSpeakTheUsersLanguage)
{
    ASSERT_EQ(qgetenv("LANGUAGE"), "de");
    QtDialogs dialogs;
    QStringList question;
    {
        const Translations german(Translations::UserLanguages());
        EXPECT_EQ(german.language(), QStringLiteral("de"));
        const auto window = startWindow(dialogs, question);
        EXPECT_EQ(question,
                  (QStringList{QStringLiteral("Aufgabendateien (*.tvk) sind nicht mit Tarvik verknüpft!\n"
                                              "Möchten Sie sie jetzt verknüpfen?"),
                               QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
        EXPECT_EQ(captions(*window),
                  (QStringList{"&Datei", "Ü&ber", "&Aufgaben", "&Erledigt", "&Ungeklärt", "Information", "Anf&ragen",
                               "&Neu", "&Ändern", "&Löschen", "Eintragsdetails", "Normale Aufgabe"}));
        expectUniqueAccelerators(*window);
    }
    {
        const Translations french({QStringLiteral("fr_FR")});
        const auto window = startWindow(dialogs, question);
        EXPECT_EQ(question.mid(1), (QStringList{QStringLiteral("&Oui"), QStringLiteral("&Non")}));
        expectUniqueAccelerators(*window);
    }
    {
        // English first: every text as the program writes it, even with a
        // translated language further down the list.
        const Translations english({QStringLiteral("en_GB"), QStringLiteral("de")});
        EXPECT_TRUE(english.language().isEmpty());
        const auto window = startWindow(dialogs, question);
        EXPECT_EQ(question,
                  (QStringList{QStringLiteral("ToDo-files(*.tvk) are not associated with Tarvik!\n"
                                              "Do You want to associate them now?"),
                               QStringLiteral("&Yes"), QStringLiteral("&No")}));
        EXPECT_EQ(captions(*window),
                  (QStringList{"&File", "A&bout", "&Tasks", "&Completed", "&Unresolved", "Information", "&Requests",
                               "&New", "&Update", "&Delete", "Entry Details", "Normal Task"}));
    }
}
