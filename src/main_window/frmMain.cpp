#include "main_window/frmMain.h"

#include "about/frmAbout.h"
#include "base/Dialogs.h"
#include "base/Twips.h"
#include "entries/DateText.h"
#include "entries/Status.h"
#include "find/FilteredList.h"
#include "journal/JournalReplay.h"
#include "main_window/AssistiveTexts.h"
#include "main_window/CaptionFit.h"
#include "main_window/CategoryListView.h"
#include "main_window/EntryChangeCommand.h"
#include "main_window/ListsStepCommand.h"
#include "main_window/LongTaskPreview.h"
#include "main_window/PrintJob.h"
#include "main_window/SharedMnemonics.h"
#include "main_window/TabControl.h"
#include "main_window/TaskFileDrop.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QTextDocument>

#include <limits>

namespace {

// The window's inner area below the menu bar at start, in twips.
constexpr double kInnerWidth = 6450;
constexpr double kInnerHeight = 5175;

// The status popup in menu order: the five states, a divider, the three
// kinds. Each status item's key is its status name, whatever its caption.
struct PopupItem {
    const char *key;
    const char *caption;
    uint type;
};
constexpr PopupItem kStatusPopupItems[] = {
    {"Complete", QT_TRANSLATE_NOOP("frmMain", "Complete"), clsPopup::TypeText},
    {"Incomplete", QT_TRANSLATE_NOOP("frmMain", "Incomplete"), clsPopup::TypeText},
    {"Invalid", QT_TRANSLATE_NOOP("frmMain", "Invalid"), clsPopup::TypeText},
    {"Unresolved", QT_TRANSLATE_NOOP("frmMain", "Unresolved"), clsPopup::TypeText},
    {"Moved", QT_TRANSLATE_NOOP("frmMain", "Moved"), clsPopup::TypeText},
    {"Divider1", "", clsPopup::TypeDivider},
    {"Information", QT_TRANSLATE_NOOP("frmMain", "Information"), clsPopup::TypeText},
    {"Question", QT_TRANSLATE_NOOP("frmMain", "Question"), clsPopup::TypeText},
    {"Request", QT_TRANSLATE_NOOP("frmMain", "Request"), clsPopup::TypeText},
};

template<typename Control>
Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

} // namespace

frmMain::frmMain(Dialogs &dialogs, const QString &commandLine, StartupCheck startupCheck, MenuPresenter *menuPresenter,
                 QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_commandLine(commandLine)
    , m_startupCheck(std::move(startupCheck))
    , m_document(m_lists, dialogs, *this)
    , objRightClickPopup(menuPresenter)
    , m_innerArea(new QWidget(this))
    , lmgMain(m_innerArea)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(TaskDocument::DefaultCaption());
    setWindowIcon(ProgramIcon());
    setCentralWidget(m_innerArea);
    createMenus();
    createControls();
    connectHandlers();
    createHistoryShortcuts();
    createCommandShortcuts();
    createTabAndSortShortcuts();
    acceptTaskFileDrops();

    const QSize inner = twipsRect(0, 0, kInnerWidth, kInnerHeight).size() + fitCaptions();
    m_innerArea->resize(inner);
    resize(inner.width(), inner.height() + menuBar()->sizeHint().height());

    // The session's end asks nothing; what is unsaved waits in the journal.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_document.syncJournal(); });
    Form_Load();
    AssistiveTexts::describe(*this);
}

frmMain::~frmMain() = default;

void frmMain::createMenus()
{
    mnuFile = named(menuBar()->addMenu(tr("&File")), QStringLiteral("mnuFile"));
    mnuFile_New = named(mnuFile->addAction(tr("&New")), QStringLiteral("mnuFile_New"));
    mnuFile_Open = named(mnuFile->addAction(tr("&Open..")), QStringLiteral("mnuFile_Open"));
    mnuFile_Save = named(mnuFile->addAction(tr("&Save")), QStringLiteral("mnuFile_Save"));
    mnuFile_SaveAs = named(mnuFile->addAction(tr("Save &As..")), QStringLiteral("mnuFile_SaveAs"));
    mnuFile_Exit = named(mnuFile->addAction(tr("&Exit")), QStringLiteral("mnuFile_Exit"));
    // A command of the menu bar itself, with no menu of its own.
    mnuAbout = named(menuBar()->addAction(tr("A&bout")), QStringLiteral("mnuAbout"));
}

