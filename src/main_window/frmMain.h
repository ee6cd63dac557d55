#pragma once

#include "document/TaskDocument.h"
#include "entries/CategoryList.h"
#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "history/BulkChange.h"
#include "history/ChangeReplay.h"
#include "main_window/LayoutManager.h"
#include "main_window/ListFinder.h"
#include "main_window/ListsStepCommand.h"
#include "main_window/StatusImages.h"
#include "main_window/ViewPlace.h"
#include "popup/clsPopup.h"

#include <QMainWindow>
#include <QUndoStack>

#include <functional>

class CategoryListView;
class Dialogs;
class LongTaskPreview;
class MenuPresenter;
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
    // menuPresenter: shows the status popup; null for the real menu.
    frmMain(Dialogs &dialogs, const QString &commandLine, StartupCheck startupCheck = {},
            MenuPresenter *menuPresenter = nullptr, QWidget *parent = nullptr);
    ~frmMain() override;

    const TaskDocument &document() const { return m_document; }
    // The program ends now, asked by the system: no question, and every
    // unsaved change is on the disk in the journal for the next start.
    void endWithoutAsking() { m_document.syncJournal(); }

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

    void lvwTasks_MouseDown(int button);
    void lvwCompleted_MouseDown(int button);
    void lvwUnresolved_MouseDown(int button);
    void lvwInformation_MouseDown(int button);
    void lvwRequests_MouseDown(int button);

    // columnIndex: the clicked header's 1-based position.
    void lvwTasks_ColumnClick(int columnIndex);
    void lvwCompleted_ColumnClick(int columnIndex);
    void lvwUnresolved_ColumnClick(int columnIndex);
    void lvwInformation_ColumnClick(int columnIndex);
    void lvwRequests_ColumnClick(int columnIndex);

    // A status chosen from the popup, by its item key.
    void objRightClickPopup_ItemClick(const QString &sItemKey);

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
    void BuildPopupMenu();
    void ShowEntryDetails(CategoryList &list, Row item);
    // The keyboard's way to the popup: the selected entry as after a right-click.
    void ShowEntryMenu(CategoryList &list, const QPoint &at);
    // Fills the editing pane from the list's selected row; false without one.
    bool showSelectedEntry(CategoryList &list);
    void SetSelectedEntryStatus(int code);
    // The view of the current tab; null for a tab outside the five.
    CategoryListView *currentView() const;
    // A change of the many rows selected in a view: one step in the history.
    void recordBulkChange(CategoryListView &view, const std::function<BulkChange()> &change);
    ListsStepCommand::Replayed stepReplayed();
    void SortListByColumn(CategoryListView &list, int columnIndex);
    QList<CategoryListView *> listViews() const;

    // The task text box separates lines its own way; rows hold CR LF, encoded.
    QString typedTaskText() const;
    void showTaskText(const QString &stored);

    QRect twipsRect(double left, double top, double width, double height) const;

    void setCaption(const QString &caption) override;
    void clearEditingTexts() override;

    // The history of entry changes, undone with Ctrl+Z and redone with
    // Ctrl+Shift+Z or Ctrl+Y.
    void createHistoryShortcuts();
    void createCommandShortcuts();
    void createTabAndSortShortcuts();
    void acceptTaskFileDrops();
    // Gives captions that the design leaves too little room the room they
    // need; returns how much larger the window has to start.
    QSize fitCaptions();
    // Keeps a change that was just made in the history and marks the document.
    void recordChange(const std::optional<EntryChange> &change);
    void showReplayed(const ReplayResult &result, Category category, bool select);
    void documentReplaced() override;
    void listsAboutToChangeOutside() override;
    void listsChangedOutside(std::unique_ptr<ListsStep> step) override;
    void waitingForFile(bool waiting) override;

    // Ctrl+P prints the current tab's list as it is shown.
    void printCurrentList();
    // Ctrl+F opens the find bar.
    void createFind();

    Dialogs &m_dialogs;
    const QString m_commandLine;
    const StartupCheck m_startupCheck;
    TaskLists m_lists;
    TaskDocument m_document;
    EntryEditing m_editing{m_lists};
    QUndoStack m_history;
    ViewPlace m_placeBeforeFollow;
    // The entry shown in the editing pane went with a change from outside.
    bool m_shownEntryGoneOutside = false;
    StatusImages imgStatus;
    clsPopup objRightClickPopup;
    // Whether the last mouse press in any of the lists was the right button.
    bool bRightClick = false;

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
    LongTaskPreview *m_longTask;
    QLabel *lblUser;
    QLineEdit *txtUser;

    QGroupBox *fraEdit;
    QPushButton *btnNew;
    QPushButton *btnUpdate;
    QPushButton *btnDelete;

    QGroupBox *fraType;
    QRadioButton *optTask;
    QRadioButton *optQuestion;

    std::unique_ptr<ListFinder> m_finder;
};
