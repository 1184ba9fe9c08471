// Saves a picture of the main window with an item shown, for the README
// (res/screenshot.png):
//   ui_screenshot ITEM_FILE OUT.png [ZRID [QUERY [COLUMN]]]
// With a query, the Find pane is open with its results (res/find_screenshot.png),
// and with a column, that attribute's column added to them.
// Runs under any platform plugin, the offscreen one included.
#include "app/own_settings.h"
#include "app/quarry.h"
#include "controls/sizing_control_bar.h"
#include "ui/find_pane.h"
#include "ui/frame_resources.h"
#include "ui/item_tree.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace quarry;
    const cOwnSettings settings;
    cQuarry app(argc, argv);
    if (argc < 3) return 2;
    if (!app.InitInstance()) return 1;
    cMainframe* frame = app.mainFrame();
    frame->resize(1100, 720);
    if (!QTest::qWaitForWindowExposed(frame)) return 1;
    // Message boxes about the file's content are closed unseen.
    int boxes = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->reject();
        }
    });
    closer.start(1);
    const QByteArray path = QFile::encodeName(QString::fromLocal8Bit(argv[1]));
    QElapsedTimer clock;
    clock.start();
    if (!app.scanItemFile(path.toStdString())) return 1;
    std::fprintf(stderr, "import: %lld ms, %d message boxes\n",
                 static_cast<long long>(clock.elapsed()), boxes);
    closer.stop();

    // Show an item the way a user does: pick it in the tree.
    cItemTreeModel* model = frame->treeModel();
    ZRID zrid = argc > 3 ? QByteArray(argv[3]).toInt() : 0;
    TreeItemHandle item = zrid != 0 ? model->findFirstItem(zrid) : 0;
    if (item == 0) {
        const TreeItemHandle root = model->children(0).at(0);
        const TreeItemHandle weapons = model->children(root).at(0);
        const TreeItemHandle skill = model->children(weapons).at(0);
        item = model->children(skill).at(0);
        zrid = model->itemZrid(item);
    }
    frame->itemTree()->expand(model->indexOf(item).parent());
    // One step before it, so Back is available in the picture.
    const std::vector<TreeItemHandle> siblings =
        model->children(model->handleOf(model->indexOf(item).parent()));
    if (siblings.size() > 1 && siblings[1] != item) {
        frame->selectTreeItem(siblings[1], model->itemZrid(siblings[1]));
        app.showItem(model->itemZrid(siblings[1]));
    }
    frame->selectTreeItem(item, zrid);
    app.showItem(zrid);
    if (argc > 4) {
        frame->action(cmdEditFind)->trigger();
        frame->resizeDocks({frame->findBar()}, {frame->width() * 2 / 5}, Qt::Horizontal);
        cFindPane* find = frame->findPane();
        find->searchBox()->setText(QString::fromLocal8Bit(argv[4]));
        if (!QTest::qWaitFor([find] { return !find->searching(); })) return 1;
        if (argc > 5) find->addAttributeColumn(argv[5]);
    }
    QTest::qWait(200);
    return frame->grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
