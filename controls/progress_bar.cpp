#include "controls/progress_bar.h"

#include "controls/pane_status_bar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>

namespace quarry {

CProgressBar::CProgressBar(QMainWindow* frame) : QProgressBar(frame), frame_(frame) {
    setObjectName(QStringLiteral("progressBar"));
    setTextVisible(false);
    hide();
}

CProgressBar::~CProgressBar() {
    RestorePane();
}

CPaneStatusBar* CProgressBar::FindStatusBar() const {
    if (!frame_) return nullptr;
    return frame_->findChild<CPaneStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
}

bool CProgressBar::Create(const QString& label, int sizePercent, int maximum, bool smooth,
                          int pane) {
    CPaneStatusBar* bar = FindStatusBar();
    if (!bar || !bar->paneLabel(pane)) return false;
    if (parentWidget() != bar) setParent(bar);
    if (watchedPane_) watchedPane_->removeEventFilter(this);
    watchedPane_ = bar->paneLabel(pane);
    watchedPane_->installEventFilter(this);
    bar->removeEventFilter(this);
    bar->installEventFilter(this);

    created_ = true;
    // Smooth filling is the only look Qt's styles offer; a chunked bar needs
    // no separate mode here.
    Q_UNUSED(smooth);
    SetRange(0, maximum, 1);
    SetStep(1);
    setValue(0);
    label_ = label;
    sizePercent_ = sizePercent;
    pane_ = pane;
    previousPaneText_ = bar->paneText(pane);
    inUse_ = true;
    if (pane == 0) bar->setKeptText(label);
    connect(bar, &QStatusBar::messageChanged, this, &CProgressBar::updateVisibility,
            Qt::UniqueConnection);
    updateVisibility();
    raise();
    PlaceInPane();
    return true;
}

bool CProgressBar::SetRange(int lower, int upper, int step) {
    if (!created_) return false;
    setRange(lower, upper);
    step_ = step;
    return true;
}

void CProgressBar::updateVisibility() {
    const CPaneStatusBar* bar = FindStatusBar();
    const bool prompted = bar && pane_ == 0 && !bar->currentMessage().isEmpty();
    setVisible(inUse_ && !prompted);
}

int CProgressBar::SetPos(int position) {
    if (!created_) return 0;
    inUse_ = true;
    updateVisibility();
    const int previous = value() < minimum() ? minimum() : value();
    setValue(position);
    return previous;
}

int CProgressBar::SetStep(int step) {
    if (!created_) return 0;
    inUse_ = true;
    updateVisibility();
    const int previous = step_;
    step_ = step;
    return previous;
}

QRect CProgressBar::placeInRect(const QRect& pane, int labelWidth, int spaceWidth,
                                int sizePercent) {
    int left = pane.left();
    int top = pane.top();
    int right = pane.left() + pane.width(); // exclusive edges, as pane rectangles are measured
    int bottom = pane.top() + pane.height();
    if (labelWidth > 0) left += labelWidth + CPaneStatusBar::kLabelGapSpaces * spaceWidth;
    right -= ((100 - sizePercent) * (right - left)) / 100;
    if (right < left) right = left;
    const int inset = (bottom - top) / 10;
    top += inset;
    bottom -= inset;
    return QRect(left, top, right - left, bottom - top);
}

bool CProgressBar::PlaceInPane() {
    if (!created_) return false;
    CPaneStatusBar* bar = FindStatusBar();
    if (!bar) return false;
    // Only a control in use claims the pane's text.
    if (inUse_) {
        bar->setPaneText(pane_, label_);
        bar->update();
    }
    const QFontMetrics metrics(bar->font());
    const int labelWidth = label_.isEmpty() ? 0 : metrics.horizontalAdvance(label_);
    placement_ = placeInRect(bar->paneRect(pane_), labelWidth,
                             metrics.horizontalAdvance(QLatin1Char(' ')), sizePercent_);
    setGeometry(placement_);
    update();
    return true;
}

void CProgressBar::RestorePane() {
    if (!created_) return;
    inUse_ = false;
    hide();
    CPaneStatusBar* bar = FindStatusBar();
    if (!bar) return;
    if (pane_ == 0) bar->setKeptText(QString());
    bar->setPaneText(pane_, pane_ == 0 ? CPaneStatusBar::idleText() : previousPaneText_);
    bar->update();
}

bool CProgressBar::eventFilter(QObject* watched, QEvent* event) {
    // The pane moved or the status bar was laid out again: follow the pane.
    if (created_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
        (watched == watchedPane_ || watched == parentWidget()))
        PlaceInPane();
    return QProgressBar::eventFilter(watched, event);
}

} // namespace quarry
