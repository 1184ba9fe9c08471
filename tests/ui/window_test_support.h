// What the desktop window tests share: item files written on the spot, and
// the application object and main frame they drive.
#pragma once

#include "app/quarry.h"
#include "ui/main_frame.h"

#include <QByteArray>
#include <QFile>
#include <QString>

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

inline cQuarry* app() {
    return cQuarry::instance();
}

inline cMainframe* frame() {
    return cQuarry::instance()->mainFrame();
}

} // namespace quarry
