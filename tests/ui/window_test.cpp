// The real main window, driven as a user drives it: import a small item file,
// pick items in the tree by keyboard, mouse and program, type identifiers into
// the box, step Back and Forward, and watch the report, the box, the commands'
// enabled states, the status bar, the dock and the message boxes.
#include "app/about_dialog.h"
#include "app/quarry.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

#include <functional>

namespace quarry {

namespace {

const char* const kItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<Description>Sharp.</Description><AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" ItemType=\"Misc\" IsNano=\"True\"></Item></RDB>";

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

    void commandsBarsAndDockAtTheStart();
    void boxConvertsShowsAndPassesTheFocusOn();
    void importShowsProgressAndBuildsTheTree();
    void importAsksForTheFileFirst();
    void menuBarAnswersKeyboardAndMouse();
    void treeSelectionByKeyboardMouseAndProgram();
    void backAndForwardFollowTheHistory();
    void backAndForwardMoveTheTreeSelectionOnly();
    void historyFromAnEarlierImportReselectsByIdentifier();
    void reportPaneRendersAndStaysEditable();
    void unsupportedTagsGiveOneBoxAndOneSummary();
    void aboutShowsIconAndVersion();
    void closingDuringAnImportWaitsForIt();
    void unreadableFileIsReportedAndChangesNothing();
    void brokenIdentifierPatternEndsCleanly();

private:
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    QString reportText() { return frame()->reportPane()->toPlainText(); }
    QString box() { return frame()->itemIdBox()->text(); }
    QAction* action(int command) { return frame()->action(command); }
    std::deque<ZRID> steps() { return app()->history().identifiers(); }
    void import(const QString& path) { QVERIFY(app()->scanItemFile(path.toStdString())); }
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

    QTemporaryDir dir_;
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
                                        std::pair{bogusPath_, bogus + "</Action></Item></RDB>"}}) {
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

void cWindowTest::commandsBarsAndDockAtTheStart() {
    cMainframe* f = frame();
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden());
    QVERIFY(reportText().isEmpty() && box().isEmpty() && f->treeModel()->rowCount() == 0);
    // Back, Forward and Search wait for something shown, Copy for the report
    // to be the active view.
    for (int command : {cmdBack, cmdForward, cmdSearch, cmdEditCopy})
        QVERIFY2(!action(command)->isEnabled(), qPrintable(QString::number(command)));
    QVERIFY(action(cmdImport)->isEnabled() && action(cmdAppAbout)->isEnabled());
    // A command's prompt shows while the pointer rests on it, then "Ready" again.
    action(cmdImport)->showStatusText(f->menuBarControl());
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Import content of selected file"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(f->menuBarControl(), &leave);
    QVERIFY(f->paneStatusBar()->paneLabel(0)->isVisible());
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
    QCOMPARE(f->itemTree()->width(), f->treeBar()->width());
    QVERIFY(!f->treeBar()->close());
}

void cWindowTest::boxConvertsShowsAndPassesTheFocusOn() {
    typeIntoBox(QStringLiteral("10")); // nothing imported yet
    QCOMPARE(reportText(), QStringLiteral("--failed to load item data--"));
    import(itemsPath_);
    const char* const cases[][2] = {{"  10", "10"}, {"42abc", "42"},      {"abc", "0"}, {"", "0"},
                                    {"-7", "-7"},   {"4294967306", "10"}, {"10", "10"}};
    for (const auto& [typed, shown] : cases) {
        typeIntoBox(QString::fromLatin1(typed));
        QCOMPARE(box(), QString::fromLatin1(shown));
        QCOMPARE(steps().back(), QByteArray(shown).toInt());
        QCOMPARE(reportText().contains(QStringLiteral("Ring")), shown == std::string("10"));
    }
    QCOMPARE(steps().size(), std::size_t(8)); // Enter twice on one text: two steps
    // After Enter the focus has left the box for the frame's client area, and
    // a second Enter there shows nothing.
    QVERIFY(frame()->splitter()->hasFocus());
    QTest::keyClick(frame()->splitter(), Qt::Key_Return);
    QCOMPARE(steps().size(), std::size_t(8));
    // Coming back to the box selects its whole text, by Tab or by click.
    cItemIdBox* box = frame()->itemIdBox();
    box->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->selectedText(), QStringLiteral("10"));
    frame()->splitter()->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, box->height() / 2));
    QTest::keyClicks(box, QStringLiteral("12"));
    QCOMPARE(box->text(), QStringLiteral("12")); // typing replaces the selection
}