void frmMain::createControls()
{
    tabMain = named(new TabControl(m_innerArea), QStringLiteral("tabMain"));
    tabMain->setGeometry(twipsRect(0, 30, 6405, 2415));
    lvwTasks = new CategoryListView(m_lists.lvwTasks);
    lvwCompleted = new CategoryListView(m_lists.lvwCompleted);
    lvwUnresolved = new CategoryListView(m_lists.lvwUnresolved);
    lvwInformation = new CategoryListView(m_lists.lvwInformation);
    lvwRequests = new CategoryListView(m_lists.lvwRequests);
    const QStringList captions = {tr("&Tasks"), tr("&Completed"), tr("&Unresolved"), tr("Information"),
                                  tr("&Requests")};
    const QList<CategoryListView *> views = listViews();
    for (int tab = 0; tab < views.size(); ++tab) {
        tabMain->addTab(captions[tab], views[tab]);
        views[tab]->setGeometry(twipsRect(60, 360, 6285, 1965));
    }

    fraDetails = named(new QGroupBox(tr("Entry Details"), m_innerArea), QStringLiteral("fraDetails"));
    fraDetails->setGeometry(twipsRect(0, 2520, 5205, 1965));
    txtTask = named(new QPlainTextEdit(fraDetails), QStringLiteral("txtTask"));
    txtTask->setGeometry(twipsRect(90, 240, 5025, 1185));
    txtTask->setTabChangesFocus(true);
    m_longTask = new LongTaskPreview(*txtTask);
    lblUser = named(new QLabel(tr("User"), fraDetails), QStringLiteral("lblUser"));
    lblUser->setGeometry(twipsRect(120, 1560, 465, 225));
    txtUser = named(new QLineEdit(fraDetails), QStringLiteral("txtUser"));
    txtUser->setGeometry(twipsRect(540, 1560, 4575, 285));
    // A user name read from a file may be of any length; Update must not cut it.
    txtUser->setMaxLength(std::numeric_limits<int>::max());

    fraEdit = named(new QGroupBox(tr("Entry Editing"), m_innerArea), QStringLiteral("fraEdit"));
    fraEdit->setGeometry(twipsRect(5250, 2520, 1155, 1965));
    btnNew = named(new QPushButton(tr("&New"), fraEdit), QStringLiteral("btnNew"));
    btnNew->setGeometry(twipsRect(90, 270, 975, 525));
    btnUpdate = named(new QPushButton(tr("&Update"), fraEdit), QStringLiteral("btnUpdate"));
    btnUpdate->setGeometry(twipsRect(90, 810, 975, 525));
    btnDelete = named(new QPushButton(tr("&Delete"), fraEdit), QStringLiteral("btnDelete"));
    btnDelete->setGeometry(twipsRect(90, 1350, 975, 525));

    fraType = named(new QGroupBox(tr("New Task Type"), m_innerArea), QStringLiteral("fraType"));
    fraType->setGeometry(twipsRect(0, 4530, 6405, 615));
    optTask = named(new QRadioButton(tr("Normal Task"), fraType), QStringLiteral("optTask"));
    optTask->setChecked(true);
    optQuestion = named(new QRadioButton(tr("Question"), fraType), QStringLiteral("optQuestion"));
    // The usual desktop fonts need more room for the captions than this
    // geometry gives: a button grows to its caption, and Question starts where
    // the caption of Normal Task ends.
    QRect task = twipsRect(120, 240, 1335, 285);
    task.setSize(task.size().expandedTo(optTask->sizeHint()));
    optTask->setGeometry(task);
    QRect question = twipsRect(1410, 240, 1035, 285);
    question.moveLeft(qMax(question.left(), task.left() + optTask->sizeHint().width()));
    question.setSize(question.size().expandedTo(optQuestion->sizeHint()));
    optQuestion->setGeometry(question);
}

