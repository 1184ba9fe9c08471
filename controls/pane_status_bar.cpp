#include "controls/pane_status_bar.h"

#include <QLabel>

namespace quarry {

CPaneStatusBar::CPaneStatusBar(QWidget* parent) : QStatusBar(parent) {
    QLabel* first = new QLabel(idleText(), this);
    first->setObjectName(QStringLiteral("pane0"));
    first->setMinimumWidth(1);
    addWidget(first, 1);
    panes_.append(first);
}

QString CPaneStatusBar::idleText() {
    return QStringLiteral("Ready");
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

} // namespace quarry
