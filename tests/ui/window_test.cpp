// The real main window, driven as a user drives it: import a small item file,
// pick items in the tree by keyboard, mouse and program, type identifiers into
// the box, step Back and Forward, and watch the report, the box, the commands'
// enabled states, the status bar, the dock and the message boxes.
#include "app/quarry.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "ui/file_names.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>

namespace quarry {

namespace {

const char* const kItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<Description>Sharp.</Description><AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" ItemType=\"Misc\" IsNano=\"True\"></Item></RDB>";

// For the Find pane. Item 40's action holds a tag it does not expect: its load
// raises a message box in the middle of the tree build, after items 10 to 30.
const char* const kFindItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Lamp Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" IsNano=\"True\"></Item>"
    "<Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
    "<Action Name=\"ToUse\"><Bogus/></Action></Item>"
    "<Item ZRID=\"41\" Name=\"Ember Lamp\" QL=\"2\" ItemType=\"Misc\"></Item></RDB>";

// Notes every modal dialog that comes up, then lets `answer` act on it or,
// when there is none or it answers false, closes it.
class cModalWatcher : public QObject {
public:
    struct cSeen {
        QString caption, text;
        QWidget* parent;
        qsizetype buttons;
    };
    std::vector<cSeen> seen;
    std::function<bool(QDialog*)> answer;

    cModalWatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* box = qobject_cast<QMessageBox*>(dialog);
            seen.push_back({dialog->windowTitle(), box ? box->text() : QString(),
                            dialog->parentWidget(), box ? box->buttons().size() : 0});
            if (!answer || !answer(dialog)) dialog->reject();
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

} // namespace

class cWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void commandsBarsPanesAndDockAtTheStart();
    void boxConvertsShowsAndPassesTheFocusOn();
    void importShowsProgressAndBuildsTheTree();
    void importAsksForTheFileFirst();
    void menuBarAnswersKeyboardAndMouse();
    void treeSelectionByKeyboardMouseAndProgram();
    void backAndForwardShowStepsAndReselectTheirTreeItem();
    void historyFromAnEarlierImportReselectsByIdentifier();
    void reportPaneRendersAndStaysEditable();
    void unsupportedTagsGiveOneBoxAndOneSummary();
    void aboutShowsVersionAndCloses();
    void closingDuringAnImportStopsIt();
    void unreadableFileAndBrokenPatternAreReported();
    void fileNamesKeepTheirBytes();
    void findPaneOpensAndFiltersAsYouType();
    void findPaneChoiceIsOneHistoryStepOnItsTreeNode();
    void findPaneSearchDuringAnImportRefreshesAtItsEnd();

private:
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    QString reportText() { return frame()->reportPane()->toPlainText(); }
    QAction* action(int command) { return frame()->action(command); }
    std::deque<ZRID> steps() { return app()->history().identifiers(); }
    void import(const QString& path) { QVERIFY(app()->scanItemFile(path.toStdString())); }
    // What the user sees at a glance: the box, the report's first line, Back
    // and Forward when enabled, and the tree's selected item after "@".
    QString state() {
        QStringList parts{frame()->itemIdBox()->text(), reportText().section('\n', 0, 0)};
        if (action(cmdBack)->isEnabled()) parts << QStringLiteral("Back");
        if (action(cmdForward)->isEnabled()) parts << QStringLiteral("Forward");
        const TreeItemHandle selected = frame()->getSelectedTreeItem();
        return parts.join(" | ") + " @" +
               QString::fromStdString(selected ? frame()->treeModel()->itemLabel(selected) : "");
    }
    void typeIntoBox(const QString& text) {
        frame()->itemIdBox()->setFocus(Qt::OtherFocusReason);
        frame()->itemIdBox()->setText(text);
        QTest::keyClick(frame()->itemIdBox(), Qt::Key_Return);
    }
    // The tree node at a path of labels; 0 when a step is missing.
    TreeItemHandle node(const QStringList& labels) {
        TreeItemHandle at = 0;
        for (const QString& label : labels) {
            TreeItemHandle found = 0;
            for (TreeItemHandle child : frame()->treeModel()->children(at))
                if (frame()->treeModel()->itemLabel(child) == label.toStdString()) found = child;
            if ((at = found) == 0) return 0;
        }
        return at;
    }
    void clickTreeItem(TreeItemHandle handle) {
        cItemTree* tree = frame()->itemTree();
        const QModelIndex index = frame()->treeModel()->indexOf(handle);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }
    // Imports the items and expands the tree, with the focus in it.
    cItemTree* importIntoExpandedTree() {
        import(itemsPath_);
        frame()->itemTree()->expandAll();
        frame()->itemTree()->setFocus();
        return frame()->itemTree();
    }