void frmMain::connectHandlers()
{
    connect(mnuFile_New, &QAction::triggered, this, &frmMain::mnuFile_New_Click);
    connect(mnuFile_Open, &QAction::triggered, this, &frmMain::mnuFile_Open_Click);
    connect(mnuFile_Save, &QAction::triggered, this, &frmMain::mnuFile_Save_Click);
    connect(mnuFile_SaveAs, &QAction::triggered, this, &frmMain::mnuFile_SaveAs_Click);
    connect(mnuFile_Exit, &QAction::triggered, this, &frmMain::mnuFile_Exit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(tabMain, &TabControl::Click, this, &frmMain::tabMain_Click);
    connect(btnNew, &QPushButton::clicked, this, &frmMain::btnNew_Click);
    connect(btnUpdate, &QPushButton::clicked, this, &frmMain::btnUpdate_Click);
    connect(btnDelete, &QPushButton::clicked, this, &frmMain::btnDelete_Click);
    connect(lvwTasks, &CategoryListView::ItemClick, this, &frmMain::lvwTasks_ItemClick);
    connect(lvwCompleted, &CategoryListView::ItemClick, this, &frmMain::lvwCompleted_ItemClick);
    connect(lvwUnresolved, &CategoryListView::ItemClick, this, &frmMain::lvwUnresolved_ItemClick);
    connect(lvwInformation, &CategoryListView::ItemClick, this, &frmMain::lvwInformation_ItemClick);
    connect(lvwRequests, &CategoryListView::ItemClick, this, &frmMain::lvwRequests_ItemClick);
    connect(lvwTasks, &CategoryListView::MouseDown, this, &frmMain::lvwTasks_MouseDown);
    connect(lvwCompleted, &CategoryListView::MouseDown, this, &frmMain::lvwCompleted_MouseDown);
    connect(lvwUnresolved, &CategoryListView::MouseDown, this, &frmMain::lvwUnresolved_MouseDown);
    connect(lvwInformation, &CategoryListView::MouseDown, this, &frmMain::lvwInformation_MouseDown);
    connect(lvwRequests, &CategoryListView::MouseDown, this, &frmMain::lvwRequests_MouseDown);
    connect(lvwTasks, &CategoryListView::ColumnClick, this, &frmMain::lvwTasks_ColumnClick);
    connect(lvwCompleted, &CategoryListView::ColumnClick, this, &frmMain::lvwCompleted_ColumnClick);
    connect(lvwUnresolved, &CategoryListView::ColumnClick, this, &frmMain::lvwUnresolved_ColumnClick);
    connect(lvwInformation, &CategoryListView::ColumnClick, this, &frmMain::lvwInformation_ColumnClick);
    connect(lvwRequests, &CategoryListView::ColumnClick, this, &frmMain::lvwRequests_ColumnClick);
    for (CategoryListView *view : listViews()) {
        connect(view, &CategoryListView::ContextMenuKey, this,
                [this, view](const QPoint &at) { ShowEntryMenu(view->list(), at); });
        // Selecting with the keyboard shows the entry as a click does, but
        // never opens the popup: that stays with the right button and the menu key.
        connect(view, &CategoryListView::KeyboardSelect, this, [this, view] { showSelectedEntry(view->list()); });
    }
    connect(&objRightClickPopup, &clsPopup::ItemClick, this, &frmMain::objRightClickPopup_ItemClick);
    // Reads the file again; a window key, since the File menu stays as it is.
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            [this] { m_document.reloadByHand(); });
}