void cWindowTest::importShowsProgressAndBuildsTheTree() {
    cMainframe* f = frame();
    QStringList paneTexts;
    bool importDisabledDuring = false, progressPlaced = false;
    QString reportDuringBuild;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const QString text = f->paneStatusBar()->paneText(0);
        if (paneTexts.isEmpty() || paneTexts.back() != text) paneTexts << text;
        importDisabledDuring |= !action(cmdImport)->isEnabled();
        const QFontMetrics metrics(f->paneStatusBar()->font());
        progressPlaced |= !f->progressBar()->isHidden() &&
                          f->progressBar()->geometry() ==
                              CProgressBar::placeInRect(f->paneStatusBar()->paneRect(0),
                                                        metrics.horizontalAdvance(text),
                                                        metrics.horizontalAdvance(QChar(' ')), 100);
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
    QVERIFY(importDisabledDuring && progressPlaced);
    QVERIFY(reportDuringBuild.contains(QStringLiteral("Lamp")));
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden() && action(cmdImport)->isEnabled());
    // The tree: the root expanded, items under their folders with their ZRIDs.
    cItemTreeModel* model = f->treeModel();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(f->itemTree()->isExpanded(model->index(0, 0)));
    QCOMPARE(model->itemData(node({"ZR Items", "Misc", "Ring (QL 25)"})), 10);
    QCOMPARE(model->itemData(node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"})), 20);
    QCOMPARE(model->itemData(node({"ZR Items", "Nanoprogram", "Heal"})), 30);
    QVERIFY(!model->hasPending());
    // Importing leaves the history, the report and the box as they were.
    import(itemsPath_);
    QCOMPARE(steps(), std::deque<ZRID>{12});
    QVERIFY(reportText().contains(QStringLiteral("Lamp")));
    QCOMPARE(box(), QStringLiteral("12"));
}

void cWindowTest::importAsksForTheFileFirst() {
    cModalWatcher watcher;
    QStringList filters;
    watcher.answer = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        filters = files->nameFilters() << files->defaultSuffix();
        if (files->fileMode() != QFileDialog::ExistingFile) filters << QStringLiteral("any file");
        return false; // cancelled: nothing changes
    };
    action(cmdImport)->trigger();
    QCOMPARE(watcher.seen.size(), std::size_t(1));
    QCOMPARE(watcher.seen[0].caption, QStringLiteral("Import Parsed RDB File"));
    QCOMPARE(watcher.seen[0].parent, static_cast<QWidget*>(frame()));
    QCOMPARE(filters, (QStringList{"Parsed RDB Files (*.xml)", "All Files (*.*)", "xml"}));
    QCOMPARE(frame()->treeModel()->rowCount(), 0);
    watcher.answer = [this](QDialog* dialog) {
        qobject_cast<QFileDialog*>(dialog)->selectFile(itemsPath_);
        dialog->accept(); // the dialog checks and takes the file
        return true;
    };
    action(cmdImport)->trigger();
    QVERIFY(node({"ZR Items", "Misc", "Ring (QL 25)"}) != 0);
}

