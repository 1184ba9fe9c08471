// The window as people use it and keep it: during an import, with odd files and
// sizes, at the next start, with recent and dropped files.
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
#include "window_test_main.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace quarry {

// Calls `tick` every few milliseconds while it lives, also inside the event
// loops an import or a dialog runs.
struct cTicker : QTimer {
    explicit cTicker(const std::function<void()>& tick) {
        connect(this, &QTimer::timeout, tick);
        start(2);
    }
};

class cDesktopWindowTest : public QObject {
    Q_OBJECT
    static cMainframe* frame() { return cQuarry::instance()->mainFrame(); }
    static bool import(const QString& path) {
        return cQuarry::instance()->scanItemFile(path.toStdString());
    }
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    static QAction* recentEntry(int i) {
        return frame()->action(cmdRecentFiles)->menu()->actions().value(i);
    }
    static QStringList recentFiles() {
        QStringList paths;
        for (QAction* entry : frame()->action(cmdRecentFiles)->menu()->actions())
            paths << entry->statusTip();
        return paths;
    }
    // `count` Misc items (identifiers 1 to count) named `name` and their number.
    static bool writeItems(const QString& path, int count, const QByteArray& body = "",
                           const QByteArray& name = "Item ") {
        QByteArray items = "<RDB>";
        for (int i = 1; i <= count; ++i)
            items += "<Item ZRID=\"" + QByteArray::number(i) + "\" Name=\"" + name +
                     QByteArray::number(i) + "\" QL=\"5\" ItemType=\"Misc\">" + body + "</Item>";
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(items + "</RDB>") > 0;
    }