// Start-up runs in a fixed order: the association check first, then the
// lists get their layout and columns and the status popup its items, and the
// file named on the command line comes last, into lists that are fully set up.
void frmMain::Form_Load()
{
    if (m_startupCheck)
        m_startupCheck();

    lmgMain.RegisterControl(lvwTasks, 0, 0, 1, 1);
    lmgMain.RegisterControl(lvwCompleted, 0, 0, 1, 1);
    lmgMain.RegisterControl(lvwUnresolved, 0, 0, 1, 1);
    lmgMain.RegisterControl(lvwInformation, 0, 0, 1, 1);
    lmgMain.RegisterControl(lvwRequests, 0, 0, 1, 1);
    lmgMain.RegisterControl(txtTask, 0, 0, 1, 0);
    lmgMain.RegisterControl(txtUser, 0, 0, 1, 0);
    lmgMain.RegisterControl(tabMain, 0, 0, 1, 1);
    lmgMain.RegisterControl(fraDetails, 0, 1, 1, 0);
    lmgMain.RegisterControl(fraEdit, 1, 1, 0, 0);
    lmgMain.RegisterControl(fraType, 0, 1, 1, 0);

    for (CategoryListView *list : listViews())
        SetupListColumns(*list);

    BuildPopupMenu();
    // Before the file is read: taking in a conflict copy beside it changes
    // the lists, and the find bar follows every change of theirs.
    createFind();

    m_document.openFromCommandLine(m_commandLine);
}

void frmMain::BuildPopupMenu()
{
    for (const PopupItem &item : kStatusPopupItems) {
        const QString caption = *item.caption ? tr(item.caption) : QString();
        objRightClickPopup.AddItem(QString::fromLatin1(item.key), caption, item.type, clsPopup::StateEnabled, 0);
    }
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    lmgMain.ApplyLayout();
    // After the layout, so that the Task column follows the lists' new widths.
    for (CategoryListView *list : listViews())
        SizeListColumns(*list);
}

void frmMain::SetupListColumns(CategoryListView &list)
{
    list.clearColumns();
    list.addColumn(QStringLiteral("Status"), QString());
    list.addColumn(QStringLiteral("Task"), tr("Task"));
    list.addColumn(QStringLiteral("Added"), tr("Added"));
    list.addColumn(QStringLiteral("Edited"), tr("Edited"));
    list.addColumn(QStringLiteral("User"), tr("User"));
    list.addColumn(QStringLiteral("Status_Hidden"), QString());
    list.setSmallIcons(imgStatus);
}

void frmMain::SizeListColumns(CategoryListView &list)
{
    const double dpi = list.logicalDpiX();
    const auto setWidth = [&list](const QString &key, int pixels) {
        const int position = list.columnPosition(key);
        if (position > 0)
            list.header()->resizeSection(position - 1, pixels);
    };
    setWidth(QStringLiteral("Status"), TwipsToPixels(300, dpi));
    setWidth(QStringLiteral("Task"), qRound(list.width() * 0.7));
    setWidth(QStringLiteral("Added"), TwipsToPixels(1700, dpi));
    setWidth(QStringLiteral("Edited"), TwipsToPixels(1700, dpi));
    setWidth(QStringLiteral("User"), TwipsToPixels(1000, dpi));
    setWidth(QStringLiteral("Status_Hidden"), 0);
}

void frmMain::tabMain_Click(int)
{
    txtTask->clear();
}

void frmMain::mnuFile_New_Click()
{
    m_document.newList();
}

void frmMain::mnuFile_Open_Click()
{
    m_document.open();
}

void frmMain::mnuFile_Save_Click()
{
    m_document.save();
}

void frmMain::mnuFile_SaveAs_Click()
{
    m_document.saveAs();
}

void frmMain::mnuFile_Exit_Click()
{
    close();
}

void frmMain::mnuAbout_Click()
{
    frmAbout about(this);
    about.AboutForm(QVariant::fromValue(windowIcon()), tr("A simple ToDo tool"));
}

