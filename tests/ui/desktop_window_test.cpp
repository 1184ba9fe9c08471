// The window as people use it and keep it: closing or using menus during an
// import, the bands, many unsupported tags, long labels, a small window; the
// window and the files imported last at the next start; dropping a file.
#include "app/quarry.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "controls/progress_bar.h"
#include "ui/frame_resources.h"
#include "ui/item_tree.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <utility>

namespace quarry {

namespace {

cMainframe* frame() {
    return cQuarry::instance()->mainFrame();
}

// `count` Misc items (identifiers 1 to count) named `name` and their number.
bool writeItems(const QString& path, int count, const QByteArray& body = "",
                const QByteArray& name = "Item ") {
    QByteArray items = "<RDB>";
    for (int i = 1; i <= count; ++i)
        items += "<Item ZRID=\"" + QByteArray::number(i) + "\" Name=\"" + name +
                 QByteArray::number(i) + "\" QL=\"5\" ItemType=\"Misc\">" + body + "</Item>";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(items + "</RDB>") > 0;
}

// Calls `tick` every few milliseconds while it lives, also inside the event
// loops an import or a dialog runs.
struct cTicker : QTimer {
    explicit cTicker(const std::function<void()>& tick) {
        connect(this, &QTimer::timeout, tick);
        start(2);
    }
};

} // namespace

class cDesktopWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(writeItems(big_, 100000)); }
    void init();
    void closingDuringAnImportEndsTheProgram();
    void importFromTheMenuRunsOnceTheMenuIsDone();
    void promptsLeaveTheLabelOfRunningWorkReadable();
    void rightClickOnTheBandsOffersNothingToHide();
    void summaryListsTheHeldBackMessages();
    void longTreeLabelsShowWholeAndScrollSideways();
    void itemsBarKeepsItsWidthThroughASmallWindow();
    void windowComesBackAsItWasLeft();
    void recentFilesKeepTheLastFiveImported();
    void droppedFileIsImported();

private:
    bool import(const QString& path) {
        return cQuarry::instance()->scanItemFile(path.toStdString());
    }
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QStringList recentFiles() const;
    // Drags the edge of the Items bar `by` pixels to the right.
    void dragItemsBarEdge(int by);

    QTemporaryDir dir_;
    const QString big_ = file("big.xml");
};

void cDesktopWindowTest::init() {
    QSettings().clear();
    QVERIFY(cQuarry::instance()->InitInstance());
    frame()->resize(900, 640);
    frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
}

QStringList cDesktopWindowTest::recentFiles() const {
    QStringList entries;
    for (QAction* entry : frame()->action(cmdRecentFiles)->menu()->actions())
        entries << entry->statusTip();
    return entries;
}

void cDesktopWindowTest::dragItemsBarEdge(int by) {
    cItemTreeBar* bar = frame()->treeBar();
    const QPoint from((bar->geometry().right() + frame()->centralWidget()->x()) / 2 + 1, 200);
    const int wanted = bar->width() + by;
    QTest::mousePress(frame(), Qt::LeftButton, {}, from);
    QTest::mouseMove(frame(), from + QPoint(by, 0));
    QTRY_COMPARE(bar->width(), wanted); // the layout moves the edge a moment later
    QTest::mouseRelease(frame(), Qt::LeftButton, {}, from + QPoint(by, 0));
}

