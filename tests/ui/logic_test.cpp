// The window's logic without the window: the tree model, the navigation
// history, the message pump's pace and the grouping of messages.
#include "app/navigation_history.h"
#include "app/quarry.h"
#include "ui/item_tree_model.h"
#include "ui/message_throttle.h"
#include "window_test_main.h"

#include <QtTest>

namespace quarry {

class cLogicTest : public QObject {
    Q_OBJECT
private slots:
    void modelShowsAppendsInOneBatchPerParentAndKnowsItsHandles() {
        cItemTreeModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        const TreeItemHandle root = model.appendNode("ZR Items", 0, 0);
        const TreeItemHandle a = model.appendNode("a", 0, root);
        const TreeItemHandle b = model.appendNode("b", 0, root);
        for (int i = 0; i < 500; ++i) {
            model.appendNode("x", 1000 + i, a);
            model.appendNode("y", 2000 + i, b);
        }
        QVERIFY(model.rowCount() == 0 && !model.indexOf(a).isValid() && model.hasPending());
        model.commitPending();
        // One batch for the top level, one for the root's children, one per folder.
        QVERIFY(inserted.count() == 4 && !model.hasPending());
        QCOMPARE(model.rowCount(model.indexOf(a)), 500);
        const QModelIndex last = model.index(499, 0, model.indexOf(b));
        QCOMPARE(last.data().toString(), "y");
        QCOMPARE(last.data(cItemTreeModel::kZridRole).toInt(), 2499);
        QCOMPARE(model.handleOf(last.parent()), b);
        // Later appends to a committed folder continue after its committed rows.
        inserted.clear();
        model.appendNode("z", 7, a);
        model.commitPending();
        QCOMPARE(inserted,
                 (QList<QVariantList>{{QVariant::fromValue(model.indexOf(a)), 500, 500}}));
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        // Handles, finding and expanding, on the cleared model.
        QSignalSpy expand(&model, &cItemTreeModel::expandRequested);
        QCOMPARE(model.appendNode("x", 1, 12345), TreeItemHandle(0)); // unknown parent
        const TreeItemHandle top = model.appendNode("root", 0, 0);
        const TreeItemHandle first = model.appendNode("first", 0, top);
        const TreeItemHandle second = model.appendNode("second", 0, top);
        model.appendNode("in second", 77, second);
        // Created later, but earlier in pre-order.
        const TreeItemHandle early = model.appendNode("in first", 77, first);
        QVERIFY(model.findFirstItem(77) == early && model.findFirstItem(78) == 0);
        QCOMPARE(model.children(top), (std::vector<TreeItemHandle>{first, second}));
        QCOMPARE(model.itemLabel(second), std::string("second"));
        model.requestExpand(top); // commits first so the view can expand a known node
        QCOMPARE(expand, (QList<QVariantList>{{QVariant::fromValue(model.indexOf(top))}}));
        QCOMPARE(model.indexOf(early).data(cItemTreeModel::kZridRole).toInt(), 77);
        // After a rebuild a handle of the old tree names nothing, even where a
        // new node stands at its place.
        model.clear();
        const TreeItemHandle fresh = model.appendNode("new", 6, 0);
        model.commitPending();
        QVERIFY(!model.isValidHandle(top) && model.isValidHandle(fresh));
        QVERIFY(!model.indexOf(top).isValid() && model.itemZrid(early) == 0);
        QCOMPARE(model.appendNode("orphan", 1, top), TreeItemHandle(0));
    }

    void historyBackForwardTruncationAndTenSteps() {
        cNavigationHistory history;
        history.record(1, 11);
        QVERIFY(!history.canBack() && !history.canForward()); // one entry: nowhere to go
        history.record(2, 22);
        history.record(2, 22); // repeats are steps too
        QCOMPARE(history.back()->zrid, 2);
        const std::optional<cHistoryEntry> first = history.back();
        QVERIFY(first->zrid == 1 && first->treeItem == 11 && !history.back()); // at the start
        QCOMPARE(history.forward()->zrid, 2);
        history.record(4, 44); // drops the step ahead
        QVERIFY(history.identifiers() == (std::deque<ZRID>{1, 2, 4}) && !history.forward());
        QCOMPARE(history.treeItems(), (std::deque<TreeItemHandle>{11, 22, 44}));
        for (int i = 5; i <= 12; ++i)
            history.record(i, 0);
        QCOMPARE(history.identifiers().front(), 2); // ten steps: the oldest is forgotten
        int moves = 0;
        while (history.back())
            ++moves;
        QCOMPARE(history.position(), 0u);
        while (history.forward())
            ++moves;
        QVERIFY(moves == 18 && history.size() == 10); // moving never adds or drops
        history.clear();
        QVERIFY(history.size() == 0 && history.position() == 0);
    }

    void throttleShowsFirstMessageOfEachOperation() {
        cMessageThrottle throttle;
        QVERIFY(throttle.admit("any") && throttle.admit("any")); // outside an operation: all
        throttle.beginOperation();
        QVERIFY(throttle.admit("cQuarry::processEvent"));
        for (int i = 0; i < 1000; ++i)
            QVERIFY(!throttle.admit("cQuarry::processEvent"));
        throttle.beginOperation(); // an item shown in the middle of an import
        QVERIFY(throttle.admit("inner") && !throttle.admit("inner"));
        const cMessageThrottle::Summary inner = throttle.endOperation();
        QVERIFY(inner.suppressed == 1 && inner.caption == "inner");
        const cMessageThrottle::Summary outer = throttle.endOperation();
        QVERIFY(outer.suppressed == 1000 && outer.caption == "cQuarry::processEvent");
        QVERIFY(throttle.depth() == 0 && throttle.endOperation().suppressed == 0);
    }
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cLogicTest)

#include "logic_test.moc"