bool frmMain::Form_QueryUnload()
{
    return m_document.queryUnload();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A session that ends waits for no question: the changes wait in the journal.
    if (qApp->isSavingSession()) {
        m_document.syncJournal();
        event->accept();
        return;
    }
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

void frmMain::btnNew_Click()
{
    const std::optional<EntryChange> change =
        m_editing.addEntry(tabMain->currentIndex(), typedTaskText(), txtUser->text(), optQuestion->isChecked());
    if (!change)
        return;
    // The user text stays for the next entry.
    txtTask->clear();
    recordChange(change);
    listViews().at(tabMain->currentIndex())->showOwnChange(change->row);
}

void frmMain::btnUpdate_Click()
{
    const std::optional<EntryChange> change =
        m_editing.updateEntry(tabMain->currentIndex(), typedTaskText(), txtUser->text());
    if (!change) {
        if (std::exchange(m_shownEntryGoneOutside, false)) {
            m_dialogs.message(tr("Another program changed or removed this entry in the file, so it was not "
                                 "updated. The typed text stays in the box."),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
        return;
    }
    txtTask->clear();
    recordChange(change);
    listViews().at(tabMain->currentIndex())->showOwnChange(change->row);
}

void frmMain::btnDelete_Click()
{
    CategoryListView *view = currentView();
    const std::vector<int> positions = view ? view->selectedPositions() : std::vector<int>();
    if (positions.size() > 1) {
        if (m_dialogs.message(tr("Remove the %1 selected entries?").arg(positions.size()), Dialogs::Buttons::YesNo,
                              Dialogs::Icon::Question, Dialogs::Default::Cautious)
            != Dialogs::Answer::Yes)
            return;
        recordBulkChange(
            *view, [&] { return BulkChange::remove(m_lists, *CategoryForTab(tabMain->currentIndex()), positions); });
        return;
    }
    if (!m_editing.selection(tabMain->currentIndex()).row)
        return;
    // Enter keeps the entry: removing is the answer that must be chosen.
    if (m_dialogs.message(tr("Remove selected entry?"), Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                          Dialogs::Default::Cautious)
        != Dialogs::Answer::Yes)
        return;
    listViews().at(tabMain->currentIndex())->keepPlaceAcross([this] {
        recordChange(m_editing.deleteEntry(tabMain->currentIndex()));
    });
}

void frmMain::lvwTasks_ItemClick(Row item)
{
    ShowEntryDetails(m_lists.lvwTasks, item);
}

void frmMain::lvwCompleted_ItemClick(Row item)
{
    ShowEntryDetails(m_lists.lvwCompleted, item);
}

void frmMain::lvwUnresolved_ItemClick(Row item)
{
    ShowEntryDetails(m_lists.lvwUnresolved, item);
}

void frmMain::lvwInformation_ItemClick(Row item)
{
    ShowEntryDetails(m_lists.lvwInformation, item);
}

void frmMain::lvwRequests_ItemClick(Row item)
{
    ShowEntryDetails(m_lists.lvwRequests, item);
}

void frmMain::lvwTasks_MouseDown(int button)
{
    bRightClick = button == CategoryListView::RightButton;
}

void frmMain::lvwCompleted_MouseDown(int button)
{
    bRightClick = button == CategoryListView::RightButton;
}

void frmMain::lvwUnresolved_MouseDown(int button)
{
    bRightClick = button == CategoryListView::RightButton;
}

void frmMain::lvwInformation_MouseDown(int button)
{
    bRightClick = button == CategoryListView::RightButton;
}

void frmMain::lvwRequests_MouseDown(int button)
{
    bRightClick = button == CategoryListView::RightButton;
}

// Shows the list's selected row, which is the row just clicked, and after a
// right-button press offers its statuses. The flag outlives the popup: it
// belongs to the press, not to the click.
void frmMain::ShowEntryDetails(CategoryList &list, Row)
{
    if (showSelectedEntry(list) && bRightClick)
        objRightClickPopup.PopupMenu(this);
}

void frmMain::ShowEntryMenu(CategoryList &list, const QPoint &at)
{
    if (showSelectedEntry(list))
        objRightClickPopup.PopupMenu(this, at);
}

bool frmMain::showSelectedEntry(CategoryList &list)
{
    const Row selected = list.selectedRow();
    if (!selected)
        return false;
    m_shownEntryGoneOutside = false;
    showTaskText(list.text(selected, Entry::Task));
    txtUser->setText(list.text(selected, Entry::User));
    return true;
}

void frmMain::objRightClickPopup_ItemClick(const QString &sItemKey)
{
    // Only the eight status names give a status; the divider's key is none.
    if (const std::optional<int> code = StatusCodeForName(sItemKey))
        SetSelectedEntryStatus(*code);
}

void frmMain::SetSelectedEntryStatus(int code)
{
    CategoryListView *view = currentView();
    const std::vector<int> positions = view ? view->selectedPositions() : std::vector<int>();
    if (positions.size() > 1 && code >= FirstStatusCode && code <= LastStatusCode) {
        recordBulkChange(*view, [&] {
            return BulkChange::setStatus(m_lists, *CategoryForTab(tabMain->currentIndex()), positions, code,
                                         CurrentDateText());
        });
        return;
    }
    if (!view)
        return;
    const int tab = tabMain->currentIndex();
    view->keepPlaceAcross([this, tab, code] { recordChange(m_editing.setEntryStatus(tab, code)); });
}

CategoryListView *frmMain::currentView() const
{
    const int tab = tabMain->currentIndex();
    const QList<CategoryListView *> views = listViews();
    return tab >= 0 && tab < views.size() ? views[tab] : nullptr;
}

// The selection goes first: rows that move or go are followed far more
// quickly by a view with nothing selected, and none is left afterwards.
void frmMain::recordBulkChange(CategoryListView &view, const std::function<BulkChange()> &change)
{
    view.clearSelectedRows();
    auto step = std::make_unique<BulkChange>(change());
    m_document.journalChange(RecordOf(*step));
    m_history.push(new ListsStepCommand(m_lists, std::move(step), stepReplayed()));
    m_document.markEdited();
}

void frmMain::lvwTasks_ColumnClick(int columnIndex)
{
    SortListByColumn(*lvwTasks, columnIndex);
}

void frmMain::lvwCompleted_ColumnClick(int columnIndex)
{
    SortListByColumn(*lvwCompleted, columnIndex);
}

void frmMain::lvwUnresolved_ColumnClick(int columnIndex)
{
    SortListByColumn(*lvwUnresolved, columnIndex);
}

void frmMain::lvwInformation_ColumnClick(int columnIndex)
{
    SortListByColumn(*lvwInformation, columnIndex);
}

void frmMain::lvwRequests_ColumnClick(int columnIndex)
{
    SortListByColumn(*lvwRequests, columnIndex);
}

void frmMain::SortListByColumn(CategoryListView &list, int columnIndex)
{
    list.list().sortByColumn(columnIndex);
}

QList<CategoryListView *> frmMain::listViews() const
{
    return {lvwTasks, lvwCompleted, lvwUnresolved, lvwInformation, lvwRequests};
}

QString frmMain::typedTaskText() const
{
    if (m_longTask->previewed())
        return *m_longTask->previewed();
    // The raw text keeps what the user typed (no-break spaces included); its
    // paragraph and line separators are the typed line breaks.
    QString typed = txtTask->document()->toRawText();
    typed.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    typed.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return EncodeLineBreaks(typed);
}

void frmMain::showTaskText(const QString &stored)
{
    m_longTask->show(stored, [](const QString &part) {
        QString shown = DecodeLineBreaks(part);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return shown;
    });
}

QRect frmMain::twipsRect(double left, double top, double width, double height) const
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    return QRect(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY), TwipsToPixels(width, dpiX),
                 TwipsToPixels(height, dpiY));
}

void frmMain::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void frmMain::clearEditingTexts()
{
    txtTask->clear();
    txtUser->clear();
}

void frmMain::createHistoryShortcuts()
{
    const auto onKeys = [this](const QKeySequence &keys, void (QUndoStack::*action)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, &m_history, action);
    };
    onKeys(QKeySequence(Qt::CTRL | Qt::Key_Z), &QUndoStack::undo);
    onKeys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &QUndoStack::redo);
    onKeys(QKeySequence(Qt::CTRL | Qt::Key_Y), &QUndoStack::redo);
}

