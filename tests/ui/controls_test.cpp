// The general-purpose window pieces on their own: the status-bar progress
// control and the sizing dock bar's sizes per state.
#include "app/quarry.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/sizing_control_bar.h"
#include "window_test_main.h"

#include <QtTest>
#include <QtWidgets>

namespace quarry {

class cControlsTest : public QObject {
    Q_OBJECT
private slots:
    void progressPlacementRules() {
        // Pane, label width, size percent; where the control goes.
        const struct {
            QRect pane;
            int label, percent;
            QRect control;
        } cases[] = {
            {QRect(10, 4, 300, 20), 0, 100, {10, 6, 300, 16}},
            // After the label and four spaces (of 4 pixels), up to the right edge.
            {QRect(10, 4, 300, 20), 50, 100, {76, 6, 234, 16}},
            // 50 per cent: the right edge moves left by half of what the label
            // leaves, truncated (234 / 2 = 117).
            {QRect(10, 4, 300, 20), 50, 50, {76, 6, 117, 16}},
            {QRect(0, 0, 101, 20), 0, 50, {0, 2, 51, 16}},
            // Too narrow for the label: zero width, never negative.
            {QRect(0, 0, 40, 20), 50, 100, {66, 2, 0, 16}},
            // A tenth of the height at top and bottom, truncated.
            {QRect(0, 100, 50, 29), 0, 100, {0, 102, 50, 25}},
        };
        for (const auto& c : cases)
            QCOMPARE(CProgressBar::placeInRect(c.pane, c.label, 4, c.percent), c.control);
    }

    void progressTakesThePaneAndGivesItBack() {
        QMainWindow bare; // no status bar: every call refuses, none fails harder
        CProgressBar orphan(&bare);
        QVERIFY(!orphan.SetRange(0, 10, 1) && !orphan.Create("x", 100, 100, true, 0));
        QVERIFY(!orphan.PlaceInPane() && orphan.SetPos(5) == 0);
        orphan.RestorePane();

        QMainWindow window;
        auto* bar = new CPaneStatusBar(&window);
        window.setStatusBar(bar);
        window.setCentralWidget(new QWidget);
        window.resize(640, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CProgressBar progress(&window);
        QVERIFY(!progress.Create("x", 100, 100, true, 3)); // no such pane
        QVERIFY(progress.Create("Scanning File", 100, 100, true, 0));
        QCOMPARE(progress.parentWidget(), static_cast<QWidget*>(bar));
        QCOMPARE(bar->paneText(0), "Scanning File");
        const QFontMetrics metrics(bar->font());
        const QRect expected =
            CProgressBar::placeInRect(bar->paneRect(0), metrics.horizontalAdvance("Scanning File"),
                                      metrics.horizontalAdvance(QLatin1Char(' ')), 100);
        QCOMPARE(progress.geometry(), expected);
        // The control follows the pane when the window changes size.
        window.resize(420, 400);
        QTRY_COMPARE(progress.geometry().right(), bar->paneRect(0).right());
        QVERIFY(progress.SetPos(40) == 0 && progress.value() == 40);
        progress.RestorePane();
        QVERIFY(progress.isHidden() && bar->paneText(0) == "Ready");
        QCOMPARE(progress.SetPos(60), 40); // shows it again where it was
        QVERIFY(!progress.isHidden() && progress.geometry() == progress.placement());
        // A second Create reuses the control.
        QVERIFY(progress.Create("Importing Item Data", 50, 200, true, 0));
        QCOMPARE(bar->findChildren<QProgressBar*>().size(), 1);
        QVERIFY(progress.maximum() == 200 && progress.value() == 0 && !progress.isHidden());
    }

    void sizingBarKeepsASizePerState() {
        QMainWindow window;
        window.setCentralWidget(new QTextEdit);
        auto* bar = new CSizingControlBar;
        QVERIFY(bar->Create("Items", &window, 102));
        auto* child = new QTreeView;
        bar->setWidget(child);
        bar->setBarStyle(CSizingControlBar::sizeChild);
        window.addDockWidget(Qt::LeftDockWidgetArea, bar);
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(bar->IsDockedVert() && !bar->IsDockedHorz());
        QCOMPARE(bar->minimumSizeHint(), QSize(33, 32));
        // The child fills the bar below its title.
        QCOMPARE(child->width(), bar->width());
        QCOMPARE(child->geometry().bottom(), bar->rect().bottom());

        // Sizes are kept per state: what the user made of the bar docked at the
        // left (dragging its edge) does not leak into the top/bottom size.
        const QPoint edge((bar->geometry().right() + window.centralWidget()->x()) / 2 + 1, 100);
        const QPoint to = edge + QPoint(260 - bar->width(), 0);
        QTest::mousePress(&window, Qt::LeftButton, {}, edge);
        QTest::mouseMove(&window, to);
        QTRY_COMPARE(bar->width(), 260);
        QTest::mouseRelease(&window, Qt::LeftButton, {}, to);
        QCOMPARE(bar->sizeVert().width(), 260);
        window.addDockWidget(Qt::TopDockWidgetArea, bar);
        QTRY_VERIFY(bar->IsDockedHorz());
        QCOMPARE(bar->sizeHorz(), QSize(200, 200));
        QCOMPARE(bar->sizeVert().width(), 260);
        bar->setFloating(true);
        QTRY_VERIFY(bar->IsFloatingBar());
        QVERIFY(!bar->IsDockedHorz() && !bar->IsDockedVert());
        QCOMPARE(bar->minimumSize(), QSize(37, 32));
        QCOMPARE(bar->sizeHint(), bar->sizeFloat());
        // It stays open on a close request, docked or floating.
        QVERIFY(!bar->close() && bar->isVisible());
        QVERIFY(!(bar->features() & QDockWidget::DockWidgetClosable));
    }
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cControlsTest)

#include "controls_test.moc"
