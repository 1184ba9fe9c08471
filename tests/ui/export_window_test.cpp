// File > Export... in the real window: when it is offered, what the dialog's
// name and file type choose, the files it writes, and what the user is told.
#include "app/quarry.h"
#include "ui/frame_resources.h"
#include "ui/main_frame.h"

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
const char* const kItems = "<RDB>"
                           "<Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
                           "<Item ZRID=\"20\" Name=\"Blade\" QL=\"100\" ItemType=\"Weapon\">"
                           "<AtkValue Name=\"Edged\" Percent=\"50\" /></Item>"
                           "<Item ZRID=\"30\" Name=\"Heal\" IsNano=\"True\"></Item>"
                           "<Item ZRID=\"40\" Name=\"Lost\"></Item>"
                           "</RDB>";

// Runs `answer` on the next modal dialog that comes up. A dialog answered
// while it is still being shown (events can run then) hides before its event
// loop starts, which would then wait for ever: such a dialog is ended again.
void answerNextModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(10, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return answerNextModal(answer);
        answer(modal);
        QTimer::singleShot(100, [dialog = QPointer<QDialog>(qobject_cast<QDialog*>(modal))] {
            // A box the answer raised (a question before replacing a file):
            // the checks fail instead of the test hanging.
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
        QVERIFY(dir_.isValid() && outDir_.isValid());
        QVERIFY(app()->InitInstance());
        itemsPath_ = dir_.filePath(QStringLiteral("items.xml"));
        QFile items(itemsPath_);
        QVERIFY(items.open(QIODevice::WriteOnly));
        items.write(kItems);
    }

    void offeredOnlyOnceAnImportHasFinished() {
        QAction* exportAction = frame()->action(cmdExport);
        QVERIFY(!exportAction->isEnabled());
        QVERIFY(!app()->exportTo({path("early.jsonl"), eExportFormat::jsonLines}));
        QVERIFY(!QFile::exists(QString::fromStdString(path("early.jsonl"))));
        QVERIFY(app()->scanItemFile(itemsPath_.toStdString()));
        QVERIFY(exportAction->isEnabled());
    }

    void writesEveryLoadedItemAndSaysSo_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("json lines") << "items.jsonl" << int(eExportFormat::jsonLines)
                                    << QByteArray("{\"zrid\":10,\"name\":\"Ring\"");
        QTest::newRow("sqlite") << "items.db" << int(eExportFormat::sqlite)
                                << QByteArray("SQLite format 3");
    }
    void writesEveryLoadedItemAndSaysSo() {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(QByteArray, start);
        const std::string target = path(name);
        QVERIFY(app()->exportTo({target, eExportFormat(format)}));
        QFile written(QString::fromStdString(target));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray content = written.readAll();
        QVERIFY2(content.startsWith(start), content.left(40).constData());
        if (format == int(eExportFormat::jsonLines)) QCOMPARE(content.count('\n'), 3);
        QCOMPARE(frame()->statusBar()->currentMessage(),
                 QStringLiteral("Exported 3 items to %1").arg(QString::fromStdString(target)));
        QVERIFY(frame()->action(cmdExport)->isEnabled());
        QVERIFY(frame()->action(cmdImport)->isEnabled());
    }

    void aFileThatCannotBeWrittenIsReportedAndLeavesNothing() {
        const std::string target = path("missing-folder/items.db");
        QString told;
        answerNextModal([&told](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box) told = box->text();
            modal->close();
        });
        QVERIFY(!app()->exportTo({target, eExportFormat::sqlite}));
        QVERIFY2(told.startsWith(QStringLiteral("The items could not be exported to")),
                 qPrintable(told));
        QVERIFY(!QDir(outDir_.filePath(QStringLiteral("missing-folder"))).exists());
    }

    // The dialog starts beside the imported file; a typed suffix chooses the
    // format over the chosen file type, and a name without one gets the type's.
    void dialogChoosesTheFormatByNameAndType_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("format");
        QTest::newRow("sqlite suffix, JSON type")
            << "a.db" << 0 << "a.db" << int(eExportFormat::sqlite);
        QTest::newRow("json suffix, SQLite type")
            << "b.jsonl" << 1 << "b.jsonl" << int(eExportFormat::jsonLines);
        QTest::newRow("no suffix, SQLite type") << "c" << 1 << "c.db" << int(eExportFormat::sqlite);
        QTest::newRow("other suffix, JSON type")
            << "d.txt" << 0 << "d.txt" << int(eExportFormat::jsonLines);
    }
    void dialogChoosesTheFormatByNameAndType() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, file);
        QFETCH(int, format);
        QString startedIn;
        answerNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) { // the checks below fail instead of the test hanging
                modal->close();
                return;
            }
            startedIn = dialog->directory().absolutePath();
            dialog->selectNameFilter(dialog->nameFilters().value(filter));
            emit dialog->filterSelected(dialog->selectedNameFilter());
            // selectFile leaves the name box alone while it has the focus,
            // which it gets once the window manager activates the dialog.
            if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        const std::optional<cExportTarget> target =
            cExportCommand(*frame(), app()->store()).askTarget();
        QVERIFY(target.has_value());
        QCOMPARE(startedIn, dir_.path());
        QCOMPARE(QString::fromStdString(target->path), dir_.filePath(file));
        QCOMPARE(int(target->format), format);
    }

private:
    cQuarry* app() { return cQuarry::instance(); }
    cMainframe* frame() { return app()->mainFrame(); }
    // Exports go to a folder of their own: the dialog, which starts beside the
    // imported file, then finds no file it would ask to replace.
    std::string path(const QString& name) { return outDir_.filePath(name).toStdString(); }

    QTemporaryDir dir_;
    QTemporaryDir outDir_;
    QString itemsPath_;
};

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    cExportWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "export_window_test.moc"
