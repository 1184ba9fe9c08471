// The main window: the toolbar, menu bar and "Item ID" bands at the top, the
// "Items" dock with the category tree on the left, the report pane in its thin
// frame filling the rest, and the status bar with the progress control. It
// serves the import as progress display, message sink and (through a feed into
// its tree model) tree control, and offers the operations the application
// uses to show items and move the tree's selection. The application decides
// what runs and which commands are enabled; the frame shows what it is told.
#pragma once

#include "store/store_host.h"
#include "ui/message_throttle.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QSettings;
class QToolBar;

namespace quarry {

class cItemStore;
class cComparePane;
class cFindPane;
class cItemIdBox;
class cItemTree;
class cItemTreeBar;
class cItemTreeFeed;
class cItemTreeModel;
class cQueryIndex;
class cReportPane;
class CMenuBar;
class CPaneStatusBar;
class CProgressBar;
class CSizingControlBar;
class CThinSplitterWnd;

class cMainframe : public QMainWindow, public cProgressHost, public cMessageSink {
    Q_OBJECT
public:
    // Find searches `names`, which the application's imports fill.
    explicit cMainframe(cQueryIndex& names, QWidget* parent = nullptr);
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
    // Selects the node of the item just shown and scrolls to it: the selected
    // node when it carries the item (the user chose it there), else the
    // item's first node; with no node (the item is filed in no folder) the
    // selection is cleared. Answers the node selected, 0 for none.
    TreeItemHandle revealItem(ZRID zrid);
    // An empty report and box: no item is shown.
    void clearItem();
    // The window's title names the item file whose items it holds; an empty
    // path names none.
    void setItemFile(const std::string& path);
    // A message in the status bar until the next one (a command's prompt)
    // replaces it.
    void showStatusMessage(const QString& text);
    // Selects `handle` without reporting it. A handle from an earlier tree
    // selects the first node carrying `zrid` instead, or nothing.
    void selectTreeItem(TreeItemHandle handle, ZRID zrid);
    // The tree control an import builds the category tree into: the tree
    // pane's model, which shows the nodes appended so far at every dispatch.
    cTreeControl& treeControl();
    // While an import runs, Find covers the items filed so far and says so;
    // at its end the tree and Find show everything it filed.
    void showImportRunning(bool running);
    // The entries of File > Recent Files, newest first (file names' bytes).
    void setRecentFiles(const std::vector<std::string>& paths);
    // Once the user closed the window, long work stops at its next dispatch
    // (the window goes at once; the program ends when the work has returned)
    // and no message box opens.
    bool closeRequested() const { return closeRequested_; }
    // Messages of one operation (an import, one item shown): the first is
    // shown, the rest are summarised when it ends, with `what` saying when
    // they came up.
    void beginMessageOperation();
    void endMessageOperation(const QString& what);

    // The window between runs: its geometry, its bands and docks (by object
    // name, whatever docks there are), the status bar and the Items bar's
    // sizes. Read before the window shows; written when it closes. With no
    // geometry kept, the window takes two thirds of the screen, centred.
    void restoreSettings(QSettings& settings);
    void saveSettings(QSettings& settings) const;

    // cProgressHost
    void beginProgress(const std::string& label, std::int32_t start) override;
    void setProgress(std::int32_t position) override;
    void endProgress() override;
    void pumpMessages() override;
    bool stopRequested() const override { return closeRequested_; }
    // cMessageSink: a modal box owned by this window; within one operation
    // (an import, one item shown) only the first is shown and the rest are
    // counted and summarised when the operation ends.
    void showMessage(const std::string& caption, const std::string& text) override;

    // No context menu on the bands and the dock: the menu bar cannot be
    // hidden, and View has the Toolbar and Status Bar toggles.
    QMenu* createPopupMenu() override;

    // --- the compare list and the report's links -----------------------------
    // Shows the Compare pane, at the height it had.
    void showComparePane();
    // Find runs the query for the items that mention this one.
    void findMentionsOf(ZRID zrid);

    // --- the pieces --------------------------------------------------------
    QAction* action(int command) const;
    cReportPane* reportPane() const { return reportPane_; }
    cItemIdBox* itemIdBox() const { return itemIdBox_; }
    cItemTree* itemTree() const { return itemTree_; }
    cItemTreeModel* treeModel() const { return treeModel_; }
    cItemTreeBar* treeBar() const { return treeBar_; }
    CSizingControlBar* findBar() const { return findBar_; }
    cFindPane* findPane() const { return findPane_; }
    CSizingControlBar* compareBar() const { return compareBar_; }
    cComparePane* comparePane() const { return comparePane_; }
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
    // A command the application carries out (Import, Export, Back, Forward, About).
    void commandTriggered(int command);
    // The user chose a file to import: from Recent Files, or dropped on the window.
    void importRequested(const std::string& path);
    // Add to Compare: the results selected in Find when its results have the
    // focus, otherwise none, which stands for the item shown.
    void compareRequested(const std::vector<ZRID>& zrids);

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
    // The Find bar's width until the user sizes it: a typical name whole.
    int findBarWidth() const;
    void createCompareBar();
    void createReportLinks();
    std::vector<ZRID> selectedFindResults() const;
    void createFileDrop();
    // Tab and Shift+Tab follow the window as one reads it.
    void setReadingOrder();
    void placeOnFirstStart();
    void updateEditCommands();
    void focusPane(int step);

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
    std::unique_ptr<cItemTreeFeed> treeFeed_;
    CSizingControlBar* findBar_ = nullptr;
    cFindPane* findPane_ = nullptr;
    CSizingControlBar* compareBar_ = nullptr;
    cComparePane* comparePane_ = nullptr;
    cQueryIndex& names_;
    std::map<int, QAction*> actions_;
    QMenu* recentFilesMenu_ = nullptr;
    cMessageThrottle throttle_;
    bool closeRequested_ = false;
    bool sizedDock_ = false;
};

} // namespace quarry
