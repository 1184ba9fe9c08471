// The general-purpose window pieces on their own: the status-bar progress
// control's placement rules, the sizing dock bar's sizes, the menu bar built
// from the menu table, and the thin frame.
#include "app/quarry.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "controls/sizing_control_bar.h"
#include "controls/thin_splitter_wnd.h"
#include "ui/frame_resources.h"

#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>

namespace quarry {

class cControlsTest : public QObject {
    Q_OBJECT
private slots:
    void progressPlacementRules();
    void progressInStatusBar();
    void progressSecondCreateReusesTheWidget();
    void progressNeedsAStatusBar();

    void sizingBarDefaultsAndStates();
    void sizingBarStaysOpenOnClose();
    void sizingBarLoadsAndSavesSizes();

    void menuBarFromTheMenuTable();
    void menuBarMnemonicsAndArrowWrap();

    void thinFrameHoldsOnePaneInASunkenBorder();

private:
    struct cStatusWindow {
        QMainWindow window;
        CPaneStatusBar* bar;
        cStatusWindow() : bar(new CPaneStatusBar(&window)) {
            window.setStatusBar(bar);
            window.setCentralWidget(new QWidget);
            window.resize(640, 400);
            window.show();
        }
    };
};

void cControlsTest::progressPlacementRules() {
    const QRect pane(10, 4, 300, 20);
    // An empty label: the control starts at the pane's left edge.
    QCOMPARE(CProgressBar::placeInRect(pane, 0, 4, 100).left(), 10);
    // A label pushes it right by its width and four spaces.
    const QRect full = CProgressBar::placeInRect(pane, 50, 4, 100);
    QCOMPARE(full.left(), 10 + 50 + 16);
    QCOMPARE(full.left() + full.width(), 310); // reaches the pane's right edge
    // 50 per cent: the right edge moves left by half of what the label leaves,
    // that half truncated toward zero (234 / 2 = 117).
    const QRect half = CProgressBar::placeInRect(pane, 50, 4, 50);
    QCOMPARE(half.left() + half.width(), 310 - 117);
    const QRect odd = CProgressBar::placeInRect(QRect(0, 0, 101, 20), 0, 4, 50);
    QCOMPARE(odd.width(), 101 - 50);
    // Too narrow for the label: zero width, never negative.
    const QRect narrow = CProgressBar::placeInRect(QRect(0, 0, 40, 20), 50, 4, 100);
    QCOMPARE(narrow.width(), 0);
    QCOMPARE(narrow.left(), 66);
    // A tenth of the height at top and bottom, truncated.
    const QRect inset = CProgressBar::placeInRect(QRect(0, 100, 50, 29), 0, 4, 100);
    QCOMPARE(inset.top(), 102);
    QCOMPARE(inset.height(), 25);
}

void cControlsTest::progressInStatusBar() {
    cStatusWindow host;
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    host.bar->setPaneText(0, QStringLiteral("Something else"));
    CProgressBar progress(&host.window);
    QVERIFY(!progress.hasWindow());
    QVERIFY(!progress.SetRange(0, 10, 1));
    QVERIFY(progress.Create(QStringLiteral("Scanning File"), 100, 100, true, 0));
    QCOMPARE(progress.parentWidget(), static_cast<QWidget*>(host.bar));
    QCOMPARE(host.bar->paneText(0), QStringLiteral("Scanning File"));
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.maximum(), 100);

    const QFontMetrics metrics(host.bar->font());
    const QRect expected = CProgressBar::placeInRect(
        host.bar->paneRect(0), metrics.horizontalAdvance(QStringLiteral("Scanning File")),
        metrics.horizontalAdvance(QLatin1Char(' ')), 100);
    QCOMPARE(progress.geometry(), expected);
    QCOMPARE(progress.placement(), expected);

    // The control follows the pane when the window changes size.
    host.window.resize(420, 400);
    QTRY_COMPARE(progress.geometry().right() + 1, host.bar->paneRect(0).right() + 1);

    progress.SetPos(40);
    QCOMPARE(progress.value(), 40);
    progress.RestorePane();
    QVERIFY(progress.isHidden());
    QCOMPARE(host.bar->paneText(0), QStringLiteral("Ready")); // whatever it read before
    const QRect last = progress.placement();
    progress.SetPos(60);
    QVERIFY(!progress.isHidden());
    QCOMPARE(progress.geometry(), last);
}

void cControlsTest::progressSecondCreateReusesTheWidget() {
    cStatusWindow host;
    CProgressBar progress(&host.window);
    QVERIFY(progress.Create(QStringLiteral("Scanning File"), 100, 100, true, 0));
    progress.SetPos(70);
    progress.RestorePane();
    QVERIFY(progress.Create(QStringLiteral("Importing Item Data"), 50, 200, true, 0));
    QCOMPARE(host.bar->findChildren<QProgressBar*>().size(), 1);
    QCOMPARE(host.bar->paneText(0), QStringLiteral("Importing Item Data"));
    QCOMPARE(progress.maximum(), 200);
    QCOMPARE(progress.value(), 0);
    QVERIFY(!progress.isHidden());
}

