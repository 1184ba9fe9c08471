// What a desktop user expects of a program they keep: the window as it was
// left, the files imported last, dropping a file to import it, the usual
// --help and --version.
#include "controls/pane_status_bar.h"
#include "tests/ui/window_test_support.h"
#include "ui/frame_resources.h"
#include "ui/item_tree_bar.h"

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace quarry {

class cDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void windowComesBackAsItWasLeft();
};

void cDesktopTest::init() {
    QSettings().clear();
    QVERIFY(app()->InitInstance());
    frame()->resize(900, 640);
    frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

void cDesktopTest::windowComesBackAsItWasLeft() {
    frame()->resize(700, 500);
    QTRY_COMPARE(frame()->size(), QSize(700, 500));
    dragDockEdge(frame(), frame()->treeBar(), 60);
    frame()->action(cmdViewToolbar)->trigger();
    frame()->action(cmdViewStatusBar)->trigger();
    QVERIFY(frame()->close());

    QVERIFY(app()->InitInstance());
    QTRY_COMPARE(frame()->size(), QSize(700, 500));
    QTRY_COMPARE(frame()->treeBar()->width(), 260);
    QCOMPARE(frame()->treeBar()->sizeVert().width(), 260);
    QVERIFY(frame()->toolBar()->isHidden());
    QVERIFY(!frame()->action(cmdViewToolbar)->isChecked());
    QVERIFY(frame()->paneStatusBar()->isHidden());
    QVERIFY(!frame()->action(cmdViewStatusBar)->isChecked());
    QVERIFY(frame()->menuBand()->isVisible());
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    // The tests' own settings store, empty at the start.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    cDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_test.moc"
