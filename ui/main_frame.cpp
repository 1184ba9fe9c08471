#include "ui/main_frame.h"

#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/sizing_control_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "report/item_report.h"
#include "store/item_store.h"
#include "ui/find_pane.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_feed.h"
#include "ui/item_tree_model.h"
#include "ui/message_pump.h"
#include "ui/report_pane.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QToolBar>

namespace quarry {

namespace {

constexpr int kToolbarImageSize = 20;

// The Find bar docked at a side: room for names of about thirty letters beside
// the QL and ID columns.
constexpr int kFindBarWidth = 340;

// Names join Find's index in batches of this many during an import: a commit
// costs a few tens of milliseconds, and the end of the import has little left.
constexpr std::size_t kNameCommitBatch = 32768;

// One image of a strip of 20 x 20 images laid side by side.
QPixmap stripImage(const QPixmap& strip, int index) {
    return strip.copy(index * kToolbarImageSize, 0, kToolbarImageSize, kToolbarImageSize);
}

} // namespace

cMainframe::cMainframe(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    setWindowIcon(QIcon(QStringLiteral(":/quarry/quarry.png")));
}

cMainframe::~cMainframe() {
    // The Find pane's results model reads names_, which as a member is destroyed
    // before QWidget's destructor deletes the children: the pane goes first.
    delete findBar_;
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
    resize(900, 640);
    return true;
}

bool cMainframe::createClient(QString* failure) {
    splitter_ = new CThinSplitterWnd(this);
    reportPane_ = new cReportPane;
    splitter_->setPane(reportPane_);
    if (!splitter_->GetPane(0, 0)) {
        if (failure)
            *failure = QStringLiteral("Failed to create views in the split window structure.");
        return false;
    }
    setCentralWidget(splitter_);
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
    const int commands[] = {cmdImport,   cmdAppExit,   cmdEditUndo,    cmdEditCut,
                            cmdEditCopy, cmdEditPaste, cmdViewToolbar, cmdViewStatusBar,
                            cmdBack,     cmdForward,   cmdAppAbout,    cmdSearch,
                            cmdNextPane, cmdPrevPane,  cmdEditFind};
    auto menuText = [](const std::vector<CMenuItem>& items, int command, auto&& self) -> QString {
        for (const CMenuItem& item : items) {
            if (item.command == command && !item.text.isEmpty()) return item.text;
            const QString inner = self(item.children, command, self);
            if (!inner.isEmpty()) return inner;
        }
        return QString();
    };
    for (int command : commands) {
        auto* action = new QAction(this);
        const QString text = menuText(kMainMenu(), command, menuText);
        const QString string = loadString(command);
        action->setText(text.isEmpty() ? tooltipOf(string) : text);
        action->setStatusTip(promptOf(string));
        if (!tooltipOf(string).isEmpty()) action->setToolTip(tooltipOf(string));
        action->setData(command);
        actions_[command] = action;
        addAction(action); // accelerators work wherever the focus is in the window
    }
    actions_[cmdSearch]->setText(QStringLiteral("Search"));
    for (const cAccelerator& accelerator : kAccelerators()) {
        QAction* action = actions_[accelerator.command];
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(accelerator.keys);
        action->setShortcuts(keys);
    }

    for (int command : {cmdImport, cmdBack, cmdForward, cmdAppAbout})
        connect(actions_[command], &QAction::triggered, this,
                [this, command] { emit commandTriggered(command); });
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
    // opens it at its box. Back and Forward wait for the history.
    actions_[cmdSearch]->setCheckable(true);
    connect(actions_[cmdEditFind], &QAction::triggered, this, &cMainframe::showFindPane);
    actions_[cmdBack]->setEnabled(false);
    actions_[cmdForward]->setEnabled(false);
    updateEditCommands();
}

bool cMainframe::createMenuBar(QString* failure) {
    menuBar_ = new CMenuBar(this);
    if (!menuBar_->LoadMenuBar(kMainMenu(), [this](int command) { return action(command); })) {
        if (failure) *failure = QStringLiteral("The main menu could not be built.");
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
            if (failure) *failure = QStringLiteral("The toolbar images could not be loaded.");
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

    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    toolBar_->addAction(actions_[cmdBack]);
    toolBar_->addAction(actions_[cmdForward]);
    toolBar_->addSeparator();
    toolBar_->addAction(actions_[cmdSearch]);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(actions_[cmdViewToolbar], &QAction::toggled, toolBar_, &QWidget::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, actions_[cmdViewToolbar], &QAction::setChecked);

    menuBand_ = new QToolBar(QStringLiteral("Menu Bar"), this);
    menuBand_->setObjectName(QStringLiteral("menuBand"));
    menuBand_->addWidget(menuBar_);
    addToolBar(Qt::TopToolBarArea, menuBand_);
    return true;
}

void cMainframe::createItemIdBand() {
    itemIdBand_ = new QToolBar(QString::fromLatin1(kItemIdBandLabel), this);
    itemIdBand_->setObjectName(QStringLiteral("itemIdBand"));
    auto* label = new QLabel(QString::fromLatin1(kItemIdBandLabel), itemIdBand_);
    label->setContentsMargins(4, 0, 4, 0);
    itemIdBand_->addWidget(label);
    itemIdBox_ = new cItemIdBox(itemIdBand_);
    itemIdBand_->addWidget(itemIdBox_);
    addToolBar(Qt::TopToolBarArea, itemIdBand_);
    connect(itemIdBox_, &cItemIdBox::showRequested, this, &cMainframe::showItemRequested);
}

void cMainframe::createDockWindows() {
    treeBar_ = new cItemTreeBar(this);
    treeBar_->Create(QString::fromLatin1(kTreeBarTitle), this, idTreeBar);
    treeModel_ = new cItemTreeModel(this);
    itemTree_ = new cItemTree(treeBar_);
    itemTree_->setItemModel(treeModel_);
    treeBar_->setWidget(itemTree_);
    treeBar_->setBarStyle(treeBar_->barStyle()); // the child now exists: let it fill the bar
    addDockWidget(Qt::LeftDockWidgetArea, treeBar_);
    // The layout sizes the dock from its child at first; remember the width
    // the bar asks for so the first show can give it that.
    initialDockWidth_ = treeBar_->sizeVert().width();
    connect(itemTree_, &cItemTree::itemChosen, this, &cMainframe::showItemRequested);
}

void cMainframe::createFindBar() {
    findBar_ = new CSizingControlBar(this);
    findBar_->Create(tr(kFindBarTitle), this, idFindBar);
    findBar_->setSizeVert(QSize(kFindBarWidth, findBar_->sizeVert().height()));
    findBar_->setObjectName(QStringLiteral("findBar"));
    findPane_ = new cFindPane(names_, findBar_);
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
    connect(findPane_, &cFindPane::itemChosen, this, &cMainframe::showFoundItem);
}

void cMainframe::showFindPane() {
    if (findBar_->isHidden()) {
        findBar_->show();
        resizeDocks({findBar_}, {findBar_->sizeVert().width()}, Qt::Horizontal);
    }
    findPane_->focusSearchBox();
}

void cMainframe::showFoundItem(ZRID zrid) {
    selectTreeItem(treeModel_->findFirstItem(zrid), zrid);
    emit showItemRequested(zrid);
}

void cMainframe::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!sizedDock_) {
        // The dock starts at the width its left/right size asks for.
        sizedDock_ = true;
        resizeDocks({treeBar_}, {initialDockWidth_}, Qt::Horizontal);
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
    QWidget* panes[] = {itemTree_, reportPane_};
    int current = -1;
    for (int i = 0; i < 2; ++i)
        if (panes[i]->hasFocus()) current = i;
    const int next = current < 0 ? (step > 0 ? 0 : 1) : (current + step + 2) % 2;
    panes[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// --- operations --------------------------------------------------------------

void cMainframe::displayItem(const cItemStore& store, ZRID zrid) {
    beginMessageOperation();
    const std::string report = writeItemReport(store, zrid, *this);
    endMessageOperation(QStringLiteral("while loading item %1").arg(zrid));
    reportPane_->setReportText(report);
    itemIdBox_->setText(QString::number(zrid));
}

TreeItemHandle cMainframe::getSelectedTreeItem() const {
    return itemTree_->caretItem();
}

void cMainframe::selectTreeItem(TreeItemHandle handle, ZRID zrid) {
    treeModel_->commitPending();
    if (handle != 0 && !treeModel_->isValidHandle(handle))
        handle = zrid != 0 ? treeModel_->findFirstItem(zrid) : 0;
    itemTree_->selectItem(handle);
}

cImportResult cMainframe::importItems(const cItemStore& store) {
    beginProgress("Importing Item Data", 0);
    beginMessageOperation();
    cItemTreeFeed feed(*treeModel_);
    names_.clear();
    const cImportResult result = store.buildCategoryTree(feed, *this, *this, &names_);
    treeModel_->commitPending();
    endProgress();
    endMessageOperation(QStringLiteral("while importing the item data"));
    return result;
}

void cMainframe::setImportRunning(bool running) {
    importRunning_ = running;
    actions_[cmdImport]->setEnabled(!running);
    if (running) names_.clear();
    findPane_->setImportRunning(running);
    if (!running) names_.shrinkToFit();
}

void cMainframe::closeEvent(QCloseEvent* event) {
    if (importRunning_) {
        // The import stops at its next dispatch of events (stopRequested);
        // the window goes at once and closes when the import has returned.
        closeRequested_ = true;
        hide();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// --- progress ----------------------------------------------------------------

void cMainframe::beginProgress(const std::string& label, std::int32_t start) {
    progress_->Create(textFromBytes(label), 100, 100, true, 0);
    if (start != 0) progress_->SetPos(start);
    // A new phase paints its label at the next chance.
    sharedMessagePump().reset();
}

void cMainframe::setProgress(std::int32_t position) {
    progress_->SetPos(position);
}

void cMainframe::endProgress() {
    progress_->RestorePane();
}

void cMainframe::pumpMessages() {
    // Views learn of the nodes appended so far before the window repaints.
    quarry::pumpMessages([this] {
        treeModel_->commitPending();
        if (names_.pendingCount() >= kNameCommitBatch) findPane_->refresh();
    });
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
            ? QStringLiteral(
                  "1 more message like the one shown came up %1; it was not shown on its own.")
                  .arg(what)
            : QStringLiteral(
                  "%1 more messages like the one shown came up %2; they were not shown one by one.")
                  .arg(summary.suppressed)
                  .arg(what);
    QMessageBox box(QMessageBox::Warning, textFromBytes(summary.caption), text, QMessageBox::Ok,
                    this);
    box.exec();
}

void cMainframe::showMessage(const std::string& caption, const std::string& text) {
    if (closeRequested_ || !throttle_.admit(caption)) return;
    QMessageBox box(QMessageBox::Warning, textFromBytes(caption), textFromBytes(text),
                    QMessageBox::Ok, this);
    box.exec();
}

} // namespace quarry
