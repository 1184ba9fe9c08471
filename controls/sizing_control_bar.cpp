#include "controls/sizing_control_bar.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QResizeEvent>
#include <QSettings>

namespace quarry {

namespace {

const char* const kSizeKeys[6] = {"sizeHorzCX", "sizeHorzCY",  "sizeVertCX",
                                  "sizeVertCY", "sizeFloatCX", "sizeFloatCY"};

// Longest section name the settings store takes, as in the classic profile API.
constexpr int kMaxSectionLength = 255;

} // namespace

CSizingControlBar::CSizingControlBar(QWidget* parent) : QDockWidget(parent) {
    // Movable and floatable, never closable: a close request leaves it open.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    connect(this, &QDockWidget::topLevelChanged, this, [this] { applyMinimum(); });
    connect(this, &QDockWidget::dockLocationChanged, this, [this] { applyMinimum(); });
    applyMinimum();
}

bool CSizingControlBar::Create(const QString& name, QMainWindow* parent, int id) {
    if (!parent) return false;
    setWindowTitle(name);
    setObjectName(name);
    id_ = id;
    if (parentWidget() != parent) setParent(parent);
    return true;
}

void CSizingControlBar::setBarStyle(std::uint32_t style) {
    barStyle_ = style;
    if (widget() && (barStyle_ & sizeChild))
        widget()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

Qt::DockWidgetArea CSizingControlBar::dockArea() const {
    if (isFloating()) return Qt::NoDockWidgetArea;
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (!frame) return Qt::NoDockWidgetArea;
    return frame->dockWidgetArea(const_cast<CSizingControlBar*>(this));
}

bool CSizingControlBar::IsDockedHorz() const {
    const Qt::DockWidgetArea area = dockArea();
    return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
}

bool CSizingControlBar::IsDockedVert() const {
    const Qt::DockWidgetArea area = dockArea();
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
}

QSize CSizingControlBar::currentSize() const {
    if (IsDockedHorz()) return sizeHorz_;
    if (IsDockedVert()) return sizeVert_;
    return sizeFloat_;
}

QSize CSizingControlBar::currentMinimum() const {
    if (IsDockedHorz()) return sizeMinHorz_;
    if (IsDockedVert()) return sizeMinVert_;
    return sizeMinFloat_;
}

QSize CSizingControlBar::sizeHint() const {
    return currentSize();
}

QSize CSizingControlBar::minimumSizeHint() const {
    return currentMinimum();
}

void CSizingControlBar::applyMinimum() {
    setMinimumSize(currentMinimum());
}

void CSizingControlBar::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void CSizingControlBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    // Whatever the user or the layout made of the bar becomes the size of the
    // state it is in, so it comes back when the bar returns to that state.
    const QSize size = event->size();
    if (IsDockedHorz())
        setSizeHorz(size);
    else if (IsDockedVert())
        setSizeVert(size);
    else if (isFloating())
        setSizeFloat(size);
}

std::optional<QString> CSizingControlBar::sectionName(const QString& profileName, int id) {
    const QString section = QStringLiteral("%1-SCBar-%2").arg(profileName).arg(id);
    if (section.size() > kMaxSectionLength) return std::nullopt;
    return section;
}

bool CSizingControlBar::LoadSizes(const QString& profileName) {
    QSettings settings;
    return LoadSizes(settings, profileName);
}

bool CSizingControlBar::SaveSizes(const QString& profileName) const {
    QSettings settings;
    return SaveSizes(settings, profileName);
}

bool CSizingControlBar::LoadSizes(QSettings& settings, const QString& profileName) {
    const std::optional<QString> section = sectionName(profileName, id_);
    if (!section) return false;
    settings.beginGroup(*section);
    QSize* sizes[3] = {&sizeHorz_, &sizeVert_, &sizeFloat_};
    const QSize minimums[3] = {sizeMinHorz_, sizeMinVert_, sizeMinFloat_};
    for (int i = 0; i < 3; ++i) {
        const int width = settings.value(kSizeKeys[2 * i], sizes[i]->width()).toInt();
        const int height = settings.value(kSizeKeys[2 * i + 1], sizes[i]->height()).toInt();
        *sizes[i] = QSize(qMax(width, minimums[i].width()), qMax(height, minimums[i].height()));
    }
    settings.endGroup();
    return true;
}

bool CSizingControlBar::SaveSizes(QSettings& settings, const QString& profileName) const {
    const std::optional<QString> section = sectionName(profileName, id_);
    if (!section) return false;
    settings.beginGroup(*section);
    const QSize sizes[3] = {sizeHorz_, sizeVert_, sizeFloat_};
    for (int i = 0; i < 3; ++i) {
        settings.setValue(kSizeKeys[2 * i], sizes[i].width());
        settings.setValue(kSizeKeys[2 * i + 1], sizes[i].height());
    }
    settings.endGroup();
    return true;
}

} // namespace quarry
