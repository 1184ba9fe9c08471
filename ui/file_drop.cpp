#include "ui/file_drop.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quarry {

namespace {

// The one local file a drag carries, or an empty text.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return QString();
    return data->urls().first().toLocalFile();
}

} // namespace

cFileDrop::cFileDrop(std::function<bool()> accepting, QObject* parent)
    : QObject(parent), accepting_(std::move(accepting)) {}

void cFileDrop::watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool cFileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = droppedFile(drop->mimeData());
    if (file.isEmpty() || !accepting_()) return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop) emit fileDropped(QFile::encodeName(file).toStdString());
    return true;
}

} // namespace quarry
