// What the desktop window tests share: item files written on the spot, and
// the application object and main frame they drive.
#pragma once

#include "app/quarry.h"
#include "ui/main_frame.h"

#include <QByteArray>
#include <QDockWidget>
#include <QFile>
#include <QMainWindow>
#include <QString>
#include <QTest>

namespace quarry {

// An item file of `count` items (identifiers 1 to count) of the given type,
// each with `body` inside its element and its number in its name.
inline QByteArray itemFile(int count, const QByteArray& type = "Misc",
                           const QByteArray& body = "<Description>Plain.</Description>") {
    QByteArray file = "<RDB>";
    for (int i = 1; i <= count; ++i)
        file += "<Item ZRID=\"" + QByteArray::number(i) + "\" Name=\"Item " +
                QByteArray::number(i) + "\" QL=\"" + QByteArray::number(i % 300) +
                "\" ItemType=\"" + type + "\" IsNano=\"False\">" + body + "</Item>";
    return file + "</RDB>";
}

inline bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Drags the edge between a bar docked at the left and the rest of the window
// `by` pixels to the right, as the user does.
inline void dragDockEdge(QMainWindow* window, QDockWidget* bar, int by) {
    const int edge = (bar->geometry().right() + window->centralWidget()->x()) / 2 + 1;
    const QPoint from(edge, bar->geometry().center().y());
    const int wanted = bar->width() + by;
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, from + QPoint(by, 0));
    QTRY_COMPARE_WITH_TIMEOUT(bar->width(), wanted, 5000); // the layout moves the edge later
    QTest::mouseRelease(window, Qt::LeftButton, {}, from + QPoint(by, 0));
}

inline cQuarry* app() {
    return cQuarry::instance();
}

inline cMainframe* frame() {
    return cQuarry::instance()->mainFrame();
}

} // namespace quarry
