#include "controls/pane_status_bar.h"

#include <QLabel>
#include <QPainter>

namespace quarry {

CPaneStatusBar::CPaneStatusBar(QWidget* parent) : QStatusBar(parent) {
    QLabel* first = new QLabel(idleText(), this);
    first->setObjectName(QStringLiteral("pane0"));
    first->setMinimumWidth(1);
    addWidget(first, 1);
    panes_.append(first);
}

QString CPaneStatusBar::idleText() {
    return tr("Ready");
}

int CPaneStatusBar::addPane(const QString& text) {
    QLabel* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("pane%1").arg(panes_.size()));
    addPermanentWidget(label);
    panes_.append(label);
    return panes_.size() - 1;
}

QString CPaneStatusBar::paneText(int pane) const {
    QLabel* label = paneLabel(pane);
    return label ? label->text() : QString();
}

void CPaneStatusBar::setPaneText(int pane, const QString& text) {
    if (QLabel* label = paneLabel(pane)) label->setText(text);
}

QRect CPaneStatusBar::paneRect(int pane) const {
    QLabel* label = paneLabel(pane);
    return label ? label->geometry() : QRect();
}

QLabel* CPaneStatusBar::paneLabel(int pane) const {
    return pane >= 0 && pane < panes_.size() ? panes_[pane] : nullptr;
}

void CPaneStatusBar::setKeptText(const QString& text) {
    keptText_ = text;
    update();
}

void CPaneStatusBar::paintEvent(QPaintEvent* event) {
    const QString prompt = currentMessage();
    if (prompt.isEmpty() || keptText_.isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // Qt hides pane 0 under a prompt; its label keeps its place, so the kept
    // text is drawn there and the prompt after it.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    const QRect pane = paneRect(0);
    const int flags = Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.drawText(pane, flags, keptText_);
    const QRect rest =
        pane.adjusted(metrics.horizontalAdvance(keptText_) +
                          kLabelGapSpaces * metrics.horizontalAdvance(QLatin1Char(' ')),
                      0, 0, 0);
    painter.drawText(rest, flags, metrics.elidedText(prompt, Qt::ElideRight, rest.width()));
}

} // namespace quarry
