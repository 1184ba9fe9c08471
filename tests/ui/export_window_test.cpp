// File > Export... in the real window: when it is offered, what the dialog's
// name and file type choose, the files it writes, and what the user is told.
#include "app/quarry.h"
#include "ui/frame_resources.h"
#include "ui/main_frame.h"
#include "window_test_main.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace quarry {

namespace {

// Three items load; the fourth has no QL and does not.
const char* const kItems =
    "<RDB><Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"20\" Name=\"Blade\" QL=\"100\" ItemType=\"Weapon\"></Item>"
    "<Item ZRID=\"30\" Name=\"Heal\" IsNano=\"True\"></Item><Item ZRID=\"40\" "
    "Name=\"Lost\"></Item>";

// Runs `answer` on the next modal dialog. One answered while it is still being
// shown hides before its event loop starts and is ended again; a box the
// answer raised is closed, so the checks fail instead of the test hanging.
void answerNextModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(10, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return answerNextModal(answer);
        answer(modal);
        QTimer::singleShot(100, [dialog = QPointer<QDialog>(qobject_cast<QDialog*>(modal))] {
            QWidget* now = QApplication::activeModalWidget();
            if (dialog && now != nullptr && now != dialog) {
                now->close();
                dialog->reject();
            }
            if (dialog && !dialog->isVisible()) dialog->done(dialog->result());
        });
    });
}

} // namespace

class cExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid() && app()->InitInstance());
        QFile items(path("items.xml"));
        QVERIFY(items.open(QIODevice::WriteOnly));
        items.write(kItems);
    }

    // Offered once an import has finished. The dialog starts beside the imported
    // file; a typed suffix chooses the format over the chosen file type, and a
    // name without one gets the type's.
    void writesEveryLoadedItemInTheFormatTheNameAndTypeChoose() {
        QVERIFY(!frame()->action(cmdExport)->isEnabled());
        QVERIFY(!app()->exportTo({path("early.jsonl").toStdString(), eExportFormat::jsonLines}));
        QVERIFY(!QFile::exists(path("early.jsonl")));
        QVERIFY(app()->scanItemFile(path("items.xml").toStdString()));
        QVERIFY(frame()->action(cmdExport)->isEnabled());
        const QByteArray json = "{\"zrid\":10,\"name\":\"Ring\"", sqlite = "SQLite format 3";
        const struct {
            const char* typed;
            int filter; // 0 JSON lines, 1 SQLite
            const char* file;
            QByteArray start;
        } cases[] = {{"a.db", 0, "a.db", sqlite},
                     {"b.jsonl", 1, "b.jsonl", json},
                     {"c", 1, "c.db", sqlite},
                     {"d.txt", 0, "d.txt", json}};
        for (const auto& [typed, filter, file, start] : cases) {
            QString startedIn;
            answerNextModal([&, typed = typed, filter = filter](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (!dialog) return void(modal->close());
                startedIn = dialog->directory().absolutePath();
                dialog->selectNameFilter(dialog->nameFilters().value(filter));
                emit dialog->filterSelected(dialog->selectedNameFilter());
                // selectFile leaves the name box alone while it has the focus,
                // which it gets once the window manager activates the dialog.
                if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
                dialog->selectFile(QString::fromLatin1(typed));
                static_cast<QDialog*>(dialog)->accept(); // as the Save button does
            });
            frame()->action(cmdExport)->trigger();
            QCOMPARE(startedIn, dir_.path());
            QFile written(path(file));
            QVERIFY2(written.open(QIODevice::ReadOnly), file);
            const QByteArray content = written.readAll();
            QVERIFY2(content.startsWith(start), content.left(40).constData());
            if (start == json) QCOMPARE(content.count('\n'), 3);
            QCOMPARE(frame()->statusBar()->currentMessage(),
                     QStringLiteral("Exported 3 items to %1").arg(written.fileName()));
            QVERIFY(frame()->action(cmdExport)->isEnabled() &&
                    frame()->action(cmdImport)->isEnabled());
        }
    }

    void aFileThatCannotBeWrittenIsReportedAndLeavesNothing() {
        QString told;
        answerNextModal([&told](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) told = box->text();
            modal->close();
        });
        QVERIFY(!app()->exportTo({path("missing/items.db").toStdString(), eExportFormat::sqlite}));
        QVERIFY2(told.startsWith(QStringLiteral("The items could not be exported to")),
                 qPrintable(told));
        QVERIFY(!QDir(path("missing")).exists());
    }

private:
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    QString path(const char* name) { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
};

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cExportWindowTest)

#include "export_window_test.moc"
