#include "ui/file_drop.h"

#include "ui/file_names.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quarry {

namespace {

// The one local file a drag carries (its name's bytes), or an empty text.
std::string droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return std::string();
    return fileNameFromUrl(data->urls().first());
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
    const std::string file = droppedFile(drop->mimeData());
    if (file.empty() || !accepting_()) return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop) emit fileDropped(file);
    return true;
}

} // namespace quarry
