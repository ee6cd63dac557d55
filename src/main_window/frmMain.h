#pragma once

#include "CategoryList.h"
#include "LayoutManager.h"
#include "StatusImages.h"
#include "TaskDocument.h"
#include "TaskLists.h"

#include <QMainWindow>

#include <functional>

class CategoryListView;
class Dialogs;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TabControl;

// The program's one working window: the five category lists on their tabs,
// the editing pane below them, and the File menu.
class frmMain : public QMainWindow, private DocumentView
{
    Q_OBJECT

public:
    using StartupCheck = std::function<void()>;

    // dialogs: answers every question and file choice of the window.
    // commandLine: the path of a task-list file to open at start; empty for none.
    // startupCheck: runs first when the window loads, before anything is set up.
    frmMain(Dialogs &dialogs, const QString &commandLine, StartupCheck startupCheck = {},
            QWidget *parent = nullptr);
    ~frmMain() override;

    const TaskDocument &document() const { return m_document; }

    void mnuFile_New_Click();
    void mnuFile_Open_Click();
    void mnuFile_Save_Click();
    void mnuFile_SaveAs_Click();
    void mnuFile_Exit_Click();
    void mnuAbout_Click();
    // Whether the window may close.
    bool Form_QueryUnload();
    void Form_Resize();
    void tabMain_Click(int previousTab);

    void btnNew_Click();
    void btnUpdate_Click();
    void btnDelete_Click();

    void lvwTasks_ItemClick(Row item);
    void lvwCompleted_ItemClick(Row item);
    void lvwUnresolved_ItemClick(Row item);
    void lvwInformation_ItemClick(Row item);
    void lvwRequests_ItemClick(Row item);

    // Creates the six columns of a list and gives it the status pictures.
    void SetupListColumns(CategoryListView &list);
    // Sets the widths of a list's columns from the list's current width.
    void SizeListColumns(CategoryListView &list);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void createControls();
    void connectHandlers();
    void Form_Load();
    void ShowEntryDetails(CategoryList &list, Row item);
    CategoryList *currentList();
    QList<CategoryListView *> listViews() const;

    // The task text box separates lines its own way; rows hold CR LF, encoded.
    QString typedTaskText() const;
    void showTaskText(const QString &stored);

    QRect twipsRect(double left, double top, double width, double height) const;

    void setCaption(const QString &caption) override;
    void clearEditingTexts() override;

    Dialogs &m_dialogs;
    const QString m_commandLine;
    const StartupCheck m_startupCheck;
    TaskLists m_lists;
    TaskDocument m_document;
    StatusImages imgStatus;

    QWidget *m_innerArea;
    LayoutManager lmgMain;

    QMenu *mnuFile;
    QAction *mnuFile_New;
    QAction *mnuFile_Open;
    QAction *mnuFile_Save;
    QAction *mnuFile_SaveAs;
    QAction *mnuFile_Exit;
    QAction *mnuAbout;

    TabControl *tabMain;
    CategoryListView *lvwTasks;
    CategoryListView *lvwCompleted;
    CategoryListView *lvwUnresolved;
    CategoryListView *lvwInformation;
    CategoryListView *lvwRequests;

    QGroupBox *fraDetails;
    QPlainTextEdit *txtTask;
    QLabel *lblUser;
    QLineEdit *txtUser;

    QGroupBox *fraEdit;
    QPushButton *btnNew;
    QPushButton *btnUpdate;
    QPushButton *btnDelete;

    QGroupBox *fraType;
    QRadioButton *optTask;
    QRadioButton *optQuestion;
};