void cControlsTest::progressNeedsAStatusBar() {
    QMainWindow bare;
    CProgressBar progress(&bare);
    QVERIFY(!progress.Create(QStringLiteral("x"), 100, 100, true, 0));
    QVERIFY(!progress.PlaceInPane());
    QCOMPARE(progress.SetPos(5), 0);
    progress.RestorePane(); // nothing to restore, nothing breaks
    cStatusWindow host;
    CProgressBar elsewhere(&host.window);
    QVERIFY(!elsewhere.Create(QStringLiteral("x"), 100, 100, true, 3)); // no such pane
}

void cControlsTest::sizingBarDefaultsAndStates() {
    QMainWindow window;
    window.setCentralWidget(new QTextEdit);
    auto* bar = new CSizingControlBar;
    QVERIFY(bar->Create(QStringLiteral("Items"), &window, 102));
    auto* child = new QTreeView;
    bar->setWidget(child);
    bar->setBarStyle(CSizingControlBar::sizeChild);
    QCOMPARE(bar->sizeHorz(), QSize(200, 200));
    QCOMPARE(bar->sizeVert(), QSize(200, 200));
    QCOMPARE(bar->sizeFloat(), QSize(200, 200));
    QCOMPARE(bar->sizeMinHorz(), QSize(33, 32));
    QCOMPARE(bar->sizeMinVert(), QSize(33, 32));
    QCOMPARE(bar->sizeMinFloat(), QSize(37, 32));

    window.addDockWidget(Qt::LeftDockWidgetArea, bar);
    window.resize(800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(bar->IsDockedVert());
    QVERIFY(!bar->IsDockedHorz());
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
    QCOMPARE(bar->sizeHorz(), QSize(200, 200));

    window.addDockWidget(Qt::TopDockWidgetArea, bar);
    QTRY_VERIFY(bar->IsDockedHorz());
    QCOMPARE(bar->sizeVert().width(), 260);

    bar->setFloating(true);
    QTRY_VERIFY(bar->IsFloatingBar());
    QVERIFY(!bar->IsDockedHorz() && !bar->IsDockedVert());
    QCOMPARE(bar->minimumSize(), QSize(37, 32));
    QCOMPARE(bar->sizeHint(), bar->sizeFloat());
}

void cControlsTest::sizingBarStaysOpenOnClose() {
    QMainWindow window;
    window.setCentralWidget(new QWidget);
    auto* bar = new CSizingControlBar;
    bar->Create(QStringLiteral("Items"), &window, 102);
    window.addDockWidget(Qt::LeftDockWidgetArea, bar);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!bar->close());
    QVERIFY(bar->isVisible());
    QVERIFY(!(bar->features() & QDockWidget::DockWidgetClosable));
    bar->setFloating(true);
    QVERIFY(!bar->close());
    QVERIFY(bar->isVisible());
}

void cControlsTest::sizingBarLoadsAndSavesSizes() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("sizes.ini")), QSettings::IniFormat);
    QMainWindow window;
    CSizingControlBar bar;
    bar.Create(QStringLiteral("Items"), &window, 102);
    bar.setSizeHorz(QSize(300, 120));
    bar.setSizeVert(QSize(180, 500));
    bar.setSizeFloat(QSize(250, 260));
    QVERIFY(bar.SaveSizes(settings, QStringLiteral("Layout")));
    settings.sync();
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeHorzCX")).toInt(), 300);
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeHorzCY")).toInt(), 120);
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeVertCX")).toInt(), 180);
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeVertCY")).toInt(), 500);
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeFloatCX")).toInt(), 250);
    QCOMPARE(settings.value(QStringLiteral("Layout-SCBar-102/sizeFloatCY")).toInt(), 260);

    CSizingControlBar other;
    other.Create(QStringLiteral("Items"), &window, 102);
    QVERIFY(other.LoadSizes(settings, QStringLiteral("Layout")));
    QCOMPARE(other.sizeHorz(), QSize(300, 120));
    QCOMPARE(other.sizeVert(), QSize(180, 500));
    QCOMPARE(other.sizeFloat(), QSize(250, 260));

    // Values below the minimums load as the minimums.
    for (const char* key :
         {"sizeHorzCX", "sizeHorzCY", "sizeVertCX", "sizeVertCY", "sizeFloatCX", "sizeFloatCY"})
        settings.setValue(QStringLiteral("Small-SCBar-102/") + QLatin1String(key), 10);
    QVERIFY(other.LoadSizes(settings, QStringLiteral("Small")));
    QCOMPARE(other.sizeHorz(), QSize(33, 32));
    QCOMPARE(other.sizeVert(), QSize(33, 32));
    QCOMPARE(other.sizeFloat(), QSize(37, 32));

    // A missing section keeps the present sizes.
    QVERIFY(other.LoadSizes(settings, QStringLiteral("Nothing")));
    QCOMPARE(other.sizeFloat(), QSize(37, 32));

    // A section name beyond 255 characters is refused, not cut into another's.
    const QString longName(255 - 10, QLatin1Char('p')); // "-SCBar-102" is 10 characters
    QVERIFY(CSizingControlBar::sectionName(longName, 102).has_value());
    QVERIFY(!CSizingControlBar::sectionName(longName + QLatin1Char('p'), 102).has_value());
    QVERIFY(!other.SaveSizes(settings, longName + QLatin1Char('p')));
    QVERIFY(!other.LoadSizes(settings, longName + QLatin1Char('p')));
}

