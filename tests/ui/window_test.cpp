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

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
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
    "<RDB>"
    "<Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\" IsNano=\"False\">"
    "<Description>A plain ring.</Description></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\" IsNano=\"False\"><Description>Holds "
    "tea.</Description></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\" "
    "IsNano=\"False\"><Description>Bright.</Description></Item>"
    "<Item ZRID=\"20\" Name=\"Blade\" QL=\"100\" ItemType=\"Weapon\" "
    "IsNano=\"False\"><Description>Sharp.</Description>"
    "<AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" ItemType=\"Misc\" "
    "IsNano=\"True\"><Description>Heals.</Description></Item>"
    "</RDB>";

// Closes every modal box that comes up and notes what it said.
class cModalWatcher : public QObject {
public:
    struct cSeen {
        QString caption;
        QString text;
        int buttons = 0;
        QWidget* parent = nullptr;
        bool modal = false;
    };
    // Answers a file dialog; without it file dialogs are cancelled.
    std::function<void(QFileDialog*)> onFileDialog;

    cModalWatcher() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &cModalWatcher::poll);
        timer_.start();
    }
    std::vector<cSeen> seen;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.push_back({box->windowTitle(), box->text(),
                            static_cast<int>(box->buttons().size()), box->parentWidget(),
                            box->isModal()});
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            seen.push_back(
                {files->windowTitle(), QString(), 0, files->parentWidget(), files->isModal()});
            if (onFileDialog)
                onFileDialog(files);
            else
                files->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            seen.push_back(
                {dialog->windowTitle(), QString(), 0, dialog->parentWidget(), dialog->isModal()});
            dialog->reject();
        }
    }
    QTimer timer_;
};

} // namespace

class cWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void startsEmptyWithEveryPiece();
    void commandPromptsShowInTheStatusBar();
    void boxBeforeImportShowsTheFailureText();
    void boxConvertsAndPassesTheFocusOn();
    void importShowsProgressAndBuildsTheTree();
    void importAsksForTheFileFirst();
    void menuBarAnswersKeyboardAndMouse();
    void paneKeysMoveTheFocus();
    void treeSelectionByKeyboardMouseAndProgram();
    void backAndForwardAcrossTenAndElevenSteps();
    void backAndForwardMoveTheTreeSelectionOnly();
    void historyFromAnEarlierImportReselectsByIdentifier();
    void reportPaneRendersAndStaysEditable();
    void unsupportedTagsGiveOneBoxAndOneSummary();
    void aboutShowsIconVersionAndOk();
    void dockStartsLeftAtItsSize();
    void closingDuringAnImportStopsIt();
    void unreadableFileIsReportedAndChangesNothing();
    void brokenIdentifierPatternEndsCleanly();

private:
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    QString reportText() { return frame()->reportPane()->toPlainText(); }
    void import(const QString& path) { QVERIFY(app()->scanItemFile(path.toStdString())); }
    void typeIntoBox(const QString& text);
    TreeItemHandle node(const QStringList& labels);
    void clickTreeItem(TreeItemHandle handle);

    QTemporaryDir dir_;
    QString itemsPath_;
    QString bogusPath_;
};

void cWindowTest::initTestCase() {
    QVERIFY(dir_.isValid());
    itemsPath_ = dir_.filePath(QStringLiteral("items.xml"));
    QFile items(itemsPath_);
    QVERIFY(items.open(QIODevice::WriteOnly));
    items.write(kItems);
    items.close();

    // An item whose action holds a thousand tags the parser does not expect.
    QByteArray bogus =
        "<RDB><Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\" IsNano=\"False\">"
        "<Action Name=\"ToUse\">";
    for (int i = 0; i < 1000; ++i)
        bogus += "<Bogus/>";
    bogus += "</Action></Item></RDB>";
    bogusPath_ = dir_.filePath(QStringLiteral("bogus.xml"));
    QFile file(bogusPath_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bogus);
}