// Keys for the File commands, the close request and the editing buttons. The
// menus stay as they are and show none of them.
void frmMain::createCommandShortcuts()
{
    const auto onKeys = [this](QWidget *scope, QKeyCombination keys, void (frmMain::*command)()) {
        auto *shortcut = new QShortcut(QKeySequence(keys), scope, nullptr, nullptr,
                                       scope == this ? Qt::WindowShortcut : Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
    };
    onKeys(this, Qt::CTRL | Qt::Key_S, &frmMain::mnuFile_Save_Click);
    onKeys(this, Qt::CTRL | Qt::SHIFT | Qt::Key_S, &frmMain::mnuFile_SaveAs_Click);
    onKeys(this, Qt::CTRL | Qt::Key_O, &frmMain::mnuFile_Open_Click);
    onKeys(this, Qt::CTRL | Qt::Key_Q, &frmMain::mnuFile_Exit_Click);
    onKeys(this, Qt::CTRL | Qt::Key_W, &frmMain::mnuFile_Exit_Click);
    onKeys(this, Qt::CTRL | Qt::Key_P, &frmMain::printCurrentList);
    onKeys(txtTask, Qt::CTRL | Qt::Key_Return, &frmMain::btnNew_Click);
    onKeys(txtTask, Qt::CTRL | Qt::Key_Enter, &frmMain::btnNew_Click);
    for (CategoryListView *view : listViews())
        onKeys(view, QKeyCombination(Qt::Key_Delete), &frmMain::btnDelete_Click);

    // Alt+U is both the Unresolved tab's and the Update button's: it goes to
    // the button while the editing pane has the focus, so typed text is kept.
    new SharedMnemonics(*this, {{tabMain}, {fraDetails, fraEdit, fraType}});
}

// Tab keys as in every tabbed program, and a key for each header's click.
void frmMain::createTabAndSortShortcuts()
{
    const auto onKeys = [this](QKeyCombination keys, auto action) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this, action);
    };
    const auto step = [this](int by) {
        const int count = tabMain->tabBar()->count();
        tabMain->showTabByKey((tabMain->currentIndex() + by + count) % count);
    };
    onKeys(Qt::CTRL | Qt::Key_Tab, [step] { step(1); });
    onKeys(Qt::CTRL | Qt::Key_PageDown, [step] { step(1); });
    // X reports Shift+Tab as Backtab, other platforms as Tab with Shift.
    onKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, [step] { step(-1); });
    onKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, [step] { step(-1); });
    onKeys(Qt::CTRL | Qt::Key_PageUp, [step] { step(-1); });
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5};
    for (int n = 1; n <= 5; ++n) {
        onKeys(Qt::ALT | digits[n - 1], [this, n] { tabMain->showTabByKey(n - 1); });
        // The n-th column shown, the hidden status column being the last.
        onKeys(Qt::CTRL | Qt::SHIFT | digits[n - 1],
               [this, n] { SortListByColumn(*listViews().at(tabMain->currentIndex()), n); });
    }
}