void cControlsTest::menuBarFromTheMenuTable() {
    CMenuBar bar;
    std::vector<int> triggered;
    connect(&bar, &CMenuBar::commandTriggered, this,
            [&](int command) { triggered.push_back(command); });
    QVERIFY(bar.LoadMenuBar(kMainMenu(), {}));
    QCOMPARE(bar.itemCount(), 4);
    QStringList titles;
    for (QAction* action : bar.actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));

    QStringList edit;
    for (QAction* action : bar.popup(1)->actions())
        edit << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(edit, (QStringList{"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                                "&Paste\tCtrl+V", "-", "&Find...\tCtrl+F"}));

    const QList<QAction*> view = bar.popup(2)->actions();
    QCOMPARE(view.size(), 4);
    QVERIFY(view[2]->isSeparator());
    QCOMPARE(view[3]->text(), QStringLiteral("Go To"));
    QMenu* goTo = view[3]->menu();
    QVERIFY(goTo);
    QCOMPARE(goTo->actions().size(), 2);
    QCOMPARE(goTo->actions()[0]->text(), QStringLiteral("Back"));
    goTo->actions()[1]->trigger();
    bar.popup(0)->actions()[0]->trigger();
    QCOMPARE(triggered, (std::vector<int>{cmdForward, cmdImport}));

    // Loading again replaces the content; an empty table is refused.
    QVERIFY(bar.LoadMenuBar(kMainMenu(), {}));
    QCOMPARE(bar.actions().size(), 4);
    QVERIFY(!bar.LoadMenuBar({}, {}));
}

void cControlsTest::menuBarMnemonicsAndArrowWrap() {
    QCOMPARE(CMenuBar::mnemonicOf(QStringLiteral("E&xit")), QChar('x'));
    QVERIFY(CMenuBar::mnemonicOf(QStringLiteral("Go To")).isNull());
    QVERIFY(CMenuBar::mnemonicOf(QStringLiteral("trailing&")).isNull());

    QMainWindow window;
    auto* bar = new CMenuBar;
    bar->LoadMenuBar(kMainMenu(), {});
    window.setMenuWidget(bar);
    window.setCentralWidget(new QWidget);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();

    QVERIFY(!bar->OpenByMnemonic(QChar('q')));
    QVERIFY(bar->OpenByMnemonic(QChar('v'))); // case does not matter
    QTRY_VERIFY(bar->popup(2)->isVisible());
    QCOMPARE(bar->activeAction(), bar->actions()[2]);

    // Right on the last popup reaches the first; Left on the first the last.
    QVERIFY(bar->OpenByMnemonic(QChar('H')));
    QTRY_VERIFY(bar->popup(3)->isVisible());
    QTest::keyClick(bar->popup(3), Qt::Key_Right);
    QTRY_VERIFY(bar->popup(0)->isVisible());
    QCOMPARE(bar->activeAction(), bar->actions()[0]);
    QTest::keyClick(bar->popup(0), Qt::Key_Left);
    QTRY_VERIFY(bar->popup(3)->isVisible());
    QCOMPARE(bar->activeAction(), bar->actions()[3]);
    QTest::keyClick(bar->popup(3), Qt::Key_Escape);
    QTRY_VERIFY(!bar->popup(3)->isVisible());
}

void cControlsTest::thinFrameHoldsOnePaneInASunkenBorder() {
    CThinSplitterWnd frame;
    auto* pane = new QTextEdit;
    pane->setFrameShape(QFrame::NoFrame);
    frame.setPane(pane);
    QCOMPARE(frame.GetPane(0, 0), static_cast<QWidget*>(pane));
    QCOMPARE(frame.GetPane(0, 1), nullptr);
    QCOMPARE(frame.GetPane(1, 0), nullptr);
    frame.resize(200, 120);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(pane->geometry(), frame.rect().adjusted(1, 1, -1, -1));
    QCOMPARE(frame.frameShadow(), QFrame::Sunken);

    // Dark at top and left, light at bottom and right.
    const QImage image = frame.grab().toImage();
    const int topLeft = qGray(image.pixel(0, 60)) + qGray(image.pixel(100, 0));
    const int bottomRight = qGray(image.pixel(199, 60)) + qGray(image.pixel(100, 119));
    QVERIFY2(topLeft < bottomRight,
             qPrintable(QStringLiteral("%1 vs %2").arg(topLeft).arg(bottomRight)));
    // Replacing the pane leaves exactly one.
    frame.setPane(new QTextEdit);
    QCOMPARE(frame.findChildren<QTextEdit*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "controls_test.moc"