void cWindowTest::init() {
    QVERIFY(app()->InitInstance());
    frame()->resize(900, 640);
    frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

void cWindowTest::typeIntoBox(const QString& text) {
    cItemIdBox* box = frame()->itemIdBox();
    box->setFocus(Qt::OtherFocusReason);
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
}

TreeItemHandle cWindowTest::node(const QStringList& labels) {
    cItemTreeModel* model = frame()->treeModel();
    TreeItemHandle parent = 0;
    for (const QString& label : labels) {
        TreeItemHandle found = 0;
        for (TreeItemHandle child : model->children(parent))
            if (QString::fromStdString(model->itemLabel(child)) == label) found = child;
        if (found == 0) return 0;
        parent = found;
    }
    return parent;
}

void cWindowTest::clickTreeItem(TreeItemHandle handle) {
    cItemTree* tree = frame()->itemTree();
    const QModelIndex index = frame()->treeModel()->indexOf(handle);
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

void cWindowTest::startsEmptyWithEveryPiece() {
    cMainframe* f = frame();
    QCOMPARE(f->windowTitle(), QStringLiteral("quarry"));
    QVERIFY(!f->windowIcon().isNull());
    QCOMPARE(f->menuWidget(), nullptr); // no window menu: the menu lives in its band
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden());
    QCOMPARE(f->treeModel()->rowCount(), 0);
    QVERIFY(reportText().isEmpty());
    QVERIFY(f->itemIdBox()->text().isEmpty());

    // The three bands, in order, at the top.
    QCOMPARE(f->toolBarArea(f->toolBar()), Qt::TopToolBarArea);
    QCOMPARE(f->toolBarArea(f->menuBand()), Qt::TopToolBarArea);
    QCOMPARE(f->toolBarArea(f->itemIdBand()), Qt::TopToolBarArea);
    QVERIFY(f->toolBar()->x() < f->menuBand()->x());
    QVERIFY(f->menuBand()->x() < f->itemIdBand()->x());
    QCOMPARE(f->menuBarControl()->parentWidget(), static_cast<QWidget*>(f->menuBand()));
    QCOMPARE(f->itemIdBand()->findChild<QLabel*>()->text(), QStringLiteral("Item ID"));
    QCOMPARE(f->menuBarControl()->itemCount(), 4);

    // Back, Forward, a separator, Search.
    const QList<QAction*> buttons = f->toolBar()->actions();
    QCOMPARE(buttons.size(), 4);
    QCOMPARE(buttons[0], f->action(cmdBack));
    QCOMPARE(buttons[1], f->action(cmdForward));
    QVERIFY(buttons[2]->isSeparator());
    QCOMPARE(buttons[3], f->action(cmdSearch));
    QCOMPARE(f->toolBar()->iconSize(), QSize(20, 20));
    for (int command : {cmdBack, cmdForward, cmdSearch}) {
        const QIcon icon = f->action(command)->icon();
        QVERIFY(!icon.pixmap(20, 20, QIcon::Normal).isNull());
        QVERIFY(icon.pixmap(20, 20, QIcon::Normal).toImage() !=
                icon.pixmap(20, 20, QIcon::Disabled).toImage());
    }

    // Enabled states before anything was shown.
    QVERIFY(!f->action(cmdBack)->isEnabled());
    QVERIFY(!f->action(cmdForward)->isEnabled());
    QVERIFY(f->action(cmdSearch)->isEnabled());
    QVERIFY(f->action(cmdImport)->isEnabled());
    QVERIFY(f->action(cmdAppAbout)->isEnabled());
    QVERIFY(!f->action(cmdEditCopy)->isEnabled()); // the report is not the active view yet

    // The report in its thin sunken frame, editable.
    QCOMPARE(f->centralWidget(), static_cast<QWidget*>(f->splitter()));
    QCOMPARE(f->splitter()->GetPane(0, 0), static_cast<QWidget*>(f->reportPane()));
    QCOMPARE(f->splitter()->lineWidth(), 1);
    QVERIFY(!f->reportPane()->isReadOnly());

    // View > Toolbar and Status Bar hide and show their bars.
    f->action(cmdViewToolbar)->trigger();
    QVERIFY(f->toolBar()->isHidden());
    f->action(cmdViewToolbar)->trigger();
    QVERIFY(!f->toolBar()->isHidden());
    f->action(cmdViewStatusBar)->trigger();
    QVERIFY(f->paneStatusBar()->isHidden());
    QVERIFY(!f->action(cmdViewStatusBar)->isChecked());
    f->action(cmdViewStatusBar)->trigger();
    QVERIFY(!f->paneStatusBar()->isHidden());
}

void cWindowTest::commandPromptsShowInTheStatusBar() {
    cMainframe* f = frame();
    QCOMPARE(f->action(cmdImport)->statusTip(), QStringLiteral("Import content of selected file"));
    QCOMPARE(f->action(cmdBack)->statusTip(), QStringLiteral("Goes to the previous page."));
    QCOMPARE(f->action(cmdBack)->toolTip(), QStringLiteral("Back"));
    QCOMPARE(f->action(cmdForward)->toolTip(), QStringLiteral("Forward"));
    QCOMPARE(f->action(cmdSearch)->statusTip(), QStringLiteral("Search"));
    // The pointer rests on Import, then leaves it.
    f->action(cmdImport)->showStatusText(f->menuBarControl());
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Import content of selected file"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(f->menuBarControl(), &leave);
    QVERIFY(f->statusBar()->currentMessage().isEmpty());
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->paneStatusBar()->paneLabel(0)->isVisible());
}

