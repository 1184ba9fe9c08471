// The main window: the toolbar, menu bar and "Item ID" bands at the top, the
// "Items" dock with the category tree on the left, the report pane in its thin
// frame filling the rest, and the status bar with the progress control. It
// serves the store as progress display, message sink and (through a feed into
// its tree model) tree control, and offers the operations the application
// uses to show items and move the tree's selection.
#pragma once

#include "search/query_index.h"
#include "store/store_host.h"
#include "ui/message_throttle.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QSettings;
class QToolBar;

namespace quarry {

class cItemStore;
class cFindPane;
struct cImportResult;
class cItemIdBox;
class cItemTree;
class cItemTreeBar;
class cItemTreeModel;
class cReportPane;
class CMenuBar;
class CPaneStatusBar;
class CProgressBar;
class CSizingControlBar;
class CThinSplitterWnd;

class cMainframe : public QMainWindow, public cProgressHost, public cMessageSink {
    Q_OBJECT
public:
    explicit cMainframe(QWidget* parent = nullptr);
    ~cMainframe() override;

    // Builds every window in the classic order: client area, status bar, menu
    // bar, toolbar, identifier box, bands, dock and tree; then lets files be
    // dropped on it. False, with a reason
    // for the user in `failure`, when a piece cannot be made.
    bool create(QString* failure);

    // --- operations for the application ------------------------------------
    // The item's report into the report pane, its identifier into the box.
    void displayItem(const cItemStore& store, ZRID zrid);
    TreeItemHandle getSelectedTreeItem() const;
    // Selects `handle` without reporting it. A handle from an earlier tree
    // selects the first node carrying `zrid` instead, or nothing.
    void selectTreeItem(TreeItemHandle handle, ZRID zrid);
    // Rebuilds the category tree from the store under "Importing Item Data",
    // gathering every item's name for Find on the way.
    cImportResult importItems(const cItemStore& store);
    // While an import runs, Import is disabled, Find covers the items filed
    // so far, and closing the window stops it (the window goes at once and
    // the program ends when the import has returned). A new import starts
    // Find afresh.
    void setImportRunning(bool running);
    // The entries of File > Recent Files, newest first (file names' bytes).
    void setRecentFiles(const std::vector<std::string>& paths);
    bool importRunning() const { return importRunning_; }
    // While an export runs, Import is disabled and closing the window stops
    // the export as it stops an import.
    void setExportRunning(bool running);
    bool exportRunning() const { return exportRunning_; }
    bool closeRequested() const { return closeRequested_; }

    // The window between runs: its geometry, its bands and docks (by object
    // name, whatever docks there are), the status bar and the Items bar's
    // sizes. Read before the window shows; written when it closes.
    void restoreSettings(QSettings& settings);
    void saveSettings(QSettings& settings) const;

    // cProgressHost
    void beginProgress(const std::string& label, std::int32_t start) override;
    void setProgress(std::int32_t position) override;
    void endProgress() override;
    void pumpMessages() override;
    // Closing the window stops an import or export at its next dispatch.
    bool stopRequested() const override { return closeRequested_; }
    // cMessageSink: a modal box owned by this window; within one operation
    // (an import, one item shown) only the first is shown and the rest are
    // counted and summarised when the operation ends.
    void showMessage(const std::string& caption, const std::string& text) override;

    // No context menu on the bands and the dock: the menu bar cannot be
    // hidden, and View has the Toolbar and Status Bar toggles.
    QMenu* createPopupMenu() override;

    // --- the pieces --------------------------------------------------------
    QAction* action(int command) const;
    cReportPane* reportPane() const { return reportPane_; }
    cItemIdBox* itemIdBox() const { return itemIdBox_; }
    cItemTree* itemTree() const { return itemTree_; }
    cItemTreeModel* treeModel() const { return treeModel_; }
    cItemTreeBar* treeBar() const { return treeBar_; }
    CSizingControlBar* findBar() const { return findBar_; }
    cFindPane* findPane() const { return findPane_; }
    const cQueryIndex& names() const { return names_; }
    CMenuBar* menuBarControl() const { return menuBar_; }
    CPaneStatusBar* paneStatusBar() const { return statusBar_; }
    CProgressBar* progressBar() const { return progress_; }
    CThinSplitterWnd* splitter() const { return splitter_; }
    QToolBar* toolBar() const { return toolBar_; }
    QToolBar* menuBand() const { return menuBand_; }
    QToolBar* itemIdBand() const { return itemIdBand_; }

signals:
    // The user asked for an item: a tree selection or Enter in the box.
    void showItemRequested(ZRID zrid);
    // A command the application carries out (Import, Back, Forward, About).
    void commandTriggered(int command);
    // The user chose a file to import: from Recent Files, or dropped on the window.
    void importRequested(const std::string& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool createClient(QString* failure);
    void createStatusBar();
    void createActions();
    bool createMenuBar(QString* failure);
    bool createToolBars(QString* failure);
    void createItemIdBand();
    void createDockWindows();
    void createFindBar();
    void showFindPane();
    // A result chosen in Find: the tree selects the item's first node, then
    // the item is shown as one history step that records that node.
    void showFoundItem(ZRID zrid);
    void createFileDrop();
    void updateEditCommands();
    void focusPane(int step);

    void beginMessageOperation();
    void endMessageOperation(const QString& what);

    CThinSplitterWnd* splitter_ = nullptr;
    cReportPane* reportPane_ = nullptr;
    CPaneStatusBar* statusBar_ = nullptr;
    CProgressBar* progress_ = nullptr;
    CMenuBar* menuBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolBar* menuBand_ = nullptr;
    QToolBar* itemIdBand_ = nullptr;
    cItemIdBox* itemIdBox_ = nullptr;
    cItemTreeBar* treeBar_ = nullptr;
    cItemTree* itemTree_ = nullptr;
    cItemTreeModel* treeModel_ = nullptr;
    CSizingControlBar* findBar_ = nullptr;
    cFindPane* findPane_ = nullptr;
    cQueryIndex names_;
    std::map<int, QAction*> actions_;
    QMenu* recentFilesMenu_ = nullptr;
    cMessageThrottle throttle_;
    bool importRunning_ = false;
    bool exportRunning_ = false;
    bool closeRequested_ = false;
    bool sizedDock_ = false;
};

} // namespace quarry
