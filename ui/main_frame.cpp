#include "ui/main_frame.h"

#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/sizing_control_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "report/item_report.h"
#include "search/query_index.h"
#include "store/item_store.h"
#include "ui/compare_pane.h"
#include "ui/file_drop.h"
#include "ui/file_names.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_feed.h"
#include "ui/item_tree_model.h"
#include "ui/report_pane.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <QToolBar>

#include <iterator>

namespace quarry {

namespace {

constexpr int kToolbarImageSize = 20;

// With no size of the user's, the window takes this share of the screen's
// free area, centred, and the Find bar has room for names this long.
constexpr double kFirstStartShare = 2.0 / 3.0;
constexpr int kTypicalNameLength = 24;

// The Compare bar docked at the bottom: room for the three lines of the
// items' headers and a dozen members.
constexpr int kCompareBarHeight = 300;

// Names join Find's index in batches of this many during an import: a commit
// costs a few tens of milliseconds, and the end of the import has little left.
constexpr std::size_t kNameCommitBatch = 32768;

// The store's labels of long work, marked for the translators; beginProgress
// translates the label it is given.
[[maybe_unused]] const char* const kStoreProgressLabels[] = {
    QT_TRANSLATE_NOOP("strings", "Scanning File"),
    QT_TRANSLATE_NOOP("strings", "Importing Item Data")};

// Settings keys; the state's version changes when the bands or docks do.
constexpr int kWindowStateVersion = 1;
const char* const kGeometryKey = "window/geometry";
const char* const kStateKey = "window/state";
const char* const kStatusBarKey = "window/statusBar";
// The sizing bars' sizes go to "window-SCBar-<id>".
const char* const kBarProfile = "window";

// One image of a strip of 20 x 20 images laid side by side.
QPixmap stripImage(const QPixmap& strip, int index) {
    return strip.copy(index * kToolbarImageSize, 0, kToolbarImageSize, kToolbarImageSize);
}

} // namespace

cMainframe::cMainframe(cQueryIndex& names, QWidget* parent) : QMainWindow(parent), names_(names) {
    setObjectName(QStringLiteral("mainFrame"));
    // No title of its own: the window is named by its file (setItemFile),
    // and the platform adds the program's name.
    setWindowIcon(QIcon(QStringLiteral(":/quarry/quarry.png")));
}

cMainframe::~cMainframe() {
    // ~QWidget closes the window, which hides its bars; their view actions
    // toggle the frame's actions, whose handlers would then run on a frame
    // already destroyed down to its QWidget part.
    for (const auto& [command, action] : actions_)
        QObject::disconnect(action, nullptr, this, nullptr);
}

bool cMainframe::create(QString* failure) {
    if (!createClient(failure)) return false;
    createStatusBar();
    createActions();
    if (!createMenuBar(failure)) return false;
    if (!createToolBars(failure)) return false;
    createItemIdBand();
    createDockWindows();
    createFindBar();
    createCompareBar();
    createReportLinks();
    createFileDrop();
    setReadingOrder();
    return true;
}

bool cMainframe::createClient(QString* failure) {
    splitter_ = new CThinSplitterWnd(this);
    reportPane_ = new cReportPane;
    splitter_->setPane(reportPane_);
    if (!splitter_->GetPane(0, 0)) {
        if (failure) *failure = tr("Failed to create views in the split window structure.");
        return false;
    }
    setCentralWidget(splitter_);
    reportPane_->setTabChangesFocus(true); // Tab moves on, as everywhere in the window
    // The frame passes the focus to its client area, which keeps it without
    // acting on keys (Enter from the box ends there).
    splitter_->setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(splitter_);
    connect(reportPane_, &cReportPane::becameActiveView, this, &cMainframe::updateEditCommands);
    connect(reportPane_, &QTextEdit::undoAvailable, this, &cMainframe::updateEditCommands);
    connect(reportPane_, &QTextEdit::copyAvailable, this, &cMainframe::updateEditCommands);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &cMainframe::updateEditCommands);
    return true;
}

void cMainframe::createStatusBar() {
    statusBar_ = new CPaneStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(statusBar_);
    progress_ = new CProgressBar(this);
}