    QTemporaryDir dir_;
    const QString big_ = file("big.xml");

private slots:
    void initTestCase() { QVERIFY(writeItems(big_, 100000)); }
    void init() {
        QSettings().clear();
        QVERIFY(cQuarry::instance()->InitInstance());
        frame()->resize(900, 640);
        frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame()));
    }

    void closingDuringAnImportEndsTheProgram() {
        QProcess program;
        program.setEnvironment(QProcess::systemEnvironment() << "XDG_CONFIG_HOME=" + dir_.path());
        program.start(QStringLiteral(QUARRY_PROGRAM), {big_});
        QVERIFY(program.waitForStarted());
        const QDir open(QStringLiteral("/proc/%1/fd").arg(program.processId()));
        const auto importing = [&] { // the import holds the item file open
            for (const QFileInfo& link : open.entryInfoList(QDir::Files | QDir::System))
                if (link.symLinkTarget() == big_) return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(importing(), 30000);
        program.terminate(); // closes the window as the user does
        QVERIFY(program.waitForFinished(10000));
        QVERIFY(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0);
    }

    // An import chosen from the menu asks for the file in a dialog of the window's
    // and starts once the menu's click is handled in full; while it runs, a
    // prompt leaves the label of the running work readable.
    void importFromTheMenuLeavesMenuAndLabelAlone() {
        CPaneStatusBar* status = frame()->paneStatusBar();
        QImage before, during;
        QString label;
        QWidget* dialogParent = nullptr;
        cTicker user([&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                dialogParent = dialog->parentWidget();
                dialog->selectFile(big_);
                static_cast<QDialog*>(dialog)->accept();
            } else if (frame()->progressBar()->isVisible() && label.isEmpty()) {
                label = status->paneText(0);
                before = status->grab().toImage();
                frame()->action(cmdBack)->showStatusText(frame()->toolBar()); // pointer on Back
                during = status->grab().toImage();
            }
        });
        CMenuBar* bar = frame()->menuBarControl();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
        QTest::mouseClick(bar->popup(0), Qt::LeftButton, {},
                          bar->popup(0)->actionGeometry(frame()->action(cmdImport)).center());
        QVERIFY(cQuarry::instance()->activity() == cQuarry::eActivity::idle &&
                frame()->treeModel()->rowCount() == 0);
        QTRY_VERIFY_WITH_TIMEOUT(frame()->treeModel()->rowCount() == 1 && !label.isEmpty(), 30000);
        QCOMPARE(dialogParent, static_cast<QWidget*>(frame()));
        const QRect labelArea(
            status->paneRect(0).topLeft(),
            QSize(status->fontMetrics().horizontalAdvance(label), status->height()));
        QCOMPARE(during.copy(labelArea), before.copy(labelArea));
        const QRect rest = frame()->progressBar()->placement(); // the prompt goes there
        QVERIFY(during.copy(rest) != before.copy(rest));
    }

    void rightClickOnTheBandsOffersNothingToHide() {
        for (QWidget* band : QList<QWidget*>{frame()->toolBar(), frame()->menuBand(),
                                             frame()->itemIdBand(), frame()->treeBar()}) {
            QContextMenuEvent click(QContextMenuEvent::Mouse, {2, 2},
                                    band->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(band, &click);
            QCOMPARE(QApplication::activePopupWidget(), nullptr);
        }
    }

    void longTreeLabelsShowWholeAndScrollSideways() {
        const QByteArray name = "Ring of " + QByteArray("the far ").repeated(30) + "end ";
        QVERIFY(writeItems(file("long.xml"), 100, "", name) && import(file("long.xml")));
        cItemTree* tree = frame()->itemTree();
        const QModelIndex ring =
            frame()->treeModel()->indexOf(frame()->treeModel()->findFirstItem(50));
        tree->scrollTo(ring);
        const int labelWidth = tree->fontMetrics().horizontalAdvance(QString::fromLatin1(name));
        QTRY_VERIFY([&] {
            tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->maximum());
            const QRect shown = tree->visualRect(ring);
            return shown.width() > labelWidth && shown.right() < tree->viewport()->width();
        }());
    }

    // The Items bar keeps the width the user dragged it to through a small
    // window, and the window comes back at the next start as it was left,
    // its bars hidden by View > Toolbar and Status Bar.
    void windowKeepsWhatTheUserMadeOfIt() {
        cItemTreeBar* bar = frame()->treeBar();
        QTRY_COMPARE(bar->width(), 200);
        const QPoint edge((bar->geometry().right() + frame()->centralWidget()->x()) / 2 + 1, 200);
        QTest::mousePress(frame(), Qt::LeftButton, {}, edge);
        QTest::mouseMove(frame(), edge + QPoint(60, 0));
        QTRY_COMPARE(bar->width(), 260); // the layout moves the edge a moment later
        QTest::mouseRelease(frame(), Qt::LeftButton, {}, edge + QPoint(60, 0));
        frame()->resize(150, 300);
        QTRY_VERIFY(bar->width() < 150);
        frame()->resize(700, 500);
        QTRY_COMPARE(bar->width(), 260);
        frame()->action(cmdViewToolbar)->trigger();
        frame()->action(cmdViewStatusBar)->trigger();
        QVERIFY(frame()->close() && cQuarry::instance()->InitInstance());
        QTRY_COMPARE(frame()->size(), QSize(700, 500));
        QTRY_COMPARE(frame()->treeBar()->width(), 260);
        QVERIFY(frame()->toolBar()->isHidden() && frame()->paneStatusBar()->isHidden());
        for (int command : {cmdViewToolbar, cmdViewStatusBar}) { // and show them again
            QVERIFY(!frame()->action(command)->isChecked());
            frame()->action(command)->trigger();
        }
        QVERIFY(frame()->toolBar()->isVisible() && frame()->paneStatusBar()->isVisible());
    }

    void recentFilesKeepTheLastFiveImported() {
        QStringList imported; // newest first, named in full whatever the working folder
        QVERIFY(QDir::setCurrent(dir_.path()));
        for (const char* name :
             {"x.xml", "b & c.xml", "a.xml", "d.xml", "a.xml", "e.xml", "f.xml"}) {
            QVERIFY(writeItems(file(name), 1) && import(QString::fromLatin1(name)));
            imported.removeAll(file(name));
            imported.prepend(file(name));
        }
        QCOMPARE(recentFiles(), imported.mid(0, 5));
        QCOMPARE(recentEntry(4)->text(), "&5 " + file("b && c.xml"));
        recentEntry(4)->trigger(); // imports it again, and it comes first
        QTRY_COMPARE(recentFiles().first(), file("b & c.xml"));
        // At the next start nothing is imported; a file gone missing leaves the list.
        const QStringList before = recentFiles();
        QVERIFY(QFile::remove(before[0]) && cQuarry::instance()->InitInstance());
        QVERIFY(frame()->treeModel()->rowCount() == 0 && recentFiles() == before);
        cTicker closer([] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        recentEntry(0)->trigger();
        QTRY_COMPARE(recentFiles(), before.mid(1));
    }

    // A file dropped on the report is the window's to import; the report takes nothing in.
    void droppedFileIsImported() {
        QVERIFY(writeItems(file("dropped.xml"), 2));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file("dropped.xml"))});
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), &drop})
            QVERIFY(QApplication::sendEvent(frame()->reportPane()->viewport(), event) &&
                    event->isAccepted());
        QTRY_COMPARE(cQuarry::instance()->store().path(), file("dropped.xml").toStdString());
        QVERIFY(frame()->reportPane()->toPlainText().isEmpty());
    }
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cDesktopWindowTest)

#include "desktop_window_test.moc"
