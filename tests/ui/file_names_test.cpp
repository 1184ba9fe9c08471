// File names are carried as the file system's bytes: a name that is not valid
// UTF-8 imports like any other, and a dropped URL keeps every byte.
#include "app/quarry.h"
#include "ui/file_names.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <fstream>
#include <memory>

namespace quarry {

class cFileNamesTest : public QObject {
    Q_OBJECT
private slots:
    void namesThatAreNotUtf8Import();
    void namesKeepTheirBytesThroughUrlsAndText();
};

void cFileNamesTest::namesThatAreNotUtf8Import() {
    QTemporaryDir folder;
    const std::string path = fileNameFromText(folder.path()) + "/items-\xff\xfe.xml";
    std::ofstream(path) << "<Item ZRID=\"7\" Name=\"Lamp\" QL=\"3\" ItemType=\"Misc\"></Item>";
    // Qt's own listing skips such a name, so the folder cannot remove it.
    const std::unique_ptr<const char, int (*)(const char*)> removal(path.c_str(), std::remove);
    // A refusal would show a box; close it so the test fails instead of waiting.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
    });
    closer.start(50);
    cQuarry* app = cQuarry::instance();
    QVERIFY(app->scanItemFile(path));
    QCOMPARE(app->store().itemCount(), std::size_t(1));
    QCOMPARE(fileNameForDisplay("items-\xff.xml"), QStringLiteral("items-\uFFFD.xml"));
}

void cFileNamesTest::namesKeepTheirBytesThroughUrlsAndText() {
    const std::string name = "/tmp/caf\xc3\xa9 \xff%41.xml";
    QCOMPARE(fileNameFromUrl(QUrl::fromEncoded("file:///tmp/caf%C3%A9%20%FF%2541.xml")), name);
    QCOMPARE(fileNameFromUrl(QUrl(QStringLiteral("https://example.org/a.xml"))), std::string());
    const std::string valid = "/tmp/caf\xc3\xa9.xml";
    QCOMPARE(fileNameFromText(fileNameForDisplay(valid)), valid);
    QCOMPARE(fileNameFromUrl(QUrl::fromLocalFile(fileNameForDisplay(valid))), valid);
}

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    if (!app.InitInstance()) return 1;
    cFileNamesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "file_names_test.moc"