void cMainframe::createActions() {
    const int commands[] = {cmdImport,      cmdExport,        cmdRecentFiles,  cmdAppExit,
                            cmdEditUndo,    cmdEditCut,       cmdEditCopy,     cmdEditPaste,
                            cmdViewToolbar, cmdViewStatusBar, cmdBack,         cmdForward,
                            cmdAppAbout,    cmdSearch,        cmdNextPane,     cmdPrevPane,
                            cmdEditFind,    cmdViewCompare,   cmdAddToCompare, cmdFindMentions,
                            cmdClearCache};
    auto menuText = [](const std::vector<CMenuItem>& items, int command, auto&& self) -> QString {
        for (const CMenuItem& item : items) {
            if (item.command == command && !item.text.isEmpty()) return item.text;
            const QString inner = self(item.children, command, self);
            if (!inner.isEmpty()) return inner;
        }
        return QString();
    };
    const std::vector<CMenuItem> menu = mainMenu();
    for (int command : commands) {
        auto* action = new QAction(this);
        const QString text = menuText(menu, command, menuText);
        const QString string = loadString(command);
        action->setText(text.isEmpty() ? tooltipOf(string) : text);
        action->setStatusTip(promptOf(string));
        if (!tooltipOf(string).isEmpty()) action->setToolTip(tooltipOf(string));
        action->setData(command);
        actions_[command] = action;
        addAction(action); // accelerators work wherever the focus is in the window
    }
    actions_[cmdSearch]->setText(tr("Search"));
    for (const cAccelerator& accelerator : kAccelerators()) {
        QAction* action = actions_[accelerator.command];
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(accelerator.keys);
        action->setShortcuts(keys);
    }

    for (int command : {cmdImport, cmdExport, cmdBack, cmdForward, cmdAppAbout, cmdClearCache})
        connect(actions_[command], &QAction::triggered, this,
                [this, command] { emit commandTriggered(command); });
    recentFilesMenu_ = new QMenu(this);
    actions_[cmdRecentFiles]->setMenu(recentFilesMenu_);
    actions_[cmdRecentFiles]->setEnabled(false);
    connect(actions_[cmdAppExit], &QAction::triggered, this, &QWidget::close);
    connect(actions_[cmdEditUndo], &QAction::triggered, reportPane_, &QTextEdit::undo);
    connect(actions_[cmdEditCut], &QAction::triggered, reportPane_, &QTextEdit::cut);
    connect(actions_[cmdEditCopy], &QAction::triggered, reportPane_, &QTextEdit::copy);
    connect(actions_[cmdEditPaste], &QAction::triggered, reportPane_, &QTextEdit::paste);
    connect(actions_[cmdNextPane], &QAction::triggered, this, [this] { focusPane(1); });
    connect(actions_[cmdPrevPane], &QAction::triggered, this, [this] { focusPane(-1); });

    actions_[cmdViewToolbar]->setCheckable(true);
    actions_[cmdViewStatusBar]->setCheckable(true);
    actions_[cmdViewToolbar]->setChecked(true);
    actions_[cmdViewStatusBar]->setChecked(true);
    connect(actions_[cmdViewStatusBar], &QAction::toggled, statusBar_, &QWidget::setVisible);

    // Search shows and hides the Find pane (createFindBar); Edit > Find...
    // opens it at its box. Back and Forward wait for the history,
    // Export for an import.
    actions_[cmdSearch]->setCheckable(true);
    connect(actions_[cmdEditFind], &QAction::triggered, this, &cMainframe::showFindPane);
    actions_[cmdExport]->setEnabled(false);
    actions_[cmdBack]->setEnabled(false);
    actions_[cmdForward]->setEnabled(false);
    updateEditCommands();
}

bool cMainframe::createMenuBar(QString* failure) {
    menuBar_ = new CMenuBar(this);
    if (!menuBar_->LoadMenuBar(mainMenu(), [this](int command) { return action(command); })) {
        if (failure) *failure = tr("The main menu could not be built.");
        return false;
    }
    menuBar_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return true;
}