// A task-list file dropped on the window opens as with File Open.
void frmMain::acceptTaskFileDrops()
{
    auto *drop = new TaskFileDrop(*this);
    // The text boxes would take a file's address as text.
    drop->takeOver(txtTask->viewport());
    drop->takeOver(txtUser);
    connect(drop, &TaskFileDrop::Dropped, this, [this](const QString &path) { m_document.openPath(path); });
}

QSize frmMain::fitCaptions()
{
    return CaptionFit{tabMain,    {lvwTasks, lvwCompleted, lvwUnresolved, lvwInformation, lvwRequests},
                      fraDetails, {txtTask, txtUser},
                      lblUser,    txtUser,
                      fraEdit,    {btnNew, btnUpdate, btnDelete},
                      fraType}
        .apply();
}

void frmMain::recordChange(const std::optional<EntryChange> &change)
{
    if (!change)
        return;
    m_document.journalChange(RecordOf(change->before, change->after));
    m_history.push(new EntryChangeCommand(
        m_lists, *change,
        [this](const ReplayResult &result, Category category, bool select) { showReplayed(result, category, select); },
        [this](const std::optional<EntryState> &from, const std::optional<EntryState> &to) {
            m_document.journalChange(RecordOf(from, to));
        }));
    m_document.markEdited();
}

