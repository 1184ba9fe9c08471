// The window as people use it: closing during an import, menus and the
// status bar while one runs, the bands' context menu, many unsupported tags,
// long tree labels, and the Items bar after the window was made small.
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "tests/ui/window_test_support.h"
#include "ui/frame_resources.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace quarry {

class cWindowDefectsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void closingDuringAnImportStopsItEarly();
    void closingDuringAnImportEndsTheProgram();
    void importFromTheMenuRunsOnceTheMenuIsDone();
    void promptsLeaveTheLabelOfRunningWorkReadable();
    void altAloneDrawsTheEntryTheKeyboardIsOn();
    void rightClickOnTheBandsOffersNothingToHide();
    void summaryListsTheHeldBackMessages();
    void longTreeLabelsShowWholeAndScrollSideways();
    void itemsBarKeepsItsWidthThroughASmallWindow();

private:
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
};

void cWindowDefectsTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(writeFile(path("big.xml"), itemFile(100000)));
}

void cWindowDefectsTest::init() {
    QSettings().clear();
    QVERIFY(app()->InitInstance());
    frame()->resize(900, 640);
    frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

void cWindowDefectsTest::closingDuringAnImportStopsItEarly() {
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, frame(), [] {
        if (frame()->importRunning()) frame()->close();
    });
    closer.start();
    QVERIFY(!app()->scanItemFile(path("big.xml").toStdString()));
    QVERIFY(frame()->closeRequested());
    QVERIFY(!frame()->isVisible());
    QVERIFY(!frame()->importRunning());
    QCOMPARE(app()->store().itemCount(), std::size_t(0)); // the scan stopped
}

void cWindowDefectsTest::closingDuringAnImportEndsTheProgram() {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUARRY_PROGRAM), {path("big.xml")});
    QVERIFY(program.waitForStarted());
    // The import holds the item file open while it runs.
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(program.processId()));
    const auto importing = [&] {
        for (const QFileInfo& link : descriptors.entryInfoList(QDir::Files | QDir::System))
            if (link.symLinkTarget() == path("big.xml")) return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(importing(), 30000);
    program.terminate(); // closes the window as the user does
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void cWindowDefectsTest::importFromTheMenuRunsOnceTheMenuIsDone() {
    QTimer answer; // the file dialog takes the big file
    connect(&answer, &QTimer::timeout, this, [this] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(path("big.xml"));
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    answer.start(5);
    CMenuBar* bar = frame()->menuBarControl();
    const auto click = [](QWidget* widget, QRect area) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, area.center());
    };
    click(bar, bar->actionGeometry(bar->actions()[0]));
    QTRY_VERIFY(bar->popup(0)->isVisible());
    click(bar->popup(0), bar->popup(0)->actionGeometry(frame()->action(cmdImport)));
    // The click on Import... has been handled in full before the import begins.
    QVERIFY(!frame()->importRunning());
    QCOMPARE(frame()->treeModel()->rowCount(), 0);

    bool openedAtFirstClick = false;
    QTimer during;
    connect(&during, &QTimer::timeout, this, [&] {
        if (!frame()->importRunning() || !during.isActive()) return;
        during.stop();
        click(bar, bar->actionGeometry(bar->actions()[1]));
        openedAtFirstClick = bar->popup(1)->isVisible();
        bar->popup(1)->hide();
    });
    during.start(0);
    QTRY_VERIFY(!during.isActive());
    QVERIFY(openedAtFirstClick);
    QTRY_COMPARE_WITH_TIMEOUT(frame()->treeModel()->rowCount(), 1, 30000);
}

void cWindowDefectsTest::promptsLeaveTheLabelOfRunningWorkReadable() {
    CPaneStatusBar* bar = frame()->paneStatusBar();
    QString label;
    QString prompt;
    QImage before;
    QImage during;
    bool progressBack = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (!frame()->progressBar()->isVisible() || !watch.isActive()) return;
        watch.stop();
        label = bar->paneText(0);
        before = bar->grab().toImage();
        frame()->action(cmdBack)->showStatusText(frame()->toolBar()); // the pointer rests on Back
        prompt = bar->currentMessage();
        during = bar->grab().toImage();
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(frame()->toolBar(), &leave);
        progressBack = frame()->progressBar()->isVisible();
    });
    watch.start(0);
    QVERIFY(app()->scanItemFile(path("big.xml").toStdString()));
    QCOMPARE(prompt, QStringLiteral("Goes to the previous page."));
    QRect labelArea = bar->paneRect(0);
    labelArea.setWidth(bar->fontMetrics().horizontalAdvance(label));
    QVERIFY(!label.isEmpty());
    QCOMPARE(during.copy(labelArea), before.copy(labelArea));
    const QRect rest = frame()->progressBar()->placement();
    QVERIFY(during.copy(rest) != before.copy(rest)); // the prompt took the progress's place
    QVERIFY(progressBack);
}