bool cMainframe::createToolBars(QString* failure) {
    const QPixmap normal(QStringLiteral(":/quarry/toolbar_normal.png"));
    const QPixmap hot(QStringLiteral(":/quarry/toolbar_hot.png"));
    const QPixmap disabled(QStringLiteral(":/quarry/toolbar_disabled.png"));
    for (const QPixmap* strip : {&normal, &hot, &disabled}) {
        if (strip->width() < 3 * kToolbarImageSize || strip->height() < kToolbarImageSize) {
            if (failure) *failure = tr("The toolbar images could not be loaded.");
            return false;
        }
    }
    const int buttons[] = {cmdBack, cmdForward, cmdSearch};
    for (int i = 0; i < 3; ++i) {
        QIcon icon;
        icon.addPixmap(stripImage(normal, i), QIcon::Normal);
        icon.addPixmap(stripImage(hot, i), QIcon::Active);
        icon.addPixmap(stripImage(disabled, i), QIcon::Disabled);
        actions_[buttons[i]]->setIcon(icon);
    }

    toolBar_ = new QToolBar(tr("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    toolBar_->addAction(actions_[cmdBack]);
    toolBar_->addAction(actions_[cmdForward]);
    toolBar_->addSeparator();
    toolBar_->addAction(actions_[cmdSearch]);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(actions_[cmdViewToolbar], &QAction::toggled, toolBar_, &QWidget::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, actions_[cmdViewToolbar], &QAction::setChecked);

    menuBand_ = new QToolBar(tr("Menu Bar"), this);
    menuBand_->setObjectName(QStringLiteral("menuBand"));
    menuBand_->addWidget(menuBar_);
    addToolBar(Qt::TopToolBarArea, menuBand_);
    return true;
}

void cMainframe::createItemIdBand() {
    itemIdBand_ = new QToolBar(frameText(kItemIdBandLabel), this);
    itemIdBand_->setObjectName(QStringLiteral("itemIdBand"));
    auto* label = new QLabel(frameText(kItemIdBoxLabel), itemIdBand_);
    label->setContentsMargins(4, 0, 4, 0);
    itemIdBand_->addWidget(label);
    itemIdBox_ = new cItemIdBox(itemIdBand_);
    label->setBuddy(itemIdBox_); // Alt and the label's letter go to the box
    itemIdBand_->addWidget(itemIdBox_);
    addToolBar(Qt::TopToolBarArea, itemIdBand_);
    connect(itemIdBox_, &cItemIdBox::showRequested, this, &cMainframe::showItemRequested);
}

void cMainframe::createDockWindows() {
    treeBar_ = new cItemTreeBar(this);
    treeBar_->Create(frameText(kTreeBarTitle), this, idTreeBar);
    treeBar_->setObjectName(QStringLiteral("itemTreeBar")); // the saved state's name for it
    treeModel_ = new cItemTreeModel(this);
    treeFeed_ = std::make_unique<cItemTreeFeed>(*treeModel_);
    itemTree_ = new cItemTree(treeBar_);
    itemTree_->setItemModel(treeModel_);
    // Until the user sizes it: an item's label whole, below its folders.
    treeBar_->setSizeVert(QSize(itemTree_->typicalLabelWidth(), treeBar_->sizeVert().height()));
    treeBar_->setWidget(itemTree_);
    treeBar_->setBarStyle(treeBar_->barStyle()); // the child now exists: let it fill the bar
    addDockWidget(Qt::LeftDockWidgetArea, treeBar_);
    connect(itemTree_, &cItemTree::itemChosen, this, &cMainframe::showItemRequested);
}

void cMainframe::createFindBar() {
    findBar_ = new CSizingControlBar(this);
    findBar_->Create(frameText(kFindBarTitle), this, idFindBar);
    findBar_->setObjectName(QStringLiteral("findBar"));
    findPane_ = new cFindPane(names_, findBar_);
    // Tab leaves the results rather than walking their cells.
    findPane_->resultsView()->setTabKeyNavigation(false);
    findBar_->setSizeVert(QSize(findBarWidth(), findBar_->sizeVert().height()));
    findBar_->setWidget(findPane_);
    findBar_->setBarStyle(CSizingControlBar::sizeChild);
    addDockWidget(Qt::RightDockWidgetArea, findBar_);
    findBar_->hide();
    QAction* search = actions_[cmdSearch];
    connect(search, &QAction::toggled, this, [this](bool on) {
        if (on)
            showFindPane();
        else
            findBar_->hide();
    });
    connect(findBar_->toggleViewAction(), &QAction::toggled, search, &QAction::setChecked);
    connect(findPane_, &cFindPane::itemChosen, this, &cMainframe::showItemRequested);
}

void cMainframe::showFindPane() {
    if (findBar_->isHidden()) {
        findBar_->show();
        resizeDocks({findBar_}, {findBar_->sizeVert().width()}, Qt::Horizontal);
    }
    findPane_->focusSearchBox();
}

int cMainframe::findBarWidth() const {
    // A typical name beside the QL and ID columns, the view's frame, the pane's
    // margins and a scroll bar.
    const QTableView* view = findPane_->resultsView();
    const QHeaderView* columns = view->horizontalHeader();
    const int margins = findPane_->layout()->contentsMargins().left() +
                        findPane_->layout()->contentsMargins().right();
    return view->fontMetrics().horizontalAdvance(QLatin1Char('n')) * kTypicalNameLength +
           columns->sectionSize(cFindResultsModel::kQlColumn) +
           columns->sectionSize(cFindResultsModel::kIdColumn) + 2 * view->frameWidth() + margins +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void cMainframe::setReadingOrder() {
    // Tab goes as one reads the window: the box at the top, the tree at the
    // left, the report, then Find at the right; hidden ones are passed over.
    QWidget* const order[] = {itemIdBox_, itemTree_, reportPane_, findPane_->searchBox(),
                              findPane_->resultsView()};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void cMainframe::createCompareBar() {
    compareBar_ = new CSizingControlBar(this);
    compareBar_->Create(frameText(kCompareBarTitle), this, idCompareBar);
    compareBar_->setSizeHorz(QSize(compareBar_->sizeHorz().width(), kCompareBarHeight));
    compareBar_->setObjectName(QStringLiteral("compareBar"));
    comparePane_ = new cComparePane(compareBar_);
    compareBar_->setWidget(comparePane_);
    compareBar_->setBarStyle(CSizingControlBar::sizeChild);
    addDockWidget(Qt::BottomDockWidgetArea, compareBar_);
    compareBar_->hide();
    QAction* view = actions_[cmdViewCompare];
    view->setCheckable(true);
    connect(view, &QAction::toggled, this, [this](bool on) {
        if (on)
            showComparePane();
        else
            compareBar_->hide();
    });
    connect(compareBar_->toggleViewAction(), &QAction::toggled, view, &QAction::setChecked);
    connect(comparePane_, &cComparePane::itemChosen, this, &cMainframe::showItemRequested);

    QAction* add = actions_[cmdAddToCompare];
    connect(add, &QAction::triggered, this,
            [this] { emit compareRequested(selectedFindResults()); });
    // Find's results offer it on their context menu, for the results
    // selected, beside copying them.
    QTableView* results = findPane_->resultsView();
    results->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(results, &QWidget::customContextMenuRequested, this, [this, results, add](QPoint at) {
        if (!results->indexAt(at).isValid()) return;
        results->setFocus(Qt::PopupFocusReason);
        QMenu menu(this);
        menu.addAction(add);
        menu.addAction(findPane_->copyAction());
        menu.exec(results->viewport()->mapToGlobal(at));
    });
}

void cMainframe::showComparePane() {
    if (!compareBar_->isHidden()) return;
    compareBar_->show();
    resizeDocks({compareBar_}, {compareBar_->sizeHorz().height()}, Qt::Vertical);
}

std::vector<ZRID> cMainframe::selectedFindResults() const {
    std::vector<ZRID> zrids;
    const QTableView* results = findPane_->resultsView();
    if (!results->hasFocus()) return zrids;
    QModelIndexList rows = results->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows)
        zrids.push_back(findPane_->resultsModel()->zridAt(row.row()));
    return zrids;
}

void cMainframe::createReportLinks() {
    reportPane_->setNameIndex(names_);
    connect(reportPane_, &cReportPane::itemLinkActivated, this, &cMainframe::showItemRequested);
    reportPane_->setContextActions({actions_[cmdAddToCompare], actions_[cmdFindMentions]});
    connect(actions_[cmdFindMentions], &QAction::triggered, this,
            [this] { emit commandTriggered(cmdFindMentions); });
}

void cMainframe::findMentionsOf(ZRID zrid) {
    showFindPane();
    findPane_->searchBox()->setText(QStringLiteral("arg:%1").arg(zrid)); // the query's one hook
}

void cMainframe::createFileDrop() {
    auto* drop = new cFileDrop([this] { return actions_[cmdImport]->isEnabled(); }, this);
    for (QWidget* target :
         {static_cast<QWidget*>(this), reportPane_->viewport(), static_cast<QWidget*>(itemIdBox_)})
        drop->watch(target);
    connect(drop, &cFileDrop::fileDropped, this, &cMainframe::importRequested);
}

QMenu* cMainframe::createPopupMenu() {
    return nullptr;
}

void cMainframe::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!sizedDock_) {
        // The dock starts at the size of its state, not what its child asks for.
        sizedDock_ = true;
        treeBar_->ApplyDockedSize();
    }
}

QAction* cMainframe::action(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

void cMainframe::updateEditCommands() {
    if (actions_.empty() || !reportPane_) return;
    // The edit commands reach the report once the user has worked in it.
    const bool active = reportPane_->isActiveView();
    const bool hasSelection = reportPane_->textCursor().hasSelection();
    actions_[cmdEditUndo]->setEnabled(active && reportPane_->document()->isUndoAvailable());
    actions_[cmdEditCut]->setEnabled(active && hasSelection);
    actions_[cmdEditCopy]->setEnabled(active && hasSelection);
    actions_[cmdEditPaste]->setEnabled(active && reportPane_->canPaste());
}

void cMainframe::focusPane(int step) {
    // The visible panes in reading order; Find takes the focus in its box.
    std::vector<QWidget*> panes;
    for (QWidget* pane : {static_cast<QWidget*>(itemTree_), static_cast<QWidget*>(reportPane_),
                          static_cast<QWidget*>(findPane_)})
        if (pane->isVisible()) panes.push_back(pane);
    if (panes.empty()) return;
    const int count = static_cast<int>(panes.size());
    const QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (focus && (panes[i] == focus || panes[i]->isAncestorOf(focus))) current = i;
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
    panes[next]->activateWindow(); // Find may float in a window of its own
    panes[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// --- operations --------------------------------------------------------------

void cMainframe::displayItem(const cItemStore& store, ZRID zrid) {
    beginMessageOperation();
    const std::string report = writeItemReport(store, zrid, *this);
    endMessageOperation(tr("while loading item %1").arg(zrid));
    reportPane_->setReportText(report);
    itemIdBox_->setText(QString::number(zrid));
}

TreeItemHandle cMainframe::getSelectedTreeItem() const {
    return itemTree_->caretItem();
}

TreeItemHandle cMainframe::revealItem(ZRID zrid) {
    // A node the user chose keeps the selection; otherwise the item's first.
    const TreeItemHandle selected = itemTree_->caretItem();
    const bool chosen = zrid != 0 && treeModel_->itemZrid(selected) == zrid;
    selectTreeItem(chosen ? selected : treeModel_->findFirstItem(zrid), zrid);
    return itemTree_->caretItem();
}

void cMainframe::clearItem() {
    reportPane_->setReportText({});
    itemIdBox_->clear();
}

void cMainframe::setItemFile(const std::string& path) {
    setWindowFilePath(path.empty() ? QString() : fileNameForDisplay(path));
}

void cMainframe::showStatusMessage(const QString& text) {
    statusBar_->showMessage(text);
}

void cMainframe::selectTreeItem(TreeItemHandle handle, ZRID zrid) {
    treeModel_->commitPending();
    if (handle != 0 && !treeModel_->isValidHandle(handle))
        handle = zrid != 0 ? treeModel_->findFirstItem(zrid) : 0;
    itemTree_->selectItem(handle);
}

cTreeControl& cMainframe::treeControl() {
    return *treeFeed_;
}

void cMainframe::showImportRunning(bool running) {
    if (!running) treeModel_->commitPending();
    findPane_->setImportRunning(running);
}

void cMainframe::setRecentFiles(const std::vector<std::string>& paths) {
    recentFilesMenu_->clear();
    int number = 0;
    for (const std::string& path : paths) {
        const QString name = fileNameForDisplay(path);
        QAction* entry = recentFilesMenu_->addAction(tr("&%1 %2").arg(++number).arg(
            QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        entry->setStatusTip(name);
        connect(entry, &QAction::triggered, this, [this, path] { emit importRequested(path); });
    }
}

void cMainframe::restoreSettings(QSettings& settings) {
    for (CSizingControlBar* bar : {static_cast<CSizingControlBar*>(treeBar_), findBar_})
        bar->LoadSizes(settings, QString::fromLatin1(kBarProfile));
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) placeOnFirstStart();
    restoreState(settings.value(kStateKey).toByteArray(), kWindowStateVersion);
    // The bands the user cannot hide stay, whatever a state says.
    menuBand_->setVisible(true);
    itemIdBand_->setVisible(true);
    actions_[cmdViewToolbar]->setChecked(!toolBar_->isHidden());
    actions_[cmdSearch]->setChecked(!findBar_->isHidden());
    actions_[cmdViewStatusBar]->setChecked(settings.value(kStatusBarKey, true).toBool());
}

void cMainframe::placeOnFirstStart() {
    const QRect screenArea = screen()->availableGeometry();
    const QSize size = (screenArea.size() * kFirstStartShare).expandedTo(minimumSizeHint());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screenArea));
}

void cMainframe::saveSettings(QSettings& settings) const {
    for (const CSizingControlBar* bar : {static_cast<CSizingControlBar*>(treeBar_), findBar_})
        bar->SaveSizes(settings, QString::fromLatin1(kBarProfile));
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kStateKey, saveState(kWindowStateVersion));
    settings.setValue(kStatusBarKey, actions_.at(cmdViewStatusBar)->isChecked());
}

void cMainframe::closeEvent(QCloseEvent* event) {
    QSettings settings;
    saveSettings(settings);
    // Work running now stops at its next dispatch of events (stopRequested).
    // The window goes at once all the same: the program ends as its last
    // window closes, once the work has returned to the event loop.
    closeRequested_ = true;
    QMainWindow::closeEvent(event);
}

// --- progress ----------------------------------------------------------------

void cMainframe::beginProgress(const std::string& label, std::int32_t start) {
    progress_->Create(frameText(label.c_str()), 100, 100, true, 0);
    if (start != 0) progress_->SetPos(start);
}

void cMainframe::setProgress(std::int32_t position) {
    progress_->SetPos(position);
}

void cMainframe::endProgress() {
    progress_->RestorePane();
}

void cMainframe::pumpMessages() {
    // Views learn of the nodes appended so far before the window repaints.
    treeModel_->commitPending();
    if (names_.pendingCount() >= kNameCommitBatch) findPane_->refresh();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// --- messages ----------------------------------------------------------------

void cMainframe::beginMessageOperation() {
    throttle_.beginOperation();
}

void cMainframe::endMessageOperation(const QString& what) {
    const cMessageThrottle::Summary summary = throttle_.endOperation();
    if (summary.suppressed == 0 || closeRequested_) return;
    const QString text =
        summary.suppressed == 1
            ? tr("1 more message like the one shown came up %1; it was not shown on its own.")
                  .arg(what)
            : tr("%1 more messages like the one shown came up %2; they were not shown one by "
                 "one.")
                  .arg(summary.suppressed)
                  .arg(what);
    QStringList details;
    for (const std::string& message : summary.texts)
        details << textFromBytes(message);
    if (summary.suppressed > summary.texts.size())
        details << tr("... and %1 more.").arg(summary.suppressed - summary.texts.size());
    QMessageBox box(QMessageBox::Warning, textFromBytes(summary.caption), text, QMessageBox::Ok,
                    this);
    box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}

void cMainframe::showMessage(const std::string& caption, const std::string& text) {
    if (closeRequested_ || !throttle_.admit(caption, text)) return;
    QMessageBox box(QMessageBox::Warning, textFromBytes(caption), textFromBytes(text),
                    QMessageBox::Ok, this);
    box.exec();
}

} // namespace quarry