    cFindPane* findPane() { return frame()->findPane(); }
    QLineEdit* findBox() { return findPane()->searchBox(); }
    QString findCount() { return findPane()->countLine()->text(); }
    QStringList findRows() {
        QStringList names;
        for (int row = 0; row < findPane()->resultsModel()->rowCount(); ++row)
            names << findPane()->resultsModel()->index(row, 0).data().toString();
        return names;
    }
    // Imports the Find pane's items; `duringBox` runs while the import's
    // message box is up.
    void importFindItems(const std::function<void()>& duringBox = [] {}) {
        cModalWatcher watcher;
        watcher.answer = [&](QDialog*) { return duringBox(), false; };
        import(findPath_);
        frame()->activateWindow(); // the import's message box had the focus
        QVERIFY(QTest::qWaitForWindowActive(frame()));
    }

    QTemporaryDir dir_;
    QString findPath_ = dir_.filePath(QStringLiteral("find.xml"));
    QString itemsPath_ = dir_.filePath(QStringLiteral("items.xml"));
    QString bogusPath_ = dir_.filePath(QStringLiteral("bogus.xml"));
};

void cWindowTest::initTestCase() {
    // The second file's item holds a thousand tags its action does not expect.
    QByteArray bogus = "<RDB><Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
                       "<Action Name=\"ToUse\">";
    for (int i = 0; i < 1000; ++i)
        bogus += "<Bogus/>";
    for (const auto& [path, content] : {std::pair{itemsPath_, QByteArray(kItems)},
                                        std::pair{bogusPath_, bogus + "</Action></Item></RDB>"},
                                        std::pair{findPath_, QByteArray(kFindItems)}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
}

void cWindowTest::init() {
    QVERIFY(app()->InitInstance());
    frame()->resize(900, 640);
    frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

void cWindowTest::commandsBarsPanesAndDockAtTheStart() {
    cMainframe* f = frame();
    QCOMPARE(state(), QStringLiteral(" |  @"));
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden() && f->treeModel()->rowCount() == 0);
    // Search opens the Find pane at once; Copy waits for the report to be the active view.
    QVERIFY(action(cmdSearch)->isEnabled() && !action(cmdEditCopy)->isEnabled());
    QVERIFY(action(cmdImport)->isEnabled());
    // View > Toolbar and Status Bar hide and show their bars.
    for (auto [command, bar] : {std::pair<int, QWidget*>{cmdViewToolbar, f->toolBar()},
                                {cmdViewStatusBar, f->paneStatusBar()}}) {
        action(command)->trigger();
        QVERIFY(bar->isHidden() && !action(command)->isChecked());
        action(command)->trigger();
        QVERIFY(!bar->isHidden());
    }
    // F6 and Shift+F6 move between the panes.
    f->itemTree()->setFocus();
    QTest::keyClick(f->itemTree(), Qt::Key_F6);
    QVERIFY(f->reportPane()->hasFocus() && f->reportPane()->isActiveView());
    QTest::keyClick(f->reportPane(), Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(f->itemTree()->hasFocus());
    // The tree's dock starts at the left at its size and stays open.
    QCOMPARE(f->dockWidgetArea(f->treeBar()), Qt::LeftDockWidgetArea);
    QTRY_COMPARE(f->treeBar()->width(), 200);
    QVERIFY(!f->treeBar()->close());
}

void cWindowTest::boxConvertsShowsAndPassesTheFocusOn() {
    typeIntoBox(QStringLiteral("10")); // nothing imported yet
    QCOMPARE(state(), QStringLiteral("10 | --failed to load item data-- @"));
    import(itemsPath_);
    const char* const cases[][2] = {{"  10", "10"}, {"42abc", "42"},      {"abc", "0"}, {"", "0"},
                                    {"-7", "-7"},   {"4294967306", "10"}, {"10", "10"}};
    for (const auto& [typed, shown] : cases) {
        typeIntoBox(QString::fromLatin1(typed));
        QCOMPARE(frame()->itemIdBox()->text(), QString::fromLatin1(shown));
        QCOMPARE(steps().back(), QByteArray(shown).toInt());
        QCOMPARE(reportText().contains(QStringLiteral("Ring")), shown == std::string("10"));
    }
    QCOMPARE(steps().size(), std::size_t(8)); // Enter twice on one text: two steps
    // After Enter the focus has left the box for the frame's client area, and
    // a second Enter there shows nothing.
    QVERIFY(frame()->splitter()->hasFocus());
    QTest::keyClick(frame()->splitter(), Qt::Key_Return);
    QCOMPARE(steps().size(), std::size_t(8));
    // Coming back to the box by a click selects its whole text.
    cItemIdBox* box = frame()->itemIdBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, box->height() / 2));
    QTest::keyClicks(box, QStringLiteral("12"));
    QCOMPARE(box->text(), QStringLiteral("12")); // typing replaces the selection
}

void cWindowTest::importShowsProgressAndBuildsTheTree() {
    cMainframe* f = frame();
    QStringList paneTexts;
    bool importDisabledDuring = false;
    QString reportDuringBuild;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const QString text = f->paneStatusBar()->paneText(0);
        if (paneTexts.isEmpty() || paneTexts.back() != text) paneTexts << text;
        importDisabledDuring |= !action(cmdImport)->isEnabled();
        // The window answers during the build: showing an item works.
        if (text == QStringLiteral("Importing Item Data") && reportDuringBuild.isEmpty()) {
            app()->showItem(12);
            reportDuringBuild = reportText();
        }
    });
    watch.start(0);
    import(itemsPath_);
    watch.stop();
    QCOMPARE(paneTexts.value(0), QStringLiteral("Scanning File"));
    QVERIFY2(paneTexts.contains(QStringLiteral("Importing Item Data")),
             qPrintable(paneTexts.join('|')));
    QVERIFY(importDisabledDuring && reportDuringBuild.contains(QStringLiteral("Lamp")));
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden() && action(cmdImport)->isEnabled());
    // The tree: the root expanded, items under their folders with their ZRIDs.
    cItemTreeModel* model = f->treeModel();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(f->itemTree()->isExpanded(model->index(0, 0)) && !model->hasPending());
    QCOMPARE(model->itemZrid(node({"ZR Items", "Misc", "Ring (QL 25)"})), 10);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"})), 20);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Nanoprogram", "Heal"})), 30);
    // Importing leaves the history, the report and the box as they were.
    import(itemsPath_);
    QCOMPARE(steps(), std::deque<ZRID>{12});
    QCOMPARE(state(), QStringLiteral("12 | ZRID 12: Lamp (QL 7) @"));
}

