// The real main window, driven as a user drives it by keyboard, mouse and
// program, watched through the report, the box, the commands, bars and boxes.
#include "app/quarry.h"
#include "cache/cache_folder.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "store/item_import.h"
#include "ui/file_names.h"
#include "ui/find_completer.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/message_throttle.h"
#include "ui/report_pane.h"
#include "window_test_main.h"

#include <QtTest>
#include <QtWidgets>

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
    "<Item ZRID=\"20\" Name=\"Lamp Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<Description>Sharp.</Description><AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" ItemType=\"Misc\" IsNano=\"True\"></Item>";

// For the Find pane, three more. Item 40's action holds a tag it does not expect:
// its load raises a message box in the middle of the tree build, after the others.
// Item 42 has no type, so it is filed in no folder. Masses of 12 and 9 sort
// apart as numbers and as texts.
const char* const kFindMore =
    "<Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
    "<Action Name=\"ToUse\"><Bogus/></Action></Item>"
    "<Item ZRID=\"41\" Name=\"Ember Lamp\" QL=\"2\" ItemType=\"Misc\"><Attribute "
    "Name=\"Mass\" Value=\"12\"/><Attribute Name=\"Colour\" Value=\"red\"/></Item>"
    "<Item ZRID=\"42\" Name=\"Stone\" QL=\"9\"><Attribute Name=\"Mass\" Value=\"9\"/></Item>";

