// The Find pane in the real main window: opening it, typing, choosing results
// by keyboard and mouse, sorting, and searching while an import runs.
#include "app/quarry.h"
#include "controls/sizing_control_bar.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace quarry {

namespace {

// Item 40 holds a tag its action does not expect: its load raises a message
// box in the middle of the tree build, after items 10 to 30 are filed.
const char* const kItems =
    "<RDB>"
    "<Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Lamp Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" IsNano=\"True\"></Item>"
    "<Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
    "<Action Name=\"ToUse\"><Bogus/></Action></Item>"
    "<Item ZRID=\"41\" Name=\"Ember Lamp\" QL=\"2\" ItemType=\"Misc\"></Item>"
    "</RDB>";

} // namespace

class cFindPaneTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void searchButtonTogglesAndCtrlFOpensAtTheBox();
    void typingFiltersAndCounts();
    void enterShowsTheFirstResultAsOneStepOnItsNode();
    void keysMoveBetweenBoxAndResults();
    void headerClickSorts();
    void searchDuringAnImportRefreshesAtItsEnd();

private:
    cMainframe* frame() { return cQuarry::instance()->mainFrame(); }
    cFindPane* pane() { return frame()->findPane(); }
    QStringList rowNames();
    // Imports the file; `duringBox` runs while the import's message box is up.
    void import(const std::function<void()>& duringBox = {});

    QTemporaryDir dir_;
    QString path_;
};

void cFindPaneTest::initTestCase() {
    QVERIFY(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("items.xml"));
    QFile file(path_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kItems);
}

void cFindPaneTest::init() {
    QVERIFY(cQuarry::instance()->InitInstance());
    import();
    frame()->activateWindow(); // the import's message box had the focus
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

QStringList cFindPaneTest::rowNames() {
    QStringList names;
    const cFindResultsModel* model = pane()->resultsModel();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, cFindResultsModel::kNameColumn).data().toString();
    return names;
}

void cFindPaneTest::import(const std::function<void()>& duringBox) {
    QTimer poll;
    bool ran = false;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (duringBox && !ran) duringBox();
        ran = true;
        box->accept();
    });
    poll.start(5);
    QVERIFY(cQuarry::instance()->scanItemFile(path_.toStdString()));
    QVERIFY(ran);
}

void cFindPaneTest::searchButtonTogglesAndCtrlFOpensAtTheBox() {
    CSizingControlBar* bar = frame()->findBar();
    QCOMPARE(bar->objectName(), QStringLiteral("findBar"));
    QCOMPARE(bar->windowTitle(), QStringLiteral("Find"));
    QVERIFY(bar->isHidden());
    QAction* search = frame()->action(cmdSearch);
    search->trigger();
    QVERIFY(bar->isVisible());
    QVERIFY(search->isChecked());
    search->trigger();
    QVERIFY(bar->isHidden());
    QTest::keyClick(frame(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QVERIFY(pane()->searchBox()->hasFocus());
    QVERIFY(search->isChecked());
}

void cFindPaneTest::typingFiltersAndCounts() {
    frame()->action(cmdEditFind)->trigger();
    QLineEdit* box = pane()->searchBox();
    QTest::keyClicks(box, QStringLiteral("L"));
    QCOMPARE(rowNames(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp", "Heal"}));
    QCOMPARE(pane()->countLine()->text(), QStringLiteral("4 items"));
    QTest::keyClicks(box, QStringLiteral("amp bl"));
    QCOMPARE(rowNames(), QStringList({"Lamp Blade"}));
    QCOMPARE(pane()->countLine()->text(), QStringLiteral("1 item"));
    QTest::keyClicks(box, QStringLiteral("x"));
    QCOMPARE(pane()->countLine()->text(), QStringLiteral("no items"));
    box->setText(QStringLiteral("lammp"));
    QCOMPARE(rowNames(), QStringList({"Ember Lamp", "Lamp", "Lamp Blade"}));
    QCOMPARE(pane()->countLine()->text(), QStringLiteral("close spellings of \"lammp\": 3 items"));
    box->setText(QStringLiteral("11"));
    QCOMPARE(rowNames(), QStringList({"Cup"}));
}

void cFindPaneTest::enterShowsTheFirstResultAsOneStepOnItsNode() {
    frame()->action(cmdEditFind)->trigger();
    QTest::keyClicks(pane()->searchBox(), QStringLiteral("blade"));
    const std::size_t steps = cQuarry::instance()->history().size();
    QTest::keyClick(pane()->searchBox(), Qt::Key_Return);
    QVERIFY(frame()->reportPane()->toPlainText().contains(QStringLiteral("Lamp Blade")));
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("20"));
    QCOMPARE(cQuarry::instance()->history().size(), steps + 1);
    const TreeItemHandle node = frame()->getSelectedTreeItem();
    QCOMPARE(frame()->treeModel()->itemData(node), 20);
    QCOMPARE(cQuarry::instance()->history().treeItems().back(), node);
    QVERIFY(pane()->searchBox()->hasFocus());

    // A click on a result does the same; a nano program has its own folder.
    pane()->searchBox()->setText(QStringLiteral("heal"));
    QTableView* view = pane()->resultsView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    QCOMPARE(cQuarry::instance()->history().size(), steps + 2);
    QCOMPARE(frame()->treeModel()->itemData(frame()->getSelectedTreeItem()), 30);
}

void cFindPaneTest::keysMoveBetweenBoxAndResults() {
    frame()->action(cmdEditFind)->trigger();
    QLineEdit* box = pane()->searchBox();
    QTableView* view = pane()->resultsView();
    QTest::keyClicks(box, QStringLiteral("lamp"));
    QTest::keyClick(box, Qt::Key_Down);
    QVERIFY(view->hasFocus());
    QCOMPARE(view->currentIndex().row(), 0);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(frame()->itemIdBox()->text(), QStringLiteral("20"));
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(box->hasFocus());
    QCOMPARE(box->text(), QStringLiteral("lamp"));
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(box->text().isEmpty());
    QCOMPARE(view->model()->rowCount(), 0);
}

void cFindPaneTest::headerClickSorts() {
    frame()->action(cmdEditFind)->trigger();
    pane()->searchBox()->setText(QStringLiteral("lamp"));
    QHeaderView* header = pane()->resultsView()->horizontalHeader();
    const int ql = cFindResultsModel::kQlColumn;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ql) + 5, header->height() / 2));
    const QStringList first = rowNames();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ql) + 5, header->height() / 2));
    QStringList reversed = rowNames();
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(first, reversed);
    QCOMPARE(first, QStringList({"Ember Lamp", "Lamp", "Lamp Blade"}));
}

void cFindPaneTest::searchDuringAnImportRefreshesAtItsEnd() {
    frame()->action(cmdEditFind)->trigger();
    pane()->searchBox()->setText(QStringLiteral("lamp"));
    QStringList during;
    QString countDuring;
    import([&] {
        pane()->searchBox()->setText(QStringLiteral("LAMP"));
    during = rowNames();
    countDuring = pane()->countLine()->text();
});
QCOMPARE(during, QStringList({"Lamp", "Lamp Blade"}));
QCOMPARE(countDuring, QStringLiteral("2 items so far, import running"));
QCOMPARE(rowNames(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp"}));
QCOMPARE(pane()->countLine()->text(), QStringLiteral("3 items"));
} // namespace quarry

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    cFindPaneTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "find_pane_test.moc"