void cWindowTest::importAsksForTheFileFirst() {
    cModalWatcher watcher;
    watcher.answer = [this](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (files->nameFilters().value(0) != QStringLiteral("Parsed RDB Files (*.xml)"))
            return false;
        files->selectFile(itemsPath_);
        dialog->accept(); // the dialog checks and takes the file
        return true;
    };
    action(cmdImport)->trigger();
    QCOMPARE(watcher.seen.at(0).caption, QStringLiteral("Import Parsed RDB File"));
    QCOMPARE(watcher.seen[0].parent, static_cast<QWidget*>(frame()));
    QTRY_VERIFY(node({"ZR Items", "Misc", "Ring (QL 25)"}) != 0);
}

void cWindowTest::menuBarAnswersKeyboardAndMouse() {
    CMenuBar* bar = frame()->menuBarControl();
    cItemTree* tree = frame()->itemTree();
    tree->setFocus();
    // Alt+letter opens that popup.
    QTest::keyClick(tree, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(bar->popup(0)->isVisible());
    // Sliding the mouse along the open bar opens each popup in turn; while a
    // popup is open the platform hands it every mouse move.
    const QPointF global =
        bar->mapToGlobal(QPointF(bar->actionGeometry(bar->actions()[1]).center()));
    QMouseEvent move(QEvent::MouseMove, bar->popup(0)->mapFromGlobal(global), global, Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar->popup(0), &move);
    QTRY_VERIFY(bar->popup(1)->isVisible());
    QVERIFY(!bar->popup(0)->isVisible());
    QTest::keyClick(bar->popup(1), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(1)->isVisible());
    bar->setActiveAction(nullptr);
    // Alt alone gives the bar the keyboard with its first item highlighted,
    // the arrows move along it, and Alt again gives the keyboard back.
    tree->setFocus();
    QTest::keyPress(tree, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(tree, Qt::Key_Alt, Qt::AltModifier);
    QTRY_COMPARE(bar->activeAction(), bar->actions()[0]);
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(bar->activeAction(), bar->actions()[3]);
    QTest::keyPress(bar, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(bar, Qt::Key_Alt, Qt::AltModifier);
    QTRY_VERIFY(tree->hasFocus() && bar->activeAction() == nullptr);
}

void cWindowTest::treeSelectionByKeyboardMouseAndProgram() {
    cItemTree* tree = importIntoExpandedTree();
    // A selection by the program shows nothing and records nothing.
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    QCOMPARE(state(), QStringLiteral(" |  @Misc"));
    // Arrow keys show every item passed over, each a step with its handle.
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(state(), QStringLiteral("11 | ZRID 11: Cup (QL 3) | Back @Cup (QL 3)"));
    QCOMPARE(app()->history().treeItems().back(), node({"ZR Items", "Misc", "Cup (QL 3)"}));
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Up); // onto the Misc folder: nothing
    QCOMPARE(steps(), (std::deque<ZRID>{10, 11, 10}));
    // The mouse: an item shows, the selected item again and a folder do not.
    const TreeItemHandle blade = node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"});
    clickTreeItem(blade);
    clickTreeItem(blade);
    clickTreeItem(node({"ZR Items", "Weapon"}));
    QCOMPARE(steps().size(), std::size_t(4));
    QCOMPARE(state(), QStringLiteral("20 | ZRID 20: Blade (QL 100) | Back @Weapon"));
}

// The logic tests cover the history itself; here the commands' wiring: each
// step shows its item again, and the tree selects what was selected when the
// step was taken, without a new step.
void cWindowTest::backAndForwardShowStepsAndReselectTheirTreeItem() {
    cItemTree* tree = importIntoExpandedTree();
    frame()->selectTreeItem(node({"ZR Items", "Misc", "Ring (QL 25)"}), 10);
    QTest::keyClick(tree, Qt::Key_Down); // Cup
    typeIntoBox(QStringLiteral("999"));  // typed while Cup is selected
    frame()->itemTree()->selectItem(0);
    typeIntoBox(QStringLiteral("20")); // typed with nothing selected
    frame()->selectTreeItem(node({"ZR Items", "Misc", "Ring (QL 25)"}), 10);
    action(cmdBack)->trigger();
    QCOMPARE(state(),
             QStringLiteral("999 | --failed to load item data-- | Back | Forward @Cup (QL 3)"));
    action(cmdBack)->trigger();
    QCOMPARE(state(), QStringLiteral("11 | ZRID 11: Cup (QL 3) | Forward @Cup (QL 3)"));
    action(cmdBack)->trigger(); // a late Back does nothing
    QCOMPARE(app()->history().position(), 0u);
    action(cmdForward)->trigger();
    action(cmdForward)->trigger();
    QCOMPARE(state(), QStringLiteral("20 | ZRID 20: Blade (QL 100) | Back @"));
    QCOMPARE(steps().size(), std::size_t(3)); // moving adds nothing
    // View > Go To > Back reaches the application too.
    frame()->menuBarControl()->popup(2)->actions()[3]->menu()->actions()[0]->trigger();
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("999"));
}

void cWindowTest::historyFromAnEarlierImportReselectsByIdentifier() {
    cItemTree* tree = importIntoExpandedTree();
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    QTest::keyClick(tree, Qt::Key_Down); // Ring, 10
    QTest::keyClick(tree, Qt::Key_Down); // Cup, 11
    const TreeItemHandle oldRing = app()->history().treeItems().front();
    import(itemsPath_); // the tree is rebuilt: old handles name nothing now
    QVERIFY(!frame()->treeModel()->isValidHandle(oldRing));
    action(cmdBack)->trigger();
    QCOMPARE(state(), QStringLiteral("10 | ZRID 10: Ring (QL 25) | Forward @Ring (QL 25)"));
    // An identifier the new tree lacks selects nothing and breaks nothing.
    typeIntoBox(QStringLiteral("777"));
    typeIntoBox(QStringLiteral("10"));
    import(itemsPath_);
    action(cmdBack)->trigger();
    QCOMPARE(state(), QStringLiteral("777 | --failed to load item data-- | Back | Forward @"));
}

void cWindowTest::reportPaneRendersAndStaysEditable() {
    import(itemsPath_);
    cReportPane* pane = frame()->reportPane();
    QCOMPARE(pane->font(), QApplication::font());
    typeIntoBox(QStringLiteral("20"));
    // How each run looks is the layout test's; here the pane's own settings.
    QTextDocument* document = pane->document();
    const QList<QTextOption::Tab> tabs =
        document->find(QStringLiteral("Attack skill:")).blockFormat().tabPositions();
    QCOMPARE(tabs.value(0).position, 2000 * pane->logicalDpiX() / 1440.0);
    QVERIFY(!document->isUndoAvailable()); // filling the pane is not an edit
    // Editable: typing changes the report until the next item is shown.
    pane->setFocus();
    QTest::keyClicks(pane, QStringLiteral("note "));
    QVERIFY(reportText().startsWith(QStringLiteral("note ZRID 20")));
    action(cmdEditUndo)->trigger();
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 20")));
    pane->selectAll();
    QVERIFY(action(cmdEditCopy)->isEnabled());
    typeIntoBox(QStringLiteral("10"));
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 10: Ring")));
    QCOMPARE(pane->textCursor().position(), 0);
}

void cWindowTest::unsupportedTagsGiveOneBoxAndOneSummary() {
    cModalWatcher watcher;
    import(bogusPath_); // the tree build loads the item once
    QCOMPARE(watcher.seen.size(), std::size_t(2));
    QCOMPARE(watcher.seen[0].caption, QStringLiteral("cQuarry::processEvent"));
    QCOMPARE(
        watcher.seen[0].text,
        QStringLiteral("Encountered unsupported tag: <Bogus> while processing item with ZRID 40"));
    QCOMPARE(watcher.seen[0].buttons, qsizetype(1));
    QCOMPARE(watcher.seen[0].parent, static_cast<QWidget*>(frame()));
    QVERIFY2(watcher.seen[1].text.startsWith(QStringLiteral("999 more")),
             qPrintable(watcher.seen[1].text));
    // Showing the item is an operation of its own: one box, one summary.
    typeIntoBox(QStringLiteral("40"));
    QCOMPARE(watcher.seen.size(), std::size_t(4));
    QVERIFY(watcher.seen[3].text.contains(QStringLiteral("item 40")));
    QVERIFY(reportText().contains(QStringLiteral("Odd")));
}

void cWindowTest::aboutShowsVersionAndCloses() {
    cModalWatcher watcher;
    QString version;
    watcher.answer = [&](QDialog* dialog) {
        version = dialog->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
        return false;
    };
    action(cmdAppAbout)->trigger();
    QCOMPARE(watcher.seen.at(0).caption + " " + version,
             QStringLiteral("About quarry quarry Version 1.0"));
}

void cWindowTest::closingDuringAnImportStopsIt() {
    bool closedDuring = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (closedDuring || !frame()->importRunning()) return;
        closedDuring = true;
        frame()->close();
    });
    closer.start(0);
    QVERIFY(!app()->scanItemFile(itemsPath_.toStdString())); // stopped, not finished
    closer.stop();
    QVERIFY(closedDuring && frame()->closeRequested());
    QVERIFY(!frame()->isVisible() && !frame()->importRunning());
}