// Notes every modal dialog that comes up, then lets `answer` act on it or,
// when there is none or it answers false, closes it.
class cModalWatcher : public QObject {
public:
    struct cSeen {
        QString caption, text, details;
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
                            box ? box->detailedText() : QString(), dialog->parentWidget(),
                            box ? box->buttons().size() : 0});
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
        if (action(cmdBack)->isEnabled()) parts << "Back";
        if (action(cmdForward)->isEnabled()) parts << "Forward";
        const TreeItemHandle selected = frame()->getSelectedTreeItem();
        return parts.join(" | ") + " @" +
               QString::fromStdString(selected ? frame()->treeModel()->itemLabel(selected) : "");
    }
    static void keys(QWidget* widget, std::initializer_list<Qt::Key> keys) {
        for (Qt::Key key : keys)
            QTest::keyClick(widget, key);
    }
    static void tapAlt(QWidget* widget) {
        QTest::keyPress(widget, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(widget, Qt::Key_Alt, Qt::AltModifier);
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
    // The Find pane's result names in order, then its count line, once its
    // search has ended.
    QString found() {
        [[maybe_unused]] const bool ended =
            QTest::qWaitFor([&] { return !findPane()->searching(); });
        QStringList names;
        for (int row = 0; row < findPane()->resultsModel()->rowCount(); ++row)
            names << findPane()->resultsModel()->index(row, 0).data().toString();
        return names.join(", ") + " = " + findPane()->countLine()->text();
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
    QString findPath_ = dir_.filePath("find.xml");
    QString itemsPath_ = dir_.filePath("items.xml");
    QString bogusPath_ = dir_.filePath("bogus.xml");

private slots:
    void initTestCase() {
        // The second file's item holds 2500 tags its action does not expect.
        const QByteArray bogus = "<RDB><Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
                                 "<Action Name=\"ToUse\">" +
                                 QByteArray("<Bogus/>").repeated(2500);
        for (const auto& [path, content] :
             {std::pair{itemsPath_, kItems + QByteArray("</RDB>")},
              std::pair{bogusPath_, bogus + "</Action></Item></RDB>"},
              std::pair{findPath_, kItems + QByteArray(kFindMore) + "</RDB>"}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
    }

    void init() {
        // Every case imports as at the first start: nothing comes from the cache.
        QVERIFY(clearCacheFolder(standardCacheFolder()));
        QVERIFY(app()->InitInstance());
        frame()->resize(900, 640);
        frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame()));
    }

    void boxConvertsShowsAndPassesTheFocusOn() {
        typeIntoBox("10"); // nothing imported yet
        QCOMPARE(state(), "10 | --failed to load item data-- @");
        import(itemsPath_);
        const char* const cases[][2] = {{"  10", "10"}, {"42abc", "42"}, {"abc", "0"},
                                        {"", "0"},      {"-7", "-7"},    {"4294967306", "10"},
                                        {"10", "10"}};
        for (const auto& [typed, shown] : cases) {
            typeIntoBox(QString::fromLatin1(typed));
            QCOMPARE(frame()->itemIdBox()->text(), QString::fromLatin1(shown));
            QCOMPARE(steps().back(), QByteArray(shown).toInt());
            QCOMPARE(reportText().contains("Ring"), shown == std::string("10"));
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
        QTest::keyClicks(box, "12");
        QCOMPARE(box->text(), "12"); // typing replaces the selection
    }

    void fromTheStartImportShowsProgressAndBuildsTheTree() {
        cMainframe* f = frame();
        QCOMPARE(state() + f->paneStatusBar()->paneText(0), " |  @Ready");
        QVERIFY(f->progressBar()->isHidden() && f->treeModel()->rowCount() == 0);
        // Search opens the Find pane at once; Copy waits for the report to be the active view.
        QVERIFY(action(cmdSearch)->isEnabled() && !action(cmdEditCopy)->isEnabled());
        QVERIFY(action(cmdImport)->isEnabled());
        QCOMPARE(f->dockWidgetArea(f->treeBar()), Qt::LeftDockWidgetArea);
        QStringList paneTexts;
        bool importDisabledDuring = false;
        QString reportDuringBuild;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const QString text = f->paneStatusBar()->paneText(0);
            if (paneTexts.isEmpty() || paneTexts.back() != text) paneTexts << text;
            importDisabledDuring |= !action(cmdImport)->isEnabled();
            // The window answers during the build: showing an item works.
            if (text == "Importing Item Data" && reportDuringBuild.isEmpty()) {
                app()->showItem(12);
                reportDuringBuild = reportText();
            }
        });
        watch.start(0);
        import(itemsPath_);
        watch.stop();
        QCOMPARE(paneTexts.value(0), "Scanning File");
        QVERIFY2(paneTexts.contains("Importing Item Data"), qPrintable(paneTexts.join('|')));
        QVERIFY(importDisabledDuring && reportDuringBuild.contains("Lamp"));
        QCOMPARE(f->paneStatusBar()->paneText(0), "Ready");
        QVERIFY(f->progressBar()->isHidden() && action(cmdImport)->isEnabled());
        QCOMPARE(f->windowFilePath(), itemsPath_);
        QCOMPARE(f->paneStatusBar()->currentMessage(),
                 "Imported items.xml: 5 items indexed, 5 filed in the tree.");
        // The tree: the root expanded, items under their folders with their ZRIDs.
        cItemTreeModel* model = f->treeModel();
        QCOMPARE(model->rowCount(), 1);
        QVERIFY(f->itemTree()->isExpanded(model->index(0, 0)) && !model->hasPending());
        QCOMPARE(model->itemZrid(node({"ZR Items", "Weapon", "Edged", "Lamp Blade (QL 100)"})), 20);
        // Importing leaves the history, the report and the box as they were.
        import(itemsPath_);
        QCOMPARE(steps(), std::deque<ZRID>{12});
        QCOMPARE(state(), "12 | ZRID 12: Lamp (QL 7) @");
    }

    void menuBarAnswersKeyboardAndMouse() {
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
        QMouseEvent move(QEvent::MouseMove, bar->popup(0)->mapFromGlobal(global), global,
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar->popup(0), &move);
        QTRY_VERIFY(bar->popup(1)->isVisible());
        QVERIFY(!bar->popup(0)->isVisible());
        QTest::keyClick(bar->popup(1), Qt::Key_Escape);
        QTRY_VERIFY(!bar->popup(1)->isVisible());
        bar->setActiveAction(nullptr);
        // Alt alone gives the bar the keyboard with its first item highlighted,
        // the arrows move along it, and Alt again gives the keyboard back.
        tree->setFocus();
        tapAlt(tree);
        QTRY_COMPARE(bar->activeAction(), bar->actions()[0]);
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(bar->activeAction(), bar->actions()[3]);
        tapAlt(bar);
        QTRY_VERIFY(tree->hasFocus() && bar->activeAction() == nullptr);
    }

    void treeSelectionByKeyboardMouseAndProgram() {
        cItemTree* tree = importIntoExpandedTree();
        // A selection by the program shows nothing and records nothing.
        frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
        QCOMPARE(state(), " |  @Misc");
        // Arrow keys show every item passed over, each a step with its handle.
        keys(tree, {Qt::Key_Down, Qt::Key_Down});
        QCOMPARE(state(), "11 | ZRID 11: Cup (QL 3) | Back @Cup (QL 3)");
        QCOMPARE(app()->history().treeItems().back(), node({"ZR Items", "Misc", "Cup (QL 3)"}));
        keys(tree, {Qt::Key_Up, Qt::Key_Up}); // onto the Misc folder: nothing
        QCOMPARE(steps(), (std::deque<ZRID>{10, 11, 10}));
        // The mouse: an item shows, the selected item again and a folder do not.
        const TreeItemHandle blade = node({"ZR Items", "Weapon", "Edged", "Lamp Blade (QL 100)"});
        for (TreeItemHandle item : {blade, blade, node({"ZR Items", "Weapon"})})
            clickTreeItem(item);
        QCOMPARE(steps().size(), std::size_t(4));
        QCOMPARE(state(), "20 | ZRID 20: Lamp Blade (QL 100) | Back @Weapon");
    }

    // Every way of showing an item selects the node it is shown at, scrolled
    // into view (an item filed nowhere clears the selection), and its step
    // keeps that node for Back and Forward, which select it again.
    void everyWayOfShowingAnItemSelectsItsNode() {
        importFindItems();
        QCOMPARE(frame()->paneStatusBar()->currentMessage(),
                 "Imported find.xml: 8 items indexed, 7 filed in the tree.");
        frame()->resize(900, 300); // the tree shows a few rows at a time
        cItemTree* tree = frame()->itemTree();
        const QString blade = "20 | ZRID 20: Lamp Blade (QL 100) | Back";
        const std::pair<std::function<void()>, QString> ways[] = {
            {[&] { typeIntoBox("30"); }, "30 | ZRID 30: Heal @Heal"},
            {[&] { typeIntoBox("42"); }, "42 | ZRID 42: Stone (QL 9) | Back @"},
            {[&] { findBox()->setText("blade"), QTest::keyClick(findBox(), Qt::Key_Return); },
             blade + " @Lamp Blade (QL 100)"},
            {[&] { app()->showItem(12); }, "12 | ZRID 12: Lamp (QL 7) | Back @Lamp (QL 7)"},
            {[&] { action(cmdBack)->trigger(); }, blade + " | Forward @Lamp Blade (QL 100)"},
            {[&] { action(cmdBack)->trigger(); }, "42 | ZRID 42: Stone (QL 9) | Back | Forward @"},
            {[&] { action(cmdBack)->trigger(); }, "30 | ZRID 30: Heal | Forward @Heal"},
            {[&] { tree->collapseAll(), action(cmdForward)->trigger(); },
             "42 | ZRID 42: Stone (QL 9) | Back | Forward @"},
            {[&] { action(cmdForward)->trigger(); }, blade + " | Forward @Lamp Blade (QL 100)"}};
        for (const auto& [way, expected] : ways) {
            tree->scrollToTop();
            way();
            QCOMPARE(state(), expected);
            QCoreApplication::processEvents(); // the view follows a turn later
            const QRect shown = tree->visualRect(tree->currentIndex());
            QVERIFY(expected.endsWith('@') || tree->viewport()->rect().contains(shown));
        }
        QCOMPARE(steps(), (std::deque<ZRID>{30, 42, 20, 12}));
    }

    void historyFromAnEarlierImportReselectsByIdentifier() {
        cItemTree* tree = importIntoExpandedTree();
        frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
        keys(tree, {Qt::Key_Down, Qt::Key_Down}); // Ring, 10, then Cup, 11
        const TreeItemHandle oldRing = app()->history().treeItems().front();
        import(itemsPath_); // the tree is rebuilt: old handles name nothing now
        QVERIFY(!frame()->treeModel()->isValidHandle(oldRing));
        action(cmdBack)->trigger();
        QCOMPARE(state(), "10 | ZRID 10: Ring (QL 25) | Forward @Ring (QL 25)");
        // An identifier the new tree lacks selects nothing and breaks nothing.
        typeIntoBox("777");
        typeIntoBox("10");
        import(itemsPath_);
        action(cmdBack)->trigger();
        QCOMPARE(state(), "777 | --failed to load item data-- | Back | Forward @");
    }

    void reportPaneRendersAndStaysEditable() {
        import(itemsPath_);
        cReportPane* pane = frame()->reportPane();
        QCOMPARE(pane->font(), QApplication::font());
        typeIntoBox("20");
        // How the report looks is the layout test's; here the pane's own settings.
        QVERIFY(!pane->document()->isUndoAvailable()); // filling the pane is not an edit
        // Editable: typing changes the report until the next item is shown.
        pane->setFocus();
        QTest::keyClicks(pane, "note ");
        QVERIFY(reportText().startsWith("note ZRID 20"));
        action(cmdEditUndo)->trigger();
        QVERIFY(reportText().startsWith("ZRID 20"));
        pane->selectAll();
        QVERIFY(action(cmdEditCopy)->isEnabled());
        typeIntoBox("10");
        QVERIFY(reportText().startsWith("ZRID 10: Ring"));
        QCOMPARE(pane->textCursor().position(), 0);
    }

    // The first message comes up in a box of its own; the others of the import
    // are held back into one summary that lists the first of them.
    void unsupportedTagsGiveOneBoxAndOneSummary() {
        cModalWatcher watcher;
        import(bogusPath_); // the tree build loads the item once
        QCOMPARE(watcher.seen.size(), std::size_t(2));
        const QString message =
            "Encountered unsupported tag: <Bogus> while processing item with ZRID 40";
        QCOMPARE(watcher.seen[0].caption + ": " + watcher.seen[0].text,
                 "cQuarry::processEvent: " + message);
        QVERIFY(watcher.seen[0].buttons == 1 && watcher.seen[0].parent == frame());
        QVERIFY2(watcher.seen[1].text.startsWith("2499 more"), qPrintable(watcher.seen[1].text));
        const QStringList held = watcher.seen[1].details.split('\n');
        QCOMPARE(held.size(), qsizetype(cMessageThrottle::kMaxKeptTexts + 1));
        QVERIFY(held[0] == message && held.last() == "... and 499 more.");
        // Showing the item is an operation of its own: one box, one summary.
        typeIntoBox("40");
        QCOMPARE(watcher.seen.size(), std::size_t(4));
        QVERIFY(watcher.seen[3].text.contains("item 40") && reportText().contains("Odd"));
    }

    void closingDuringAnImportStopsIt() {
        bool closedDuring = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (closedDuring || cQuarry::instance()->activity() == cQuarry::eActivity::idle) return;
            closedDuring = true;
            frame()->close();
        });
        closer.start(0);
        QVERIFY(!app()->scanItemFile(itemsPath_.toStdString())); // stopped, not finished
        closer.stop();
        QVERIFY(closedDuring && frame()->closeRequested());
        QVERIFY(!frame()->isVisible() &&
                cQuarry::instance()->activity() == cQuarry::eActivity::idle);
    }

    // The labels of the whole tree in pre-order, and how many names Find holds.
    QString treeAndNames(TreeItemHandle at = 0) {
        QString text = at ? QString::fromStdString(frame()->treeModel()->itemLabel(at)) + "(" : "";
        for (TreeItemHandle child : frame()->treeModel()->children(at))
            text += treeAndNames(child);
        return at ? text + ")" : text + QString::number(app()->names().size());
    }

    // While an import dispatches events any command may arrive: showing an
    // item and Find run, every way to start another import or an export is
    // refused, and the import ends as it would have alone.
    void commandsDuringAnImportRunOrAreRefused() {
        import(itemsPath_);
        const QString alone = treeAndNames();
        QStringList ran;
        QTimer during;
        connect(&during, &QTimer::timeout, this, [&] {
            if (!ran.isEmpty() || frame()->paneStatusBar()->paneText(0) != "Importing Item Data")
                return;
            app()->showItem(12);
            findBox()->setText("Lamp");
            emit frame()->importRequested(bogusPath_.toStdString()); // a drop, a recent file
            ran << reportText().section('\n', 0, 0)
                << QString::number(found().endsWith("so far, import running"))
                << QString::number(app()->scanItemFile(bogusPath_.toStdString()))
                << QString::number(app()->exportTo({dir_.filePath("out.jsonl").toStdString()}))
                << QString::number(action(cmdImport)->isEnabled() +
                                   action(cmdRecentFiles)->isEnabled() +
                                   action(cmdExport)->isEnabled());
        });
        action(cmdClearCache)->trigger(); // the second import reads the file too
        during.start(0);
        import(itemsPath_);
        during.stop();
        QCoreApplication::processEvents(); // a queued request would run now
        QCOMPARE(ran.join(" | "), "ZRID 12: Lamp (QL 7) | 1 | 0 | 0 | 0");
        QCOMPARE(treeAndNames(), alone);
        QVERIFY(found().startsWith("Lamp, Lamp Blade"));
        QVERIFY(!QFile::exists(dir_.filePath("out.jsonl")));
    }

    void unreadableFileAndBrokenPatternAreReported() {
        import(itemsPath_);
        cModalWatcher watcher;
        QVERIFY(!app()->scanItemFile(dir_.filePath("missing.xml").toStdString()));
        QVERIFY(watcher.seen.at(0).text.contains("missing.xml"));
        typeIntoBox("10"); // the earlier import stays
        QVERIFY(reportText().contains("Ring"));
        // An identifier pattern that does not compile ends the start cleanly.
        QVERIFY(!app()->initInstance("{unclosed"));
        QCOMPARE(app()->mainFrame(), nullptr);
        QCOMPARE(watcher.seen.size(), std::size_t(2));
        QCOMPARE(watcher.seen[1].caption, "quarry");
        QVERIFY(watcher.seen[1].text.contains("could not be compiled"));
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QMainWindow*>(widget) || !widget->isVisible());
    }

    // A file without items is said so, in a box and the status bar (with why
    // when its "<Item" tags sit where no record starts); the window is then as
    // at its start: no report, no history, no file named, the file out of
    // Recent Files, Export off.
    void fileWithoutItemsIsSaidAndLeavesNothingShown() {
        const QString path = dir_.filePath("none.xml");
        const std::pair<QByteArray, bool> contents[] = {
            {"", false},
            {"12:00 started\n", false},
            {"<RDB>\n<Item ZRID=\"1\" Name=\"A\" QL=\"1\"></Item>\n</RDB>", true},
            {"<RDB><Item ZRID=\"1\" Name=\"\" QL=\"1\"></Item></RDB>", false}}; // fails to load
        for (const auto& [content, misplaced] : contents) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kItems) > 0);
            file.close();
            import(path);
            typeIntoBox("10");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(content), content.size());
            file.close();
            cModalWatcher watcher;
            QVERIFY(!app()->scanItemFile(path.toStdString()));
            const QString said = "No items found in " + path + ".";
            QCOMPARE(watcher.seen.size(), std::size_t(1));
            QCOMPARE(watcher.seen[0].text, misplaced ? said + " " + kItemTagsMisplaced : said);
            QCOMPARE(frame()->paneStatusBar()->currentMessage(), said);
            QCOMPARE(state(), " |  @");
            QVERIFY(steps().empty() && !action(cmdExport)->isEnabled());
            QVERIFY(frame()->windowFilePath().isEmpty());
            QVERIFY(
                !QString::fromStdString(app()->recentFiles().paths().front()).endsWith("none.xml"));
        }
    }

    // The keyboard alone: Tab through the visible widgets as one reads the
    // window, F6 through the visible panes, the accelerators, and a mnemonic
    // on the box's label and on every menu entry.
    void keyboardReachesEveryPartInReadingOrder() {
        importFindItems();
        const auto walk = [](Qt::Key key, Qt::KeyboardModifiers modifiers, int presses) {
            QStringList names;
            for (int i = 0; i < presses; ++i) {
                QTest::keyClick(QApplication::focusWidget(), key, modifiers);
                names << QApplication::focusWidget()->objectName();
            }
            return names.join(' ');
        };
        frame()->itemIdBox()->setFocus();
        QCOMPARE(walk(Qt::Key_Tab, {}, 3), "itemTree reportPane itemIdBox");
        QCOMPARE(walk(Qt::Key_F6, {}, 3), "itemTree reportPane itemTree");
        QVERIFY(frame()->reportPane()->isActiveView());
        action(cmdEditFind)->trigger();
        QCOMPARE(walk(Qt::Key_Tab, {}, 5), "findResults itemIdBox itemTree reportPane findBox");
        QCOMPARE(walk(Qt::Key_Tab, Qt::ShiftModifier, 2), "reportPane itemTree");
        QCOMPARE(walk(Qt::Key_F6, {}, 3), "reportPane findBox itemTree");
        QCOMPARE(walk(Qt::Key_F6, Qt::ShiftModifier, 2), "findBox reportPane");
        // Alt+Left and Alt+Right step back and forth wherever the focus is.
        typeIntoBox("10");
        typeIntoBox("20");
        for (QWidget* at : QList<QWidget*>{frame()->itemIdBox(), findBox(), frame()->itemTree()}) {
            at->setFocus();
            QTest::keyClick(at, Qt::Key_Left, Qt::AltModifier);
            QCOMPARE(frame()->itemIdBox()->text(), "10");
            QTest::keyClick(at, Qt::Key_Right, Qt::AltModifier);
            QCOMPARE(frame()->itemIdBox()->text(), "20");
        }
        QTest::keyClick(frame()->itemTree(), Qt::Key_I, Qt::AltModifier);
        QVERIFY(frame()->itemIdBox()->hasFocus());
        // The bar's and each menu's entries have mnemonics of their own; so
        // Alt+V G opens Go To.
        std::vector<QList<QAction*>> menus{frame()->menuBarControl()->actions()};
        for (std::size_t i = 0; i < menus.size(); ++i) {
            QSet<QKeySequence> mnemonics;
            const QList<QAction*> entries = menus[i]; // menus grows meanwhile
            for (QAction* entry : entries) {
                if (entry->isSeparator()) continue;
                const QKeySequence mnemonic = QKeySequence::mnemonic(entry->text());
                QVERIFY2(!mnemonic.isEmpty() && !mnemonics.contains(mnemonic),
                         qPrintable(entry->text()));
                mnemonics.insert(mnemonic);
                if (entry->menu()) menus.push_back(entry->menu()->actions());
            }
        }
        QMenu* view = frame()->menuBarControl()->popup(2);
        QTest::keyClick(frame()->itemTree(), Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(view->isVisible());
        QTest::keyClick(view, Qt::Key_G);
        QTRY_VERIFY(view->actions()[3]->menu()->isVisible());
        QVERIFY(frame()->toolBar()->isVisible());
        QTest::keyClick(view->actions()[3]->menu(), Qt::Key_Escape);
        QTest::keyClick(view, Qt::Key_Escape);
        cModalWatcher watcher;
        QTest::keyClick(frame()->itemTree(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(!watcher.seen.empty() && watcher.seen[0].caption == "Import Parsed RDB File");
    }

    // A name that is not valid UTF-8 imports like any other; a dropped URL and a
    // typed name keep every byte.
    void fileNamesKeepTheirBytes() {
        const std::string path = fileNameFromText(dir_.path()) + "/items-\xff\xfe.xml";
        std::ofstream(path) << kItems << "</RDB>";
        // Qt's own listing skips such a name, so the folder cannot remove it.
        const std::unique_ptr<const char, int (*)(const char*)> removal(path.c_str(), std::remove);
        cModalWatcher watcher; // a refusal's box fails the test instead of waiting
        QVERIFY(app()->scanItemFile(path));
        QCOMPARE(app()->store().itemCount(), std::size_t(5));
        QCOMPARE(fileNameForDisplay("items-\xff.xml"), QStringLiteral("items-\uFFFD.xml"));
        const std::string name = "/tmp/caf\xc3\xa9 \xff%41.xml";
        QCOMPARE(fileNameFromUrl(QUrl::fromEncoded("file:///tmp/caf%C3%A9%20%FF%2541.xml")), name);
        QCOMPARE(fileNameFromUrl(QUrl("https://example.org/a.xml")), std::string());
        const std::string valid = "/tmp/caf\xc3\xa9.xml";
        QCOMPARE(fileNameFromText(fileNameForDisplay(valid)), valid);
        QCOMPARE(fileNameFromUrl(QUrl::fromLocalFile(fileNameForDisplay(valid))), valid);
    }

    void findPaneFiltersAsYouTypeAndAChoiceIsOneStep() {
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
        QCOMPARE(found(), "Lamp, Lamp Blade, Ember Lamp, Heal = 4 items");
        QTest::keyClicks(findBox(), "amp bl");
        QCOMPARE(found(), "Lamp Blade = 1 item");
        QTest::keyClicks(findBox(), "x");
        QCOMPARE(found(), " = no items");
        findBox()->setText("lammp");
        QCOMPARE(found(), "Lamp, Lamp Blade, Ember Lamp = close spellings of \"lammp\": 3 items");
        // A choice is one history step, with its tree node selected.
        findBox()->setText("blade");
        QTest::keyClick(findBox(), Qt::Key_Return);
        QCOMPARE(state(), "20 | ZRID 20: Lamp Blade (QL 100) @Lamp Blade (QL 100)");
        QCOMPARE(app()->history().treeItems().back(), frame()->getSelectedTreeItem());
        QVERIFY(findBox()->hasFocus());
        // A click does the same; so does Enter in the results after Down.
        findBox()->setText("heal");
        QTableView* view = findPane()->resultsView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QCOMPARE(state(), "30 | ZRID 30: Heal | Back @Heal");
        findBox()->setText("lamp");
        QTest::keyClick(findBox(), Qt::Key_Down);
        QVERIFY(view->hasFocus());
        keys(view, {Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(steps(), (std::deque<ZRID>{20, 30, 20}));
        QTest::keyClick(view, Qt::Key_Escape);
        QVERIFY(findBox()->hasFocus() && findBox()->text() == "lamp");
        QTest::keyClick(findBox(), Qt::Key_Escape);
        QVERIFY(findBox()->text().isEmpty() && found().startsWith(" = "));
    }

    void findPaneKeepsTheResultsWhileTheQueryHasAnError() {
        importFindItems();
        action(cmdEditFind)->trigger();
        QTest::keyClicks(findBox(), "lamp");
        const QString good = found();
        QTest::keyClicks(findBox(), " (");
        const cParsedQuery parsed = parseQuery("lamp (");
        QVERIFY(!parsed.ok() && !parsed.error->token.empty());
        QCOMPARE(found(), good.section(" = ", 0, 0) + " = " +
                              QString::fromStdString(parsed.error->message()));
        QCOMPARE(findPane()->countLine()->palette().color(QPalette::WindowText), QColor(Qt::red));
        QTest::keyClicks(findBox(), "cup)");
        QCOMPARE(found(), " = no items");
        QVERIFY(findPane()->countLine()->palette().color(QPalette::WindowText) != QColor(Qt::red));
    }

    void findBoxCompletesFieldsTheirValuesAndTheFilesNames() {
        importFindItems();
        action(cmdEditFind)->trigger();
        QCompleter* completer = findPane()->completer()->completer();
        const char* const cases[][2] = {{"lamp -(ty", "type:"},
                                        {"type:w", "type:weapon"},
                                        {"attr:", "attr:Mass attr:Colour"},
                                        {"Attr:c", "Attr:Colour"},
                                        {"lamp", ""}};
        for (const auto& [typed, offered] : cases) {
            findBox()->clear();
            QTest::keyClicks(findBox(), typed);
            QStringList choices;
            for (int row = 0;
                 completer->popup()->isVisible() && row < completer->completionModel()->rowCount();
                 ++row)
                choices << completer->completionModel()->index(row, 0).data().toString();
            QCOMPARE(choices.join(' '), QString::fromLatin1(offered));
        }
        // A choice replaces the word at the cursor; the query that showed
        // results comes back with Up in the empty box.
        findBox()->setText("ember attr:M");
        emit completer->activated(QStringLiteral("attr:Mass"));
        QCOMPARE(found(), "Ember Lamp = 1 item");
        QTest::keyClick(findBox(), Qt::Key_Return);
        findBox()->clear();
        QTest::keyClick(findBox(), Qt::Key_Up);
        QCOMPARE(completer->completionModel()->index(0, 0).data().toString(), "ember attr:Mass");
    }

    void findResultsTakeAttributeColumnsSortAsNumbersAndCopy() {
        importFindItems();
        action(cmdEditFind)->trigger();
        findBox()->setText("stone or ember");
        QCOMPARE(found(), "Stone, Ember Lamp = 2 items");
        findPane()->addAttributeColumn("Mass");
        // As texts "9" would come before "12".
        QTableView* view = findPane()->resultsView();
        view->sortByColumn(cFindResultsModel::kFixedColumns, Qt::DescendingOrder);
        view->selectAll();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "Name\tQL\tID\tMass\nEmber Lamp\t2\t41\t12\nStone\t9\t42\t9\n");
        // The added column stays for the next query, after those its attr: terms name.
        findBox()->setText("attr:colour");
        QStringList row{found()};
        for (int column = 0; column < findPane()->resultsModel()->columnCount(); ++column)
            row << findPane()->resultsModel()->headerData(column, Qt::Horizontal).toString() + "=" +
                       findPane()->resultsModel()->index(0, column).data().toString();
        QCOMPARE(row.join(' '),
                 "Ember Lamp = 1 item Name=Ember Lamp QL=2 ID=41 Colour=red Mass=12");
    }

    void findPaneAbandonsASearchThatANewKeystrokeOvertakes() {
        importFindItems();
        action(cmdEditFind)->trigger();
        findPane()->setSearchPatience(std::chrono::milliseconds(0));
        QSignalSpy shown(findPane()->resultsModel(), &QAbstractItemModel::modelReset);
        findBox()->setText("lamp");
        findBox()->setText("cup");
        QCOMPARE(found(), "Cup = 1 item");
        QCOMPARE(shown.count(), 1); // the results of "lamp" never came
    }

    // A second import of the unchanged file comes from its cache, without a
    // scan or a message box: the same tree and Find results, and items show.
    void reopenFromTheCacheShowsWhatTheImportShowed() {
        importFindItems();
        action(cmdEditFind)->trigger();
        findBox()->setText("lamp");
        const QString imported = treeAndNames() + found();
        QStringList labels;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this,
                [&] { labels << frame()->paneStatusBar()->paneText(0); });
        watch.start(0);
        import(findPath_);
        watch.stop();
        QVERIFY2(!labels.contains("Scanning File"), qPrintable(labels.join('|')));
        QCOMPARE(treeAndNames() + found(), imported);
        typeIntoBox("12");
        QVERIFY(reportText().contains("Lamp"));
    }

    void findPaneSearchDuringAnImportRefreshesAtItsEnd() {
        importFindItems();
        action(cmdEditFind)->trigger();
        action(cmdClearCache)->trigger(); // the second import reads the file too
        QString during;
        importFindItems([&] { findBox()->setText("LAMP"), during = found(); });
        QCOMPARE(during, "Lamp, Lamp Blade = 2 items so far, import running");
        QCOMPARE(found(), "Lamp, Lamp Blade, Ember Lamp = 3 items");
    }
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cWindowTest)

#include "window_test.moc"