void cWindowDefectsTest::altAloneDrawsTheEntryTheKeyboardIsOn() {
    CMenuBar* bar = frame()->menuBarControl();
    const QRect file = bar->actionGeometry(bar->actions()[0]);
    frame()->itemTree()->setFocus();
    const QImage idle = bar->grab(file).toImage();
    QTest::keyPress(frame()->itemTree(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(frame()->itemTree(), Qt::Key_Alt, Qt::AltModifier);
    QTRY_VERIFY(bar->hasFocus());
    QVERIFY(bar->grab(file).toImage() != idle);
}

void cWindowDefectsTest::rightClickOnTheBandsOffersNothingToHide() {
    for (QWidget* band :
         {static_cast<QWidget*>(frame()->toolBar()), static_cast<QWidget*>(frame()->menuBand()),
          static_cast<QWidget*>(frame()->itemIdBand()),
          static_cast<QWidget*>(frame()->treeBar())}) {
        const QPoint handle(2, band->height() / 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, handle, band->mapToGlobal(handle));
        QApplication::sendEvent(band, &click);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }
}

void cWindowDefectsTest::summaryListsTheHeldBackMessages() {
    const QByteArray odd = "<Action Name=\"ToUse\">" + QByteArray("<Bogus/>").repeated(2500);
    QVERIFY(writeFile(path("odd.xml"), itemFile(1, "Misc", odd + "</Action>")));
    QStringList details;
    QTimer boxes;
    connect(&boxes, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            details << box->detailedText();
            box->accept();
        }
    });
    boxes.start(1);
    QVERIFY(app()->scanItemFile(path("odd.xml").toStdString()));
    QCOMPARE(details.size(), 2); // the first message, then the summary of the others
    const QStringList lines = details[1].split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), qsizetype(cMessageThrottle::kMaxKeptTexts + 1));
    QCOMPARE(
        lines.first(),
        QStringLiteral("Encountered unsupported tag: <Bogus> while processing item with ZRID 1"));
    QCOMPARE(lines.last(), QStringLiteral("... and 499 more."));
}

void cWindowDefectsTest::longTreeLabelsShowWholeAndScrollSideways() {
    const QByteArray name = "Ring of " + QByteArray("the far ").repeated(30) + "end";
    // Among many shorter ones, so the pane scrolls both ways.
    QVERIFY(writeFile(path("long.xml"), "<RDB><Item ZRID=\"700\" Name=\"" + name +
                                            "\" QL=\"25\" ItemType=\"Misc\"></Item>" +
                                            itemFile(100).mid(5)));
    QVERIFY(app()->scanItemFile(path("long.xml").toStdString()));
    cItemTree* tree = frame()->itemTree();
    const QModelIndex ring =
        frame()->treeModel()->indexOf(frame()->treeModel()->findFirstItem(700));
    tree->scrollTo(ring);
    const int labelWidth = tree->fontMetrics().horizontalAdvance(QString::fromLatin1(name));
    const auto wholeLabelAtTheRightEnd = [tree, ring, labelWidth] {
        tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->maximum());
        const QRect shown = tree->visualRect(ring);
        return shown.width() > labelWidth && shown.right() < tree->viewport()->width();
    };
    QTRY_VERIFY(wholeLabelAtTheRightEnd());
}

void cWindowDefectsTest::itemsBarKeepsItsWidthThroughASmallWindow() {
    cItemTreeBar* bar = frame()->treeBar();
    QTRY_COMPARE(bar->width(), 200);
    dragDockEdge(frame(), bar, 60);
    QCOMPARE(bar->width(), 260);
    frame()->resize(150, 300);
    QTRY_VERIFY(bar->width() < 150);
    frame()->resize(900, 640);
    QTRY_COMPARE(bar->width(), 260);
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    QTemporaryDir settings; // the tests' own settings store
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    cWindowDefectsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_defects_test.moc"