void cWindowTest::boxBeforeImportShowsTheFailureText() {
    typeIntoBox(QStringLiteral("  42"));
    QCOMPARE(reportText(), QStringLiteral("--failed to load item data--"));
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("42"));
    QVERIFY(!frame()->action(cmdBack)->isEnabled());
    typeIntoBox(QStringLiteral("abc"));
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("0"));
    QVERIFY(frame()->action(cmdBack)->isEnabled()); // after the second step
    QVERIFY(!frame()->action(cmdForward)->isEnabled());

    // A failed load replaces a good report too.
    import(itemsPath_);
    typeIntoBox(QStringLiteral("10"));
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
    typeIntoBox(QStringLiteral("999"));
    QCOMPARE(reportText(), QStringLiteral("--failed to load item data--"));
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("999"));
}

void cWindowTest::boxConvertsAndPassesTheFocusOn() {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"  42", "42"}, {"42abc", "42"}, {"abc", "0"},
                 {"", "0"},      {"-7", "-7"},    {"4294967338", "42"}};
    for (const auto& c : cases) {
        typeIntoBox(QString::fromLatin1(c.typed));
        QCOMPARE(frame()->itemIdBox()->text(), QString::fromLatin1(c.shown));
        QCOMPARE(app()->history().identifiers().back(), QByteArray(c.shown).toInt());
    }
    // Enter twice on the same text makes two steps.
    const std::size_t before = app()->history().size();
    typeIntoBox(QStringLiteral("-7"));
    QCOMPARE(app()->history().size(), std::min<std::size_t>(before + 1, 10));
    QCOMPARE(app()->history().identifiers().back(), -7);

    // After Enter the focus has left the box for the frame's client area, and
    // a second Enter there shows nothing.
    QVERIFY(!frame()->itemIdBox()->hasFocus());
    QVERIFY(frame()->splitter()->hasFocus());
    const std::deque<ZRID> steps = app()->history().identifiers();
    QTest::keyClick(frame()->splitter(), Qt::Key_Return);
    QCOMPARE(app()->history().identifiers(), steps);

    // Coming back to the box selects its whole text, by Tab or by click.
    cItemIdBox* box = frame()->itemIdBox();
    box->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->selectedText(), QStringLiteral("-7"));
    frame()->splitter()->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, box->height() / 2));
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectedText(), QStringLiteral("-7"));
    QTest::keyClicks(box, QStringLiteral("12"));
    QCOMPARE(box->text(), QStringLiteral("12")); // typing replaces the selection
}

