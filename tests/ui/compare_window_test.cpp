// The compare list and the report's links in the real main window: items put
// on the list from the report, by Ctrl+D and from Find, the Compare pane's
// table and its controls, the list across imports, and links that lead from a
// report to the items it names.
#include "app/quarry.h"
#include "controls/sizing_control_bar.h"
#include "platform/rich_text.h"
#include "report/item_report.h"
#include "ui/compare_model.h"
#include "ui/compare_pane.h"
#include "ui/find_pane.h"
#include "ui/frame_resources.h"
#include "ui/item_id_box.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"
#include "window_test_main.h"

#include <QtTest>
#include <QtWidgets>

namespace quarry {

namespace {

// Item 50 names 10 in an attribute and 12 in an argument; 999 is no item's,
// "011" is no identifier as the index writes them, "11 " is more than one,
// and neither its description nor a function's attribute is a place for links.
const char* const kItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\">"
    "<Attribute Name=\"Mass\" Value=\"4\"/></Item>"
    "<Item ZRID=\"11\" Name=\"Cup\" QL=\"3\" ItemType=\"Misc\">"
    "<Attribute Name=\"Mass\" Value=\"9\"/></Item>"
    "<Item ZRID=\"12\" Name=\"Lamp\" QL=\"7\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"50\" Name=\"Key\" QL=\"1\" ItemType=\"Misc\"><Description>Opens 10 and 12."
    "</Description><Attribute Name=\"Opens\" Value=\"10\"/><Attribute Name=\"Size\" "
    "Value=\"011\"/><Attribute Name=\"Tag\" Value=\"11 \"/><Event Name=\"OnUse\"><Function "
    "Name=\"Spawn\" Target=\"12\"><Argument "
    "Value=\"999\"/><Argument Value=\"12\"/></Function></Event></Item>";

} // namespace

class cCompareWindowTest : public QObject {
    Q_OBJECT
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    cComparePane* pane() { return frame()->comparePane(); }
    void import(const QString& path) { QVERIFY(app()->scanItemFile(path.toStdString())); }
    void writeFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    QString headers() {
        QStringList ids;
        for (int column = 0; column < pane()->model()->columnCount(); ++column)
            ids << pane()
                       ->model()
                       ->headerData(column, Qt::Horizontal)
                       .toString()
                       .replace('\n', '/');
        return ids.join(" | ");
    }
    // The table as the user reads it: "path: cell | cell", a "*" after the
    // path of a row marked as differing.
    QStringList table() {
        QStringList rows;
        const cCompareModel* model = pane()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            const bool marked = model->index(row, 0).data(Qt::BackgroundRole).isValid();
            rows << model->headerData(row, Qt::Vertical).toString() + (marked ? "*: " : ": ") +
                        cells.join(" | ");
        }
        return rows;
    }
    // Each link of the report: its text, "=", its target.
    QStringList links() {
        QStringList found;
        for (QTextBlock block = frame()->reportPane()->document()->begin(); block.isValid();
             block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isAnchor())
                    found << it.fragment().text() + "=" + it.fragment().charFormat().anchorHref();
        return found;
    }
    // A point of the report's viewport between the last two characters of
    // the first place that shows `text`.
    QPoint placeOf(const QString& text) {
        cReportPane* report = frame()->reportPane();
        QTextCursor at = report->document()->find(text);
        at.setPosition(at.selectionEnd() - 1);
        return report->cursorRect(at).center();
    }

    QTemporaryDir dir_;
    QString itemsPath_ = dir_.filePath("items.xml");

private slots:
    void initTestCase() { writeFile(itemsPath_, kItems + QByteArray("</RDB>")); }