void cWindowTest::menuBarAnswersKeyboardAndMouse() {
    CMenuBar* bar = frame()->menuBarControl();
    cItemTree* tree = frame()->itemTree();
    tree->setFocus();
    // Alt+letter opens that popup; Escape closes it.
    QTest::keyClick(tree, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY(bar->popup(2)->isVisible());
    QTest::keyClick(bar->popup(2), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(2)->isVisible());
    // Sliding the mouse along the open bar opens each popup in turn; while a
    // popup is open the platform hands it every mouse move.
    QVERIFY(bar->OpenByMnemonic(QChar('f')));
    QTRY_VERIFY(bar->popup(0)->isVisible());
    const QPointF global =
        bar->mapToGlobal(QPointF(bar->actionGeometry(bar->actions()[1]).center()));
    QMouseEvent move(QEvent::MouseMove, bar->popup(0)->mapFromGlobal(global), global, Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar->popup(0), &move);
    QTRY_VERIFY(bar->popup(1)->isVisible());
    QVERIFY(!bar->popup(0)->isVisible());
    // Right on the last popup reaches the first.
    QVERIFY(bar->OpenByMnemonic(QChar('H')));
    QTRY_VERIFY(bar->popup(3)->isVisible());
    QTest::keyClick(bar->popup(3), Qt::Key_Right);
    QTRY_VERIFY(bar->popup(0)->isVisible());
    QTest::keyClick(bar->popup(0), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(0)->isVisible());
    bar->setActiveAction(nullptr);
    // Alt alone gives the bar the keyboard with its first item highlighted;
    // the arrows move along it, Alt again gives the keyboard back. Alt with
    // another key is not Alt alone.
    tree->setFocus();
    QTest::keyPress(tree, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(tree, Qt::Key_Alt, Qt::AltModifier);
    QTRY_COMPARE(bar->activeAction(), bar->actions()[0]);
    QVERIFY(bar->hasFocus() && !bar->popup(0)->isVisible());
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(bar->activeAction(), bar->actions()[3]);
    QTest::keyPress(bar, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(bar, Qt::Key_Alt, Qt::AltModifier);
    QTRY_VERIFY(tree->hasFocus());
    QCOMPARE(bar->activeAction(), nullptr);
    QTest::keyPress(tree, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(tree, Qt::Key_Z, Qt::AltModifier);
    QTest::keyRelease(tree, Qt::Key_Alt, Qt::AltModifier);
    QVERIFY(bar->activeAction() == nullptr && tree->hasFocus());
}

void cWindowTest::treeSelectionByKeyboardMouseAndProgram() {
    import(itemsPath_);
    cItemTree* tree = frame()->itemTree();
    tree->expandAll();
    tree->setFocus();
    // A selection by the program shows nothing and records nothing.
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    QCOMPARE(frame()->getSelectedTreeItem(), node({"ZR Items", "Misc"}));
    QVERIFY(reportText().isEmpty() && steps().empty());
    // Arrow keys show every item passed over, each a step with its handle.
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(box(), QStringLiteral("10"));
    QTest::keyClick(tree, Qt::Key_Down);
    QVERIFY(reportText().contains(QStringLiteral("Cup")));
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
    QVERIFY(reportText().contains(QStringLiteral("Blade")));
    QCOMPARE(frame()->getSelectedTreeItem(), node({"ZR Items", "Weapon"}));
}

// The logic tests cover the history itself; here the commands' wiring.
void cWindowTest::backAndForwardFollowTheHistory() {
    import(itemsPath_);
    for (const char* zrid : {"10", "11", "999"})
        typeIntoBox(QString::fromLatin1(zrid));
    QVERIFY(action(cmdBack)->isEnabled() && !action(cmdForward)->isEnabled());
    action(cmdBack)->trigger();
    QVERIFY(box() == QStringLiteral("11") && reportText().contains(QStringLiteral("Cup")));
    action(cmdBack)->trigger();
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
    QVERIFY(!action(cmdBack)->isEnabled() && action(cmdForward)->isEnabled());
    action(cmdBack)->trigger(); // a late Back does nothing
    QCOMPARE(app()->history().position(), 0u);
    action(cmdForward)->trigger();
    action(cmdForward)->trigger();
    QCOMPARE(reportText(), QStringLiteral("--failed to load item data--"));
    QVERIFY(action(cmdBack)->isEnabled() && !action(cmdForward)->isEnabled());
    QCOMPARE(steps().size(), std::size_t(3)); // moving adds nothing
    // View > Go To > Back reaches the application too.
    frame()->menuBarControl()->popup(2)->actions()[3]->menu()->actions()[0]->trigger();
    QCOMPARE(box(), QStringLiteral("11"));
}

void cWindowTest::backAndForwardMoveTheTreeSelectionOnly() {
    import(itemsPath_);
    cItemTree* tree = frame()->itemTree();
    tree->expandAll();
    tree->setFocus();
    const TreeItemHandle ring = node({"ZR Items", "Misc", "Ring (QL 25)"});
    const TreeItemHandle cup = node({"ZR Items", "Misc", "Cup (QL 3)"});
    frame()->selectTreeItem(ring, 10);
    QTest::keyClick(tree, Qt::Key_Down); // Cup
    typeIntoBox(QStringLiteral("20"));   // typed while Cup is selected
    action(cmdBack)->trigger();
    QCOMPARE(frame()->getSelectedTreeItem(), cup);
    QCOMPARE(steps().size(), std::size_t(2)); // no step for the reselection
    // The typed step shows the typed item while the tree selects what was selected then.
    frame()->selectTreeItem(ring, 10);
    action(cmdForward)->trigger();
    QVERIFY(reportText().contains(QStringLiteral("Blade")));
    QCOMPARE(frame()->getSelectedTreeItem(), cup);
    // A step recorded with nothing selected selects nothing.
    typeIntoBox(QStringLiteral("11"));
    frame()->itemTree()->selectItem(0);
    typeIntoBox(QStringLiteral("12"));
    action(cmdBack)->trigger();
    action(cmdForward)->trigger();
    QCOMPARE(frame()->getSelectedTreeItem(), TreeItemHandle(0));
}

void cWindowTest::historyFromAnEarlierImportReselectsByIdentifier() {
    import(itemsPath_);
    frame()->itemTree()->expandAll();
    frame()->itemTree()->setFocus();
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    QTest::keyClick(frame()->itemTree(), Qt::Key_Down); // Ring, 10
    QTest::keyClick(frame()->itemTree(), Qt::Key_Down); // Cup, 11
    const TreeItemHandle oldRing = app()->history().treeItems().front();
    import(itemsPath_); // the tree is rebuilt: old handles name nothing now
    QVERIFY(!frame()->treeModel()->isValidHandle(oldRing));
    action(cmdBack)->trigger();
    QCOMPARE(frame()->getSelectedTreeItem(), node({"ZR Items", "Misc", "Ring (QL 25)"}));
    // An identifier the new tree lacks selects nothing and breaks nothing.
    typeIntoBox(QStringLiteral("777"));
    typeIntoBox(QStringLiteral("10"));
    import(itemsPath_);
    action(cmdBack)->trigger();
    QCOMPARE(frame()->getSelectedTreeItem(), TreeItemHandle(0));
}

void cWindowTest::reportPaneRendersAndStaysEditable() {
    import(itemsPath_);
    cReportPane* pane = frame()->reportPane();
    QCOMPARE(pane->font(), QApplication::font());
    typeIntoBox(QStringLiteral("20"));
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 20: Blade (QL 100)")));
    // The name is bold, the description justified, the heading italic, the
    // brackets grey; tab stops in twips become pixels at the screen's resolution.
    QTextDocument* document = pane->document();
    QCOMPARE(document->find(QStringLiteral("Blade")).charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(document->find(QStringLiteral("ZRID")).charFormat().fontWeight(), int(QFont::Normal));
    QCOMPARE(document->find(QStringLiteral("Sharp.")).blockFormat().alignment() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignJustify);
    QVERIFY(document->find(QStringLiteral("Attributes")).charFormat().fontItalic());
    QCOMPARE(document->find(QStringLiteral("-[")).charFormat().foreground().color(),
             QColor(128, 128, 128));
    const QTextCursor skill = document->find(QStringLiteral("Attack skill:"));
    QVERIFY(skill.block().text().contains(QLatin1Char('\t')));
    const QList<QTextOption::Tab> tabs = skill.blockFormat().tabPositions();
    QCOMPARE(tabs.size(), 1);
    QCOMPARE(tabs[0].position, 2000 * pane->logicalDpiX() / 1440.0);
    QVERIFY(!document->isUndoAvailable()); // filling the pane is not an edit
    // Editable: typing changes the report until the next item is shown.
    pane->setFocus();
    QTest::keyClicks(pane, QStringLiteral("note "));
    QVERIFY(reportText().startsWith(QStringLiteral("note ")));
    QVERIFY(action(cmdEditUndo)->isEnabled());
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

void cWindowTest::aboutShowsIconAndVersion() {
    cModalWatcher watcher;
    QString version;
    bool hasIcon = false;
    watcher.answer = [&](QDialog* dialog) {
        version = dialog->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
        hasIcon = !dialog->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull();
        dialog->findChild<QPushButton*>(QStringLiteral("aboutOk"))->click();
        return true;
    };
    action(cmdAppAbout)->trigger();
    QCOMPARE(watcher.seen.at(0).caption, QStringLiteral("About quarry"));
    QCOMPARE(version, QStringLiteral("quarry Version 1.0"));
    QVERIFY(hasIcon);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void cWindowTest::closingDuringAnImportWaitsForIt() {
    bool closedDuring = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (closedDuring || !frame()->importRunning()) return;
        closedDuring = true;
        frame()->close();
    });
    closer.start(0);
    import(itemsPath_);
    closer.stop();
    QVERIFY(closedDuring && frame()->closeRequested());
    QVERIFY(!frame()->isVisible() && !frame()->importRunning());
}

void cWindowTest::unreadableFileIsReportedAndChangesNothing() {
    import(itemsPath_);
    cModalWatcher watcher;
    QVERIFY(!app()->scanItemFile(dir_.filePath(QStringLiteral("missing.xml")).toStdString()));
    QCOMPARE(watcher.seen.size(), std::size_t(1));
    QVERIFY(watcher.seen[0].text.contains(QStringLiteral("missing.xml")));
    typeIntoBox(QStringLiteral("10"));
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
}

void cWindowTest::brokenIdentifierPatternEndsCleanly() {
    cModalWatcher watcher;
    QVERIFY(!app()->initInstance("{unclosed"));
    QCOMPARE(app()->mainFrame(), nullptr);
    QCOMPARE(watcher.seen.size(), std::size_t(1));
    QCOMPARE(watcher.seen[0].caption, QStringLiteral("quarry"));
    QVERIFY(watcher.seen[0].text.contains(QStringLiteral("could not be compiled")));
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QMainWindow*>(widget) || !widget->isVisible());
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