void cWindowTest::importShowsProgressAndBuildsTheTree() {
    cMainframe* f = frame();
    QStringList paneTexts;
    bool importDisabledDuring = false;
    bool progressPlaced = false;
    QString reportDuringBuild;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, this, [&] {
        const QString text = f->paneStatusBar()->paneText(0);
        if (paneTexts.isEmpty() || paneTexts.back() != text) paneTexts << text;
        if (!f->action(cmdImport)->isEnabled()) importDisabledDuring = true;
        CProgressBar* progress = f->progressBar();
        if (!progress->isHidden()) {
            const QFontMetrics metrics(f->paneStatusBar()->font());
            const QRect expected = CProgressBar::placeInRect(
                f->paneStatusBar()->paneRect(0), metrics.horizontalAdvance(text),
                metrics.horizontalAdvance(QLatin1Char(' ')), 100);
            progressPlaced = progress->geometry() == expected;
        }
        // The window answers during the build: showing an item works.
        if (text == QStringLiteral("Importing Item Data") && reportDuringBuild.isEmpty()) {
            app()->showItem(12);
            reportDuringBuild = reportText();
        }
    });
    watch.start();
    import(itemsPath_);
    watch.stop();

    QCOMPARE(paneTexts.value(0), QStringLiteral("Scanning File"));
    QVERIFY2(paneTexts.contains(QStringLiteral("Importing Item Data")),
             qPrintable(paneTexts.join('|')));
    QVERIFY(importDisabledDuring);
    QVERIFY(progressPlaced);
    QVERIFY(reportDuringBuild.contains(QStringLiteral("Lamp")));
    QCOMPARE(f->paneStatusBar()->paneText(0), QStringLiteral("Ready"));
    QVERIFY(f->progressBar()->isHidden());
    QVERIFY(f->action(cmdImport)->isEnabled());

    // The tree: the root expanded, items under their folders with their ZRIDs.
    cItemTreeModel* model = f->treeModel();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(f->itemTree()->isExpanded(model->index(0, 0)));
    QCOMPARE(model->itemZrid(node({"ZR Items", "Misc", "Ring (QL 25)"})), 10);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Misc", "Lamp (QL 7)"})), 12);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"})), 20);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Nanoprogram", "Heal"})), 30);
    QCOMPARE(model->itemZrid(node({"ZR Items", "Misc"})), 0);
    QVERIFY(!model->hasPending());

    // Importing leaves the history, the report and the box as they were.
    QCOMPARE(app()->history().identifiers(), std::deque<ZRID>{12});
    import(itemsPath_);
    QCOMPARE(app()->history().identifiers(), std::deque<ZRID>{12});
    QVERIFY(reportText().contains(QStringLiteral("Lamp")));
    QCOMPARE(f->itemIdBox()->text(), QStringLiteral("12"));
}

void cWindowTest::importAsksForTheFileFirst() {
    cModalWatcher watcher;
    QStringList filters;
    QString suffix;
    bool existingOnly = false;
    watcher.onFileDialog = [&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        existingOnly = dialog->fileMode() == QFileDialog::ExistingFile;
        dialog->reject();
    };
    frame()->action(cmdImport)->trigger(); // cancelled: nothing changes
    QCOMPARE(watcher.seen.size(), std::size_t(1));
    QCOMPARE(watcher.seen[0].caption, QStringLiteral("Import Parsed RDB File"));
    QCOMPARE(watcher.seen[0].parent, static_cast<QWidget*>(frame()));
    QCOMPARE(filters, (QStringList{"Parsed RDB Files (*.xml)", "All Files (*.*)"}));
    QCOMPARE(suffix, QStringLiteral("xml"));
    QVERIFY(existingOnly);
    QCOMPARE(frame()->treeModel()->rowCount(), 0);

    watcher.onFileDialog = [this](QFileDialog* dialog) {
        dialog->selectFile(itemsPath_);
        static_cast<QDialog*>(dialog)->accept(); // the dialog checks and takes the file
    };
    frame()->action(cmdImport)->trigger();
    QCOMPARE(watcher.seen.size(), std::size_t(2));
    QTRY_VERIFY(node({"ZR Items", "Misc", "Ring (QL 25)"}) != 0);
}