    void init() {
        QVERIFY(app()->InitInstance());
        frame()->resize(900, 640);
        frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame()));
        import(itemsPath_);
    }

    void itemsFromTheReportCtrlDAndFindStandSideBySide() {
        QVERIFY(frame()->compareBar()->isHidden());
        app()->showItem(10);
        frame()->action(cmdAddToCompare)->trigger();
        QVERIFY(frame()->compareBar()->isVisible() && frame()->action(cmdViewCompare)->isChecked());
        app()->showItem(11);
        QTest::keyClick(frame()->reportPane(), Qt::Key_D, Qt::ControlModifier);
        QTest::keyClick(frame()->reportPane(), Qt::Key_D, Qt::ControlModifier); // there already
        frame()->action(cmdEditFind)->trigger();
        frame()->findPane()->searchBox()->setText("lamp");
        QTest::keyClick(frame()->findPane()->searchBox(), Qt::Key_Down); // into the results
        QTest::keyClick(frame()->findPane()->resultsView(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(headers(), "Ring/QL 25/ID 10 | Cup/QL 3/ID 11 | Lamp/QL 7/ID 12");
        const QString none = "--there's no description for this item--";
        QCOMPARE(table(), QStringList({"name*: Ring | Cup | Lamp", "ql*: 25 | 3 (-22) | 7 (-18)",
                                       "type: Misc | Misc | Misc", "nano: false | false | false",
                                       "description: " + none + " | " + none + " | " + none,
                                       "attributes.Mass*: 4 | 9 (+5) | "}));
        pane()->differencesOnlyBox()->click();
        QCOMPARE(table(), QStringList({"name*: Ring | Cup | Lamp", "ql*: 25 | 3 (-22) | 7 (-18)",
                                       "attributes.Mass*: 4 | 9 (+5) | "}));

        // A click on a column's header shows its item as one step.
        QHeaderView* header = pane()->table()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, 5));
        QCOMPARE(frame()->itemIdBox()->text(), "12");
        QCOMPARE(app()->history().identifiers().back(), 12);

        pane()->table()->setCurrentIndex(pane()->model()->index(0, 1));
        pane()->removeButton()->click();
        QCOMPARE(headers(), "Ring/QL 25/ID 10 | Lamp/QL 7/ID 12");
        for (ZRID more = 100; more < 106; ++more)
            QCOMPARE(pane()->add(cComparedItem{more, {}, 0, {}}), cCompareList::eAdded::added);
        app()->addToCompare({11}); // the ninth
        QCOMPARE(pane()->list().items().size(), cCompareList::kMaxItems);
        QVERIFY(frame()->statusBar()->currentMessage().contains("8 items at most"));
        pane()->clearButton()->click();
        QCOMPARE(pane()->model()->columnCount(), 0);
    }

    void aNewImportKeepsTheItemsThatStillLoad() {
        app()->addToCompare({10, 11, 12});
        QByteArray changed = kItems + QByteArray("</RDB>");
        const qsizetype cup = changed.indexOf("<Item ZRID=\"11\"");
        changed.remove(cup, changed.indexOf("<Item ZRID=\"12\"") - cup).replace("\"25\"", "\"26\"");
        writeFile(dir_.filePath("changed.xml"), changed);
        import(dir_.filePath("changed.xml"));
        QCOMPARE(headers(), "Ring/QL 26/ID 10 | Lamp/QL 7/ID 12"); // loaded again
        QVERIFY(frame()->statusBar()->currentMessage().endsWith(": 11"));
    }

    void reportLinksLeadToTheItemsTheyName() {
        app()->showItem(50);
        cReportPane* report = frame()->reportPane();
        QCOMPARE(links(), QStringList({"10=zrid:10", "12=zrid:12"}));
        // The report's text is the one the command-line tool prints.
        cQuietMessages quiet;
        QCOMPARE(report->toPlainText().toStdString(),
                 toPlainText(readRichText(writeItemReport(app()->store(), 50, quiet))));

        const QPoint ring = placeOf("\t10");
        QHelpEvent hover(QEvent::ToolTip, ring, report->viewport()->mapToGlobal(ring));
        QApplication::sendEvent(report->viewport(), &hover);
        QCOMPARE(QToolTip::text(), "Ring (QL 25)");
        QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, ring);
        QCOMPARE(frame()->itemIdBox()->text(), "10");
        QCOMPARE(app()->history().identifiers(), (std::deque<ZRID>{50, 10}));

        // Walking the other way: Find runs the query for what mentions the item.
        frame()->action(cmdFindMentions)->trigger();
        QVERIFY(frame()->findBar()->isVisible());
        QCOMPARE(frame()->findPane()->searchBox()->text(), "arg:10");
    }
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cCompareWindowTest)

#include "compare_window_test.moc"
