// The Find pane in the real main window: opening it, typing, choosing results
// by keyboard and mouse, and searching while an import runs.
#include "app/quarry.h"
#include "controls/sizing_control_bar.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace quarry {

// Item 40's action holds a tag it does not expect: its load raises a message
// box in the middle of the tree build, after items 10 to 30 are filed.
const char* const kItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Lamp Blade\" QL=\"100\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" QL=\"5\" IsNano=\"True\"></Item>"
    "<Item ZRID=\"40\" Name=\"Odd\" QL=\"1\" ItemType=\"Misc\">"
    "<Action Name=\"ToUse\"><Bogus/></Action></Item>"
    "<Item ZRID=\"41\" Name=\"Ember Lamp\" QL=\"2\" ItemType=\"Misc\"></Item>"
    "</RDB>";

class cFindPaneTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void opensAndFiltersAsYouType();
    void choosingShowsOneHistoryStepOnItsTreeNode();
    void searchDuringAnImportRefreshesAtItsEnd();

private:
    cMainframe* frame() { return cQuarry::instance()->mainFrame(); }
    cFindPane* pane() { return frame()->findPane(); }
    QLineEdit* box() { return pane()->searchBox(); }
    QString count() { return pane()->countLine()->text(); }
    QStringList rows() {
        QStringList names;
        for (int row = 0; row < pane()->resultsModel()->rowCount(); ++row)
            names << pane()->resultsModel()->index(row, 0).data().toString();
        return names;
    }
    // Imports the file; `duringBox` runs while the import's message box is up.
    void import(const std::function<void()>& duringBox = [] {}) {
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                duringBox();
                box->accept();
            }
        });
        poll.start(5);
        QVERIFY(cQuarry::instance()->scanItemFile(dir_.filePath("items.xml").toStdString()));
    }

    QTemporaryDir dir_;
};

void cFindPaneTest::init() {
    QFile file(dir_.filePath("items.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kItems) > 0);
    file.close();
    QVERIFY(cQuarry::instance()->InitInstance());
    import();
    frame()->activateWindow(); // the import's message box had the focus
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

void cFindPaneTest::opensAndFiltersAsYouType() {
    QAction* search = frame()->action(cmdSearch);
    QCOMPARE(frame()->findBar()->objectName(), QStringLiteral("findBar"));
    QVERIFY(frame()->findBar()->isHidden());
    search->trigger();
    QVERIFY(frame()->findBar()->isVisible() && search->isChecked());
    search->trigger();
    QVERIFY(frame()->findBar()->isHidden());
    QTest::keyClick(frame(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(frame()->findBar()->isVisible() && search->isChecked() && box()->hasFocus());

    QTest::keyClicks(box(), "L");
    QCOMPARE(rows(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp", "Heal"}));
    QCOMPARE(count(), "4 items");
    QTest::keyClicks(box(), "amp bl");
    QCOMPARE(rows(), QStringList({"Lamp Blade"}));
    QCOMPARE(count(), "1 item");
    QTest::keyClicks(box(), "x");
    QCOMPARE(count(), "no items");
    box()->setText("lammp");
    QCOMPARE(rows(), QStringList({"Ember Lamp", "Lamp", "Lamp Blade"}));
    QCOMPARE(count(), "close spellings of \"lammp\": 3 items");
}

void cFindPaneTest::choosingShowsOneHistoryStepOnItsTreeNode() {
    frame()->action(cmdEditFind)->trigger();
    QTest::keyClicks(box(), "blade");
    const std::size_t steps = cQuarry::instance()->history().size();
    QTest::keyClick(box(), Qt::Key_Return);
    QVERIFY(frame()->reportPane()->toPlainText().contains("Lamp Blade"));
    QCOMPARE(frame()->itemIdBox()->text(), "20");
    QCOMPARE(cQuarry::instance()->history().size(), steps + 1);
    const TreeItemHandle node = frame()->getSelectedTreeItem();
    QCOMPARE(frame()->treeModel()->itemZrid(node), 20);
    QCOMPARE(cQuarry::instance()->history().treeItems().back(), node);
    QVERIFY(box()->hasFocus());

    // A click does the same; so does Enter in the results after Down.
    box()->setText("heal");
    QTableView* view = pane()->resultsView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    QCOMPARE(cQuarry::instance()->history().size(), steps + 2);
    QCOMPARE(frame()->treeModel()->itemZrid(frame()->getSelectedTreeItem()), 30);
    box()->setText("lamp");
    QTest::keyClick(box(), Qt::Key_Down);
    QVERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(frame()->itemIdBox()->text(), "20");
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(box()->hasFocus() && box()->text() == "lamp");
    QTest::keyClick(box(), Qt::Key_Escape);
    QVERIFY(box()->text().isEmpty() && rows().isEmpty());
}

void cFindPaneTest::searchDuringAnImportRefreshesAtItsEnd() {
    frame()->action(cmdEditFind)->trigger();
    QStringList during;
    QString countDuring;
    import([&] {
        box()->setText("LAMP");
    during = rows();
    countDuring = count();
});
QCOMPARE(during, QStringList({"Lamp", "Lamp Blade"}));
QCOMPARE(countDuring, "2 items so far, import running");
QCOMPARE(rows(), QStringList({"Lamp", "Lamp Blade", "Ember Lamp"}));
QCOMPARE(count(), "3 items");
} // namespace quarry

} // namespace quarry

int main(int argc, char** argv) {
    quarry::cQuarry app(argc, argv);
    quarry::cQuarry::setQuitOnLastWindowClosed(false);
    quarry::cFindPaneTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "find_pane_test.moc"
