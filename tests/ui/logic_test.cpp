// The window's logic without the window: the tree model's bulk appends and
// handles, the navigation history, the message pump's throttling and the
// grouping of messages.
#include "app/navigation_history.h"
#include "app/quarry.h"
#include "ui/item_tree_model.h"
#include "ui/message_pump.h"
#include "ui/message_throttle.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace quarry {

class cLogicTest : public QObject {
    Q_OBJECT
private slots:
    void modelAppendsStayHiddenUntilCommitted();
    void modelCommitsInOneBatchPerParent();
    void modelHandlesGoStaleWhenTheTreeIsRebuilt();
    void modelRefusesUnknownParentsAndFindsInPreOrder();
    void modelExpandCommitsFirst();
    void modelPassesQtConsistencyChecks();
    void modelTakesQuarterMillionNodes();

    void historyBackForwardAndTruncation();
    void historyKeepsTenSteps();
    void historyRecordsRepeatsAndIgnoresLateCommands();

    void pumpDispatchesOncePerInterval();
    void throttleShowsFirstMessageOfEachOperation();
};

void cLogicTest::modelAppendsStayHiddenUntilCommitted() {
    cItemTreeModel model;
    const TreeItemHandle root = model.appendNode("ZR Items", 0, 0);
    const TreeItemHandle misc = model.appendNode("Misc", 0, root);
    const TreeItemHandle ring = model.appendNode("Ring (QL 25)", 42, misc);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.indexOf(ring).isValid());
    QVERIFY(model.hasPending());

    model.commitPending();
    QVERIFY(!model.hasPending());
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex ringIndex = model.indexOf(ring);
    QVERIFY(ringIndex.isValid());
    QCOMPARE(ringIndex.data().toString(), QStringLiteral("Ring (QL 25)"));
    QCOMPARE(ringIndex.data(cItemTreeModel::kZridRole).toInt(), 42);
    QCOMPARE(model.handleOf(ringIndex), ring);
    QCOMPARE(model.handleOf(ringIndex.parent()), misc);
    QCOMPARE(model.itemLabel(misc), std::string("Misc"));
    QCOMPARE(model.itemZrid(ring), 42);
}

void cLogicTest::modelCommitsInOneBatchPerParent() {
    cItemTreeModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    const TreeItemHandle root = model.appendNode("root", 0, 0);
    model.commitPending();
    QCOMPARE(inserted.count(), 1);
    inserted.clear();

    const TreeItemHandle a = model.appendNode("a", 0, root);
    const TreeItemHandle b = model.appendNode("b", 0, root);
    for (int i = 0; i < 500; ++i) {
        model.appendNode("x", 1000 + i, a);
        model.appendNode("y", 2000 + i, b);
    }
    model.commitPending();
    // One batch for the root's two children, one for each folder's 500.
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(model.rowCount(model.indexOf(a)), 500);
    QCOMPARE(model.rowCount(model.indexOf(b)), 500);
    QCOMPARE(model.index(499, 0, model.indexOf(b)).data(cItemTreeModel::kZridRole).toInt(), 2499);

    // Later appends to a committed folder continue after its committed rows.
    inserted.clear();
    model.appendNode("z", 7, a);
    model.commitPending();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 500);
    QCOMPARE(inserted.first().at(2).toInt(), 500);
}

void cLogicTest::modelHandlesGoStaleWhenTheTreeIsRebuilt() {
    cItemTreeModel model;
    const TreeItemHandle old = model.appendNode("old", 5, 0);
    model.commitPending();
    QVERIFY(model.isValidHandle(old));
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    const TreeItemHandle fresh = model.appendNode("new", 6, 0);
    model.commitPending();
    // Same position in the new tree, yet the old handle does not name it.
    QVERIFY(!model.isValidHandle(old));
    QVERIFY(!model.indexOf(old).isValid());
    QCOMPARE(model.itemZrid(old), 0);
    QVERIFY(model.isValidHandle(fresh));
    QVERIFY(fresh != old);
    QCOMPARE(model.appendNode("orphan", 1, old), TreeItemHandle(0));
}

void cLogicTest::modelRefusesUnknownParentsAndFindsInPreOrder() {
    cItemTreeModel model;
    QCOMPARE(model.appendNode("x", 1, 12345), TreeItemHandle(0));
    const TreeItemHandle root = model.appendNode("root", 0, 0);
    const TreeItemHandle first = model.appendNode("first", 0, root);
    const TreeItemHandle second = model.appendNode("second", 0, root);
    const TreeItemHandle late = model.appendNode("in second", 77, second);
    // Created later, but earlier in pre-order.
    const TreeItemHandle early = model.appendNode("in first", 77, first);
    QCOMPARE(model.findFirstItem(77), early);
    QVERIFY(model.findFirstItem(77) != late);
    QCOMPARE(model.findFirstItem(78), TreeItemHandle(0));
    QCOMPARE(model.children(root), (std::vector<TreeItemHandle>{first, second}));
}

void cLogicTest::modelExpandCommitsFirst() {
    cItemTreeModel model;
    QSignalSpy expand(&model, &cItemTreeModel::expandRequested);
    const TreeItemHandle root = model.appendNode("root", 0, 0);
    const TreeItemHandle item = model.appendNode("item", 1, root);
    model.requestExpand(root); // commits first so the view can expand a known node
    QCOMPARE(expand.count(), 1);
    QCOMPARE(expand.first().at(0).value<QModelIndex>(), model.indexOf(root));
    QCOMPARE(model.indexOf(item).data(cItemTreeModel::kZridRole).toInt(), 1);
}