void cWindowTest::menuBarAnswersKeyboardAndMouse() {
    CMenuBar* bar = frame()->menuBarControl();
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : frame();

    // Alt+letter opens that popup; Escape closes it.
    QTest::keyClick(focus, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY(bar->popup(2)->isVisible());
    QTest::keyClick(bar->popup(2), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(2)->isVisible());

    // Sliding the mouse along the open bar opens each popup in turn.
    QVERIFY(bar->OpenByMnemonic(QChar('f')));
    QTRY_VERIFY(bar->popup(0)->isVisible());
    // While a popup is open the platform hands it every mouse move.
    auto slideTo = [bar](QMenu* open, int item) {
        const QPointF global =
            bar->mapToGlobal(QPointF(bar->actionGeometry(bar->actions()[item]).center()));
        QMouseEvent move(QEvent::MouseMove, open->mapFromGlobal(global), global, Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(open, &move);
    };
    slideTo(bar->popup(0), 1);
    QTRY_VERIFY(bar->popup(1)->isVisible());
    QVERIFY(!bar->popup(0)->isVisible());
    QTest::keyClick(bar->popup(1), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(1)->isVisible());
    bar->setActiveAction(nullptr);

    // Alt alone gives the bar the keyboard with its first item highlighted;
    // the arrows move along it, Alt again gives the keyboard back.
    cItemTree* tree = frame()->itemTree();
    tree->setFocus();
    QTest::keyPress(tree, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(tree, Qt::Key_Alt, Qt::AltModifier);
    QTRY_COMPARE(bar->activeAction(), bar->actions()[0]);
    QVERIFY(bar->hasFocus());
    QVERIFY(!bar->popup(0)->isVisible());
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(bar->activeAction(), bar->actions()[3]);
    QTest::keyPress(bar, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(bar, Qt::Key_Alt, Qt::AltModifier);
    QTRY_VERIFY(tree->hasFocus());
    QCOMPARE(bar->activeAction(), nullptr);
    // Alt together with another key is not Alt alone.
    QTest::keyPress(tree, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(tree, Qt::Key_Z, Qt::AltModifier);
    QTest::keyRelease(tree, Qt::Key_Alt, Qt::AltModifier);
    QCOMPARE(bar->activeAction(), nullptr);
    QVERIFY(tree->hasFocus());

    // Commands chosen in a popup reach the application: Go To > Back.
    typeIntoBox(QStringLiteral("1"));
    typeIntoBox(QStringLiteral("2"));
    QMenu* goTo = bar->popup(2)->actions()[3]->menu();
    goTo->actions()[0]->trigger();
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("1"));
}

void cWindowTest::paneKeysMoveTheFocus() {
    frame()->itemTree()->setFocus();
    QTest::keyClick(frame()->itemTree(), Qt::Key_F6);
    QVERIFY(frame()->reportPane()->hasFocus());
    QVERIFY(frame()->reportPane()->isActiveView());
    QTest::keyClick(frame()->reportPane(), Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(frame()->itemTree()->hasFocus());
}

void cWindowTest::treeSelectionByKeyboardMouseAndProgram() {
    import(itemsPath_);
    cItemTree* tree = frame()->itemTree();
    tree->expandAll();
    tree->setFocus();

    // A selection by the program shows nothing and records nothing.
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    QCOMPARE(frame()->getSelectedTreeItem(), node({"ZR Items", "Misc"}));
    QVERIFY(reportText().isEmpty());
    QCOMPARE(app()->history().size(), std::size_t(0));

    // Arrow keys show every item passed over, each a step with its handle.
    QTest::keyClick(tree, Qt::Key_Down);
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("10"));
    QTest::keyClick(tree, Qt::Key_Down);
    QVERIFY(reportText().contains(QStringLiteral("Cup")));
    QCOMPARE(app()->history().identifiers(), (std::deque<ZRID>{10, 11}));
    QCOMPARE(app()->history().treeItems().back(), node({"ZR Items", "Misc", "Cup (QL 3)"}));
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Up); // onto the Misc folder: nothing
    QCOMPARE(app()->history().identifiers(), (std::deque<ZRID>{10, 11, 10}));
    QVERIFY(reportText().contains(QStringLiteral("Ring")));

    // The mouse: an item shows, a folder does not, the selected item again does nothing.
    clickTreeItem(node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"}));
    QVERIFY(reportText().contains(QStringLiteral("Blade")));
    QCOMPARE(app()->history().size(), std::size_t(4));
    clickTreeItem(node({"ZR Items", "Weapon", "Edged", "Blade (QL 100)"}));
    QCOMPARE(app()->history().size(), std::size_t(4));
    clickTreeItem(node({"ZR Items", "Weapon"}));
    QCOMPARE(app()->history().size(), std::size_t(4));
    QVERIFY(reportText().contains(QStringLiteral("Blade")));
    QCOMPARE(frame()->getSelectedTreeItem(), node({"ZR Items", "Weapon"}));
}

void cWindowTest::backAndForwardAcrossTenAndElevenSteps() {
    import(itemsPath_);
    QAction* back = frame()->action(cmdBack);
    QAction* forward = frame()->action(cmdForward);

    // Ten steps: Back reaches the first one, nine times.
    const ZRID ten[] = {10, 11, 12, 20, 30, 10, 11, 12, 20, 30};
    for (ZRID zrid : ten)
        typeIntoBox(QString::number(zrid));
    QCOMPARE(app()->history().size(), std::size_t(10));
    for (int i = 8; i >= 0; --i) {
        QVERIFY(back->isEnabled());
        back->trigger();
        QCOMPARE(frame()->itemIdBox()->text(), QString::number(ten[i]));
        QVERIFY(forward->isEnabled());
    }
    QVERIFY(!back->isEnabled());
    QVERIFY(reportText().contains(QStringLiteral("Ring")));
    back->trigger(); // a late Back does nothing
    QCOMPARE(app()->history().position(), 0u);
    forward->trigger();
    forward->trigger();
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("12"));
    QVERIFY(reportText().contains(QStringLiteral("Lamp")));
    QCOMPARE(app()->history().size(), std::size_t(10)); // moving adds nothing

    // A new step drops what Forward would have reached.
    typeIntoBox(QStringLiteral("20"));
    QCOMPARE(app()->history().identifiers(), (std::deque<ZRID>{10, 11, 12, 20}));
    QVERIFY(!forward->isEnabled());

    // Eleven steps keep the last ten.
    for (ZRID zrid = 100; zrid < 111; ++zrid)
        typeIntoBox(QString::number(zrid));
    QCOMPARE(app()->history().size(), std::size_t(10));
    int backs = 0;
    while (back->isEnabled()) {
        back->trigger();
        ++backs;
    }
    QCOMPARE(backs, 9);
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("101"));
    QCOMPARE(reportText(),
             QStringLiteral("--failed to load item data--")); // failed steps count too
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
    QCOMPARE(app()->history().treeItems().back(), cup);

    frame()->action(cmdBack)->trigger();
    QCOMPARE(frame()->getSelectedTreeItem(), cup);
    QVERIFY(reportText().contains(QStringLiteral("Cup")));
    QCOMPARE(app()->history().size(), std::size_t(2)); // no step for the reselection

    // The typed step shows the typed item while the tree selects what was selected then.
    frame()->selectTreeItem(ring, 10);
    frame()->action(cmdForward)->trigger();
    QVERIFY(reportText().contains(QStringLiteral("Blade")));
    QCOMPARE(frame()->getSelectedTreeItem(), cup);
    QCOMPARE(app()->history().size(), std::size_t(2));

    // A step recorded with nothing selected selects nothing.
    typeIntoBox(QStringLiteral("11"));
    frame()->itemTree()->selectItem(0);
    typeIntoBox(QStringLiteral("12"));
    frame()->action(cmdBack)->trigger();
    frame()->action(cmdForward)->trigger();
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
    frame()->action(cmdBack)->trigger();
    const TreeItemHandle selected = frame()->getSelectedTreeItem();
    QCOMPARE(selected, node({"ZR Items", "Misc", "Ring (QL 25)"}));
    QCOMPARE(frame()->treeModel()->itemZrid(selected), 10);

    // An identifier the new tree lacks selects nothing and breaks nothing.
    typeIntoBox(QStringLiteral("777"));
    import(itemsPath_);
    frame()->selectTreeItem(node({"ZR Items", "Misc"}), 0);
    typeIntoBox(QStringLiteral("10"));
    import(itemsPath_);
    frame()->action(cmdBack)->trigger(); // 777 with a stale handle
    QCOMPARE(frame()->getSelectedTreeItem(), TreeItemHandle(0));
    QCOMPARE(frame()->treeModel()->rowCount(), 1);
}

void cWindowTest::reportPaneRendersAndStaysEditable() {
    import(itemsPath_);
    cReportPane* pane = frame()->reportPane();
    QCOMPARE(pane->font(), QApplication::font());
    typeIntoBox(QStringLiteral("20"));
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 20: Blade (QL 100)")));

    // The name is bold, the description justified, the section line grey.
    QTextDocument* document = pane->document();
    const QTextCursor name = document->find(QStringLiteral("Blade"));
    QVERIFY(!name.isNull());
    QCOMPARE(name.charFormat().fontWeight(), int(QFont::Bold));
    const QTextCursor zrid = document->find(QStringLiteral("ZRID"));
    QCOMPARE(zrid.charFormat().fontWeight(), int(QFont::Normal));
    const QTextCursor description = document->find(QStringLiteral("Sharp."));
    QCOMPARE(description.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const QTextCursor heading = document->find(QStringLiteral("Attributes"));
    QVERIFY(heading.charFormat().fontItalic());
    const QTextCursor dash = document->find(QStringLiteral("-["));
    QCOMPARE(dash.charFormat().foreground().color(), QColor(128, 128, 128));
    // Tab stops in twips become pixels at the screen's resolution.
    const QTextCursor skill = document->find(QStringLiteral("Attack skill:"));
    QVERIFY(!skill.isNull());
    QVERIFY(skill.block().text().contains(QLatin1Char('\t')));
    const QList<QTextOption::Tab> tabs = skill.blockFormat().tabPositions();
    QCOMPARE(tabs.size(), 1);
    QCOMPARE(tabs[0].position, 2000 * pane->logicalDpiX() / 1440.0);
    QVERIFY(!document->isUndoAvailable()); // filling the pane is not an edit

    // Editable: typing changes the report until the next item is shown.
    pane->setFocus();
    QTest::keyClicks(pane, QStringLiteral("note "));
    QVERIFY(reportText().startsWith(QStringLiteral("note ")));
    QVERIFY(frame()->action(cmdEditUndo)->isEnabled());
    frame()->action(cmdEditUndo)->trigger();
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 20")));
    pane->selectAll();
    QVERIFY(frame()->action(cmdEditCopy)->isEnabled());
    typeIntoBox(QStringLiteral("10"));
    QVERIFY(reportText().startsWith(QStringLiteral("ZRID 10: Ring")));
    QCOMPARE(pane->textCursor().position(), 0);
}

void cWindowTest::unsupportedTagsGiveOneBoxAndOneSummary() {
    cModalWatcher watcher;
    import(bogusPath_); // the tree build loads the item once
    QCOMPARE(watcher.seen.size(), std::size_t(2));
    const cModalWatcher::cSeen first = watcher.seen[0];
    QCOMPARE(first.caption, QStringLiteral("cQuarry::processEvent"));
    QCOMPARE(
        first.text,
        QStringLiteral("Encountered unsupported tag: <Bogus> while processing item with ZRID 40"));
    QCOMPARE(first.buttons, 1);
    QCOMPARE(first.parent, static_cast<QWidget*>(frame()));
    QVERIFY(first.modal);
    QCOMPARE(watcher.seen[1].caption, QStringLiteral("cQuarry::processEvent"));
    QVERIFY2(watcher.seen[1].text.startsWith(QStringLiteral("999 more")),
             qPrintable(watcher.seen[1].text));

    // Showing the item is an operation of its own: one box, one summary.
    typeIntoBox(QStringLiteral("40"));
    QCOMPARE(watcher.seen.size(), std::size_t(4));
    QVERIFY(watcher.seen[3].text.contains(QStringLiteral("item 40")));
    QVERIFY(reportText().contains(QStringLiteral("Odd")));
}

void cWindowTest::aboutShowsIconVersionAndOk() {
    QString version;
    QString caption;
    bool hasIcon = false;
    QStringList buttons;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        version = dialog->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
        hasIcon = !dialog->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull();
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            buttons << button->text();
        dialog->findChild<QPushButton*>(QStringLiteral("aboutOk"))->click();
    });
    frame()->action(cmdAppAbout)->trigger();
    QCOMPARE(caption, QStringLiteral("About quarry"));
    QCOMPARE(version, QStringLiteral("quarry Version 1.0"));
    QVERIFY(hasIcon);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void cWindowTest::dockStartsLeftAtItsSize() {
    cItemTreeBar* bar = frame()->treeBar();
    QCOMPARE(bar->windowTitle(), QStringLiteral("Items"));
    QCOMPARE(frame()->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    QVERIFY(bar->IsDockedVert());
    QTRY_COMPARE(bar->width(), 200);
    QVERIFY(bar->barStyle() & CSizingControlBar::sizeChild);
    QCOMPARE(bar->widget(), static_cast<QWidget*>(frame()->itemTree()));
    QCOMPARE(frame()->itemTree()->width(), bar->width());
    QVERIFY(!bar->close());
    QVERIFY(bar->isVisible());
}

void cWindowTest::closingDuringAnImportStopsIt() {
    bool closedDuring = false;
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [&] {
        if (!closedDuring && frame()->importRunning()) {
            closedDuring = true;
            frame()->close();
        }
    });
    closer.start();
    QVERIFY(!app()->scanItemFile(itemsPath_.toStdString())); // stopped, not finished
    closer.stop();
    QVERIFY(closedDuring);
    QVERIFY(frame()->closeRequested());
    QVERIFY(!frame()->isVisible());
    QVERIFY(!frame()->importRunning());
}

void cWindowTest::unreadableFileIsReportedAndChangesNothing() {
    import(itemsPath_);
    cModalWatcher watcher;
    QVERIFY(!app()->scanItemFile(dir_.filePath(QStringLiteral("missing.xml")).toStdString()));
    QCOMPARE(watcher.seen.size(), std::size_t(1));
    QVERIFY(watcher.seen[0].text.contains(QStringLiteral("missing.xml")));
    QVERIFY(node({"ZR Items", "Misc", "Ring (QL 25)"}) != 0);
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