void frmMain::showReplayed(const ReplayResult &result, Category category, bool select)
{
    if (!result.done) {
        // The lists no longer hold what the history recorded; going on
        // could only change the wrong entries. The stack is still running
        // this command, so it is emptied afterwards.
        QMetaObject::invokeMethod(&m_history, &QUndoStack::clear, Qt::QueuedConnection);
        return;
    }
    m_document.markEdited();
    if (!select || !result.row)
        return;
    const int tab = static_cast<int>(category);
    CategoryListView *view = listViews().at(tab);
    if (tabMain->currentIndex() != tab)
        tabMain->showTabByKey(tab);
    CategoryList &list = view->list();
    const QModelIndex index = list.index(list.positionOf(result.row) - 1, Entry::Task);
    list.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollToPosition(index.row() + 1);
}

// The current tab's list as it is shown: in its order, and only the entries
// the find bar lets through.
void frmMain::printCurrentList()
{
    const int tab = tabMain->currentIndex();
    CategoryListView *view = listViews().at(tab);
    const auto *filter = qobject_cast<const FilteredList *>(view->model());
    const int rows = view->model()->rowCount();
    std::vector<PrintedEntry> entries;
    entries.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        entries.push_back(PrintedEntry::Of(filter ? *filter->rowAt(row) : *view->list().rowAt(row + 1)));
    const QString file =
        m_document.fileName().isEmpty() ? TaskDocument::DefaultCaption() : QFileInfo(m_document.fileName()).fileName();
    const QString title = tr("%1 — %2").arg(file, tabMain->tabBar()->tabText(tab).remove(u'&'));
    PrintJob::Start(*this, m_dialogs, title, std::move(entries));
}

void frmMain::documentReplaced()
{
    m_history.clear();
}

void frmMain::createFind()
{
    m_finder = std::make_unique<ListFinder>(lmgMain, *tabMain, listViews(), *fraDetails);
    connect(m_finder.get(), &ListFinder::entryChosen, this, [this](CategoryList &list) { showSelectedEntry(list); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, m_finder.get(),
            &ListFinder::open);
}

void frmMain::listsAboutToChangeOutside()
{
    m_placeBeforeFollow.remember(listViews(), listViews().at(tabMain->currentIndex()));
}

// The editing pane keeps what the user is typing.
// After an undo or redo of a step of the lists: journaled and edited, or, when
// the lists no longer hold what the step left, the history goes.
ListsStepCommand::Replayed frmMain::stepReplayed()
{
    return [this](bool done, const ListsStep &made) {
        if (done) {
            m_document.journalChange(RecordOf(made));
            m_document.markEdited();
        } else {
            QMetaObject::invokeMethod(&m_history, &QUndoStack::clear, Qt::QueuedConnection);
        }
    };
}

void frmMain::listsChangedOutside(std::unique_ptr<ListsStep> step)
{
    m_finder->refilter();
    if (!m_placeBeforeFollow.restore())
        m_shownEntryGoneOutside = true;
    if (!step)
        return;
    m_history.push(new ListsStepCommand(m_lists, std::move(step), stepReplayed()));
}

void frmMain::waitingForFile(bool waiting)
{
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