void cDesktopWindowTest::closingDuringAnImportEndsTheProgram() {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUARRY_PROGRAM), {big_});
    QVERIFY(program.waitForStarted());
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(program.processId()));
    const auto importing = [&] { // the import holds the item file open
        for (const QFileInfo& link : descriptors.entryInfoList(QDir::Files | QDir::System))
            if (link.symLinkTarget() == big_) return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(importing(), 30000);
    program.terminate(); // closes the window as the user does
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void cDesktopWindowTest::importFromTheMenuRunsOnceTheMenuIsDone() {
    cTicker answer([this] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(big_);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    CMenuBar* bar = frame()->menuBarControl();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    QMenu* fileMenu = bar->popup(0);
    QTest::mouseClick(fileMenu, Qt::LeftButton, {},
                      fileMenu->actionGeometry(frame()->action(cmdImport)).center());
    // The click on Import... is handled in full before the import begins.
    QVERIFY(!frame()->importRunning());
    QCOMPARE(frame()->treeModel()->rowCount(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(frame()->treeModel()->rowCount() == 1, 30000);
}

void cDesktopWindowTest::promptsLeaveTheLabelOfRunningWorkReadable() {
    CPaneStatusBar* bar = frame()->paneStatusBar();
    QImage before, during;
    QString label;
    bool progressBack = false;
    cTicker hover([&] {
        if (!frame()->progressBar()->isVisible() || !label.isEmpty()) return;
        label = bar->paneText(0);
        before = bar->grab().toImage();
        frame()->action(cmdBack)->showStatusText(frame()->toolBar()); // the pointer on Back
        during = bar->grab().toImage();
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(frame()->toolBar(), &leave);
        progressBack = frame()->progressBar()->isVisible();
    });
    QVERIFY(import(big_));
    QRect labelArea = bar->paneRect(0);
    labelArea.setWidth(bar->fontMetrics().horizontalAdvance(label));
    QVERIFY(!label.isEmpty());
    QCOMPARE(during.copy(labelArea), before.copy(labelArea));
    const QRect rest = frame()->progressBar()->placement();
    QVERIFY(during.copy(rest) != before.copy(rest)); // the prompt took the progress's place
    QVERIFY(progressBack);
}

void cDesktopWindowTest::rightClickOnTheBandsOffersNothingToHide() {
    for (QWidget* band : QList<QWidget*>{frame()->toolBar(), frame()->menuBand(),
                                         frame()->itemIdBand(), frame()->treeBar()}) {
        const QPoint handle(2, band->height() / 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, handle, band->mapToGlobal(handle));
        QApplication::sendEvent(band, &click);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }
}

void cDesktopWindowTest::summaryListsTheHeldBackMessages() {
    const QByteArray tags = QByteArray("<Bogus/>").repeated(2500);
    QVERIFY(writeItems(file("odd.xml"), 1, "<Action Name=\"ToUse\">" + tags + "</Action>"));
    QStringList details;
    cTicker answer([&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            details << box->detailedText();
            box->accept();
        }
    });
    QVERIFY(import(file("odd.xml")));
    QCOMPARE(details.size(), 2); // the first message, then the summary of the others
    const QStringList lines = details[1].split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), qsizetype(cMessageThrottle::kMaxKeptTexts + 1));
    QCOMPARE(
        lines.first(),
        QStringLiteral("Encountered unsupported tag: <Bogus> while processing item with ZRID 1"));
    QCOMPARE(lines.last(), QStringLiteral("... and 499 more."));
}

void cDesktopWindowTest::longTreeLabelsShowWholeAndScrollSideways() {
    const QByteArray name = "Ring of " + QByteArray("the far ").repeated(30) + "end ";
    QVERIFY(writeItems(file("long.xml"), 100, "", name));
    QVERIFY(import(file("long.xml")));
    cItemTree* tree = frame()->itemTree();
    const QModelIndex ring = frame()->treeModel()->indexOf(frame()->treeModel()->findFirstItem(50));
    tree->scrollTo(ring);
    const int labelWidth = tree->fontMetrics().horizontalAdvance(QString::fromLatin1(name));
    const auto wholeLabelAtTheRightEnd = [tree, ring, labelWidth] {
        tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->maximum());
        const QRect shown = tree->visualRect(ring);
        return shown.width() > labelWidth && shown.right() < tree->viewport()->width();
    };
    QTRY_VERIFY(wholeLabelAtTheRightEnd());
}

void cDesktopWindowTest::itemsBarKeepsItsWidthThroughASmallWindow() {
    QTRY_COMPARE(frame()->treeBar()->width(), 200);
    dragItemsBarEdge(60);
    frame()->resize(150, 300);
    QTRY_VERIFY(frame()->treeBar()->width() < 150);
    frame()->resize(900, 640);
    QTRY_COMPARE(frame()->treeBar()->width(), 260);
}

void cDesktopWindowTest::windowComesBackAsItWasLeft() {
    frame()->resize(700, 500);
    QTRY_COMPARE(frame()->size(), QSize(700, 500));
    dragItemsBarEdge(60);
    frame()->action(cmdViewToolbar)->trigger();
    frame()->action(cmdViewStatusBar)->trigger();
    QVERIFY(frame()->close());
    QVERIFY(cQuarry::instance()->InitInstance());
    QTRY_COMPARE(frame()->size(), QSize(700, 500));
    QTRY_COMPARE(frame()->treeBar()->width(), 260);
    QCOMPARE(frame()->treeBar()->sizeVert().width(), 260);
    for (int command : {cmdViewToolbar, cmdViewStatusBar})
        QVERIFY(!frame()->action(command)->isChecked());
    QVERIFY(frame()->toolBar()->isHidden() && frame()->paneStatusBar()->isHidden());
}

void cDesktopWindowTest::recentFilesKeepTheLastFiveImported() {
    QVERIFY(!frame()->action(cmdRecentFiles)->isEnabled());
    QStringList imported; // newest first
    for (const char* name : {"x.xml", "b & c.xml", "a.xml", "d.xml", "a.xml", "e.xml", "f.xml"}) {
        QVERIFY(writeItems(file(name), 1) && import(file(name)));
        imported.removeAll(file(name));
        imported.prepend(file(name));
    }
    QCOMPARE(recentFiles(), imported.mid(0, 5));
    QAction* entry = frame()->action(cmdRecentFiles)->menu()->actions()[4];
    QCOMPARE(entry->text(), "&5 " + file("b && c.xml"));
    entry->trigger(); // imports it again, and it comes first
    QTRY_COMPARE(recentFiles().first(), file("b & c.xml"));

    // At the next start nothing is imported; a file gone missing leaves the list.
    const QStringList before = recentFiles();
    QVERIFY(QFile::remove(before[0]) && cQuarry::instance()->InitInstance());
    QCOMPARE(frame()->treeModel()->rowCount(), 0);
    QCOMPARE(recentFiles(), before);
    cTicker closer([] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    frame()->action(cmdRecentFiles)->menu()->actions()[0]->trigger();
    QTRY_COMPARE(recentFiles(), before.mid(1));
}

void cDesktopWindowTest::droppedFileIsImported() {
    for (QWidget* target : {static_cast<QWidget*>(frame()), frame()->reportPane()->viewport()}) {
        const QString path = file(target == frame() ? "on the frame.xml" : "on the report.xml");
        QVERIFY(writeItems(path, 2));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QTRY_COMPARE(cQuarry::instance()->store().path(), path.toStdString());
    }
    QVERIFY(frame()->reportPane()->toPlainText().isEmpty()); // the report took nothing in
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    QTemporaryDir settings; // the tests' own settings store
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    cDesktopWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_window_test.moc"