void cLogicTest::modelPassesQtConsistencyChecks() {
    cItemTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const TreeItemHandle root = model.appendNode("root", 0, 0);
    for (int folder = 0; folder < 5; ++folder) {
        const TreeItemHandle parent = model.appendNode("folder", 0, root);
        for (int i = 0; i < 20; ++i)
            model.appendNode("item", folder * 100 + i + 1, parent);
        if (folder % 2) model.commitPending();
    }
    model.commitPending();
    model.clear();
    model.appendNode("again", 0, 0);
    model.commitPending();
    QCOMPARE(model.rowCount(), 1);
}

void cLogicTest::modelTakesQuarterMillionNodes() {
    cItemTreeModel model;
    const TreeItemHandle root = model.appendNode("ZR Items", 0, 0);
    std::vector<TreeItemHandle> folders;
    for (int i = 0; i < 40; ++i)
        folders.push_back(model.appendNode("folder", 0, root));
    for (int i = 0; i < 250000; ++i)
        model.appendNode("Item name (QL 100)", i + 1, folders[i % 40]);
    model.commitPending();
    QCOMPARE(model.nodeCount(), std::size_t(250041));
    QCOMPARE(model.rowCount(model.indexOf(folders[7])), 6250);
    QCOMPARE(
        model.index(6249, 0, model.indexOf(folders[39])).data(cItemTreeModel::kZridRole).toInt(),
        250000);
}

void cLogicTest::historyBackForwardAndTruncation() {
    cNavigationHistory history;
    QVERIFY(!history.canBack());
    QVERIFY(!history.canForward());
    history.record(1, 11);
    QVERIFY(!history.canBack()); // one entry: nothing to go back to
    history.record(2, 22);
    history.record(3, 33);
    QCOMPARE(history.back()->zrid, 2);
    const std::optional<cHistoryEntry> first = history.back();
    QCOMPARE(first->zrid, 1);
    QCOMPARE(first->treeItem, TreeItemHandle(11));
    QCOMPARE(history.position(), 0u);
    QVERIFY(!history.canBack());
    QVERIFY(history.canForward());
    history.record(4, 44); // drops 2 and 3
    QCOMPARE(history.identifiers(), (std::deque<ZRID>{1, 4}));
    QCOMPARE(history.treeItems(), (std::deque<TreeItemHandle>{11, 44}));
    QCOMPARE(history.position(), 1u);
    QVERIFY(!history.canForward());
}

void cLogicTest::historyKeepsTenSteps() {
    cNavigationHistory history;
    for (int i = 1; i <= 11; ++i)
        history.record(i, 0);
    QCOMPARE(history.size(), std::size_t(10));
    QCOMPARE(history.identifiers().front(), 2);
    QCOMPARE(history.position(), 9u);
    int backs = 0;
    while (history.back())
        ++backs;
    QCOMPARE(backs, 9);
    QCOMPARE(history.identifiers()[history.position()], 2);
    int forwards = 0;
    while (history.forward())
        ++forwards;
    QCOMPARE(forwards, 9);
    QCOMPARE(history.size(), std::size_t(10)); // moving never adds or drops
}

void cLogicTest::historyRecordsRepeatsAndIgnoresLateCommands() {
    cNavigationHistory history;
    history.record(7, 0);
    history.record(7, 0);
    QCOMPARE(history.size(), std::size_t(2));
    QCOMPARE(history.back()->zrid, 7);
    QVERIFY(!history.back()); // not allowed: no move
    QCOMPARE(history.position(), 0u);
    QCOMPARE(history.forward()->zrid, 7);
    QVERIFY(!history.forward());
    QCOMPARE(history.position(), 1u);
}

void cLogicTest::pumpDispatchesOncePerInterval() {
    using namespace std::chrono;
    steady_clock::time_point now{};
    cMessagePump pump(milliseconds(30), [&now] { return now; });
    QVERIFY(pump.due()); // the first call dispatches at once
    int dispatched = 0;
    for (int i = 0; i < 1000; ++i) {
        now += microseconds(10); // 10 ms in all
        if (pump.due()) ++dispatched;
    }
    QCOMPARE(dispatched, 0);
    now += milliseconds(25);
    QVERIFY(pump.due());
    QVERIFY(!pump.due());
    pump.reset(); // a new progress phase paints at once
    QVERIFY(pump.due());
}

void cLogicTest::throttleShowsFirstMessageOfEachOperation() {
    cMessageThrottle throttle;
    QVERIFY(throttle.admit("any")); // outside an operation every message shows
    QVERIFY(throttle.admit("any"));
    throttle.beginOperation();
    QVERIFY(throttle.admit("cQuarry::processEvent"));
    for (int i = 0; i < 100000; ++i)
        QVERIFY(!throttle.admit("cQuarry::processEvent"));
    throttle.beginOperation(); // an item shown in the middle of an import
    QVERIFY(throttle.admit("inner"));
    QVERIFY(!throttle.admit("inner"));
    const cMessageThrottle::Summary inner = throttle.endOperation();
    QCOMPARE(inner.suppressed, std::size_t(1));
    QCOMPARE(inner.caption, std::string("inner"));
    const cMessageThrottle::Summary outer = throttle.endOperation();
    QCOMPARE(outer.suppressed, std::size_t(100000));
    QCOMPARE(outer.caption, std::string("cQuarry::processEvent"));
    QCOMPARE(throttle.depth(), std::size_t(0));
    QCOMPARE(throttle.endOperation().suppressed, std::size_t(0));
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cLogicTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "logic_test.moc"
