// What a desktop user expects of a program they keep: the window as it was
// left, the files imported last, dropping a file to import it, the usual
// --help and --version.
#include "app/about_dialog.h"
#include "controls/menu_bar.h"
#include "controls/pane_status_bar.h"
#include "tests/ui/window_test_support.h"
#include "ui/frame_resources.h"
#include "ui/item_tree_bar.h"
#include "ui/item_tree_model.h"
#include "ui/report_pane.h"

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>

namespace quarry {

class cDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void windowComesBackAsItWasLeft();
    void recentFilesKeepTheLastFiveNewestFirst();
    void recentFilesImportAndForgetMissingFiles();
    void droppedFileIsImported();
    void everyTextGoesThroughTranslation();
    void helpAndVersionAnswerWithoutADisplay();

private:
    QMenu* recentMenu() { return frame()->action(cmdRecentFiles)->menu(); }
    QStringList recentEntries();

    QTemporaryDir dir_;
};

QStringList cDesktopTest::recentEntries() {
    QStringList entries;
    for (QAction* entry : recentMenu()->actions())
        entries << entry->statusTip();
    return entries;
}

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

void cDesktopTest::recentFilesKeepTheLastFiveNewestFirst() {
    cRecentFiles recent;
    for (const char* path : {"a", "b", "c", "a", "d", "e", "f", "\xff\xfe.xml"})
        recent.add(path);
    const std::vector<std::string> newestFirst = {"\xff\xfe.xml", "f", "e", "d", "a"};
    QCOMPARE(recent.paths(), newestFirst);
    QSettings settings(dir_.filePath(QStringLiteral("recent.ini")), QSettings::IniFormat);
    recent.save(settings);
    cRecentFiles loaded;
    loaded.load(settings);
    QCOMPARE(loaded.paths(), newestFirst); // names that are not UTF-8 come back as they were
}

void cDesktopTest::recentFilesImportAndForgetMissingFiles() {
    const QString first = dir_.filePath(QStringLiteral("first & only.xml"));
    const QString second = dir_.filePath(QStringLiteral("second.xml"));
    QVERIFY(writeFile(first, itemFile(3)) && writeFile(second, itemFile(5)));
    QVERIFY(!frame()->action(cmdRecentFiles)->isEnabled());
    QVERIFY(app()->scanItemFile(first.toStdString()));
    QVERIFY(app()->scanItemFile(second.toStdString()));
    QCOMPARE(recentEntries(), (QStringList{second, first}));
    QCOMPARE(recentMenu()->actions()[1]->text(),
             QStringLiteral("&2 ") + QString(first).replace("&", "&&"));

    recentMenu()->actions()[1]->trigger();
    QTRY_COMPARE(recentEntries(), (QStringList{first, second}));
    QCOMPARE(app()->store().path(), first.toStdString());

    // At the next start nothing is imported; the list is there to choose from.
    QVERIFY(QFile::remove(first));
    QVERIFY(app()->InitInstance());
    QCOMPARE(frame()->treeModel()->rowCount(), 0);
    QCOMPARE(recentEntries(), (QStringList{first, second}));
    QTimer closer; // closes "cannot be read"
    connect(&closer, &QTimer::timeout, this, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(5);
    recentMenu()->actions()[0]->trigger();
    QTRY_COMPARE(recentEntries(), QStringList{second});
}

void cDesktopTest::droppedFileIsImported() {
    const struct {
        const char* file;
        QWidget* target;
    } drops[] = {{"on the frame.xml", frame()},
                 {"on the report.xml", frame()->reportPane()->viewport()}};
    for (const auto& drop : drops) {
        const QString path = dir_.filePath(QString::fromLatin1(drop.file));
        QVERIFY(writeFile(path, itemFile(2)));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(drop.target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(drop.target, &dropped);
        QVERIFY(dropped.isAccepted());
        QTRY_COMPARE(app()->store().path(), path.toStdString());
    }
    QVERIFY(frame()->reportPane()->toPlainText().isEmpty()); // the report took nothing in
}

namespace {

// Marks every text it translates, so a text shown without tr() stands out.
class cMarkingTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override {
        return QStringLiteral("<<%1>>").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

void collectTexts(const QList<QAction*>& actions, QStringList& texts) {
    for (QAction* action : actions) {
        if (action->isSeparator()) continue;
        texts << action->text() << action->statusTip();
        if (action->menu()) collectTexts(action->menu()->actions(), texts);
    }
}

} // namespace

void cDesktopTest::everyTextGoesThroughTranslation() {
    cMarkingTranslator marking;
    QCoreApplication::installTranslator(&marking);
    QVERIFY(app()->InitInstance());
    QStringList texts = {frame()->paneStatusBar()->paneText(0), frame()->treeBar()->windowTitle(),
                         frame()->itemIdBand()->findChild<QLabel*>()->text()};
    for (QToolBar* band : {frame()->toolBar(), frame()->menuBand(), frame()->itemIdBand()})
        texts << band->windowTitle();
    collectTexts(frame()->menuBarControl()->actions(), texts);
    collectTexts(frame()->toolBar()->actions(), texts);
    const CAboutDlg about(frame());
    texts << about.windowTitle();
    for (const QLabel* label : about.findChildren<QLabel*>())
        if (!label->text().isEmpty()) texts << label->text();
    for (const QPushButton* button : about.findChildren<QPushButton*>())
        texts << button->text();
    QCoreApplication::removeTranslator(&marking);
    texts.removeAll(QString());
    for (const QString& text : texts)
        QVERIFY2(text.contains(QStringLiteral("<<")) || text.contains(QStringLiteral(">>")),
                 qPrintable(text));
}

void cDesktopTest::helpAndVersionAnswerWithoutADisplay() {
    const struct {
        const char* program;
        const char* option;
        const char* answer; // how standard output starts
    } cases[] = {
        {QUARRY_PROGRAM, "--help", "Usage: "},
        {QUARRY_PROGRAM, "--version", "quarry " QUARRY_VERSION "\n"},
        {QUARRY_CLI, "--help", "usage: quarry-cli "},
        {QUARRY_CLI, "--version", "quarry-cli " QUARRY_VERSION "\n"},
    };
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(QString::fromLatin1(name));
    for (const auto& c : cases) {
        QProcess program;
        program.setProcessEnvironment(headless);
        program.start(QString::fromLatin1(c.program), {QString::fromLatin1(c.option)});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(program.readAllStandardOutput().startsWith(c.answer), c.option);
    }
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
