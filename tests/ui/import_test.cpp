// The window's import on hostile files: a file that cannot be read is
// reported in a message box and leaves no tree of an earlier import behind.
#include "app/quarry.h"
#include "ui/frame_resources.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace quarry {

namespace {

// Answers every message box with OK and keeps its text.
class cBoxAnswerer : public QObject {
public:
    cBoxAnswerer() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer_.start(5);
    }
    QStringList texts;

private:
    QTimer timer_;
};

cQuarry* app() {
    return cQuarry::instance();
}

} // namespace

class cImportTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(app()->InitInstance()); }
    void unreadableFileIsReportedAndReplacesTheTree();
};

void cImportTest::unreadableFileIsReportedAndReplacesTheTree() {
    QTemporaryDir dir;
    const QString items = dir.filePath(QStringLiteral("items.xml"));
    QFile file(items);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<Item ZRID=\"10\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>");
    file.close();
    QVERIFY(app()->scanItemFile(items.toStdString()));
    const std::size_t filled = app()->mainFrame()->treeModel()->nodeCount();

    cBoxAnswerer answerer;
    // A regular file whose every read fails.
    QVERIFY(!app()->scanItemFile("/proc/self/mem"));
    QCOMPARE(answerer.texts.size(), 1);
    QVERIFY2(answerer.texts[0].contains(QStringLiteral("could not be read")),
             qPrintable(answerer.texts[0]));
    QCOMPARE(app()->store().itemCount(), std::size_t(0));
    QCOMPARE(app()->mainFrame()->treeModel()->nodeCount(),
             filled - 3); // no Perk, Nanoprogram, Ring
    QVERIFY(app()->mainFrame()->action(cmdImport)->isEnabled());
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    cQuarry::setQuitOnLastWindowClosed(false);
    cImportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "import_test.moc"