void cWindowTest::unreadableFileAndBrokenPatternAreReported() {
    import(itemsPath_);
    cModalWatcher watcher;
    QVERIFY(!app()->scanItemFile(dir_.filePath(QStringLiteral("missing.xml")).toStdString()));
    QVERIFY(watcher.seen.at(0).text.contains(QStringLiteral("missing.xml")));
    typeIntoBox(QStringLiteral("10")); // the earlier import stays
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
    // An identifier pattern that does not compile ends the start cleanly.
    QVERIFY(!app()->initInstance("{unclosed"));
    QCOMPARE(app()->mainFrame(), nullptr);
    QCOMPARE(watcher.seen.size(), std::size_t(2));
    QCOMPARE(watcher.seen[1].caption, QStringLiteral("quarry"));
    QVERIFY(watcher.seen[1].text.contains(QStringLiteral("could not be compiled")));
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QMainWindow*>(widget) || !widget->isVisible());
}

// A name that is not valid UTF-8 imports like any other; a dropped URL and a
// typed name keep every byte.
void cWindowTest::fileNamesKeepTheirBytes() {
    const std::string path = fileNameFromText(dir_.path()) + "/items-\xff\xfe.xml";
    std::ofstream(path) << kItems;
    // Qt's own listing skips such a name, so the folder cannot remove it.
    const std::unique_ptr<const char, int (*)(const char*)> removal(path.c_str(), std::remove);
    cModalWatcher watcher; // a refusal's box fails the test instead of waiting
    QVERIFY(app()->scanItemFile(path));
    QCOMPARE(app()->store().itemCount(), std::size_t(5));
    QCOMPARE(fileNameForDisplay("items-\xff.xml"), QStringLiteral("items-\uFFFD.xml"));
    const std::string name = "/tmp/caf\xc3\xa9 \xff%41.xml";
    QCOMPARE(fileNameFromUrl(QUrl::fromEncoded("file:///tmp/caf%C3%A9%20%FF%2541.xml")), name);
    QCOMPARE(fileNameFromUrl(QUrl(QStringLiteral("https://example.org/a.xml"))), std::string());
    const std::string valid = "/tmp/caf\xc3\xa9.xml";
    QCOMPARE(fileNameFromText(fileNameForDisplay(valid)), valid);
    QCOMPARE(fileNameFromUrl(QUrl::fromLocalFile(fileNameForDisplay(valid))), valid);
}

void cWindowTest::findPaneOpensAndFiltersAsYouType() {
    importFindItems();
    QAction* search = action(cmdSearch);
    QVERIFY(frame()->findBar()->isHidden());
    search->trigger();
    QVERIFY(frame()->findBar()->isVisible() && search->isChecked());
    search->trigger();
    QVERIFY(frame()->findBar()->isHidden());
    QTest::keyClick(frame(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(frame()->findBar()->isVisible() && search->isChecked() && findBox()->hasFocus());
    // The rule itself is the search tests'; here the pane follows the typing.
    QTest::keyClicks(findBox(), "L");
    QCOMPARE(findRows(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp", "Heal"}));
    QCOMPARE(findCount(), "4 items");
    QTest::keyClicks(findBox(), "amp bl");
    QCOMPARE(findRows(), QStringList({"Lamp Blade"}));
    QCOMPARE(findCount(), "1 item");
    QTest::keyClicks(findBox(), "x");
    QCOMPARE(findCount(), "no items");
    findBox()->setText("lammp");
    QCOMPARE(findRows(), QStringList({"Ember Lamp", "Lamp", "Lamp Blade"}));
    QCOMPARE(findCount(), "close spellings of \"lammp\": 3 items");
}

void cWindowTest::findPaneChoiceIsOneHistoryStepOnItsTreeNode() {
    importFindItems();
    action(cmdEditFind)->trigger();
    QTest::keyClicks(findBox(), "blade");
    QTest::keyClick(findBox(), Qt::Key_Return);
    QCOMPARE(state(), QStringLiteral("20 | ZRID 20: Lamp Blade (QL 100) @Lamp Blade (QL 100)"));
    QCOMPARE(app()->history().treeItems().back(), frame()->getSelectedTreeItem());
    QVERIFY(findBox()->hasFocus());
    // A click does the same; so does Enter in the results after Down.
    findBox()->setText("heal");
    QTableView* view = findPane()->resultsView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    QCOMPARE(state(), QStringLiteral("30 | ZRID 30: Heal | Back @Heal"));
    findBox()->setText("lamp");
    QTest::keyClick(findBox(), Qt::Key_Down);
    QVERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(steps(), (std::deque<ZRID>{20, 30, 20}));
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(findBox()->hasFocus() && findBox()->text() == "lamp");
    QTest::keyClick(findBox(), Qt::Key_Escape);
    QVERIFY(findBox()->text().isEmpty() && findRows().isEmpty());
}

void cWindowTest::findPaneSearchDuringAnImportRefreshesAtItsEnd() {
    importFindItems();
    action(cmdEditFind)->trigger();
    QStringList during;
    QString countDuring;
    importFindItems([&] {
        findBox()->setText("LAMP");
        during = findRows();
        countDuring = findCount();
    });
    QCOMPARE(during, QStringList({"Lamp", "Lamp Blade"}));
    QCOMPARE(countDuring, "2 items so far, import running");
    QCOMPARE(findRows(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp"}));
    QCOMPARE(findCount(), "3 items");
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    cWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
