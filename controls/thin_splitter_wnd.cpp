#include "controls/thin_splitter_wnd.h"

#include <QVBoxLayout>

namespace quarry {

CThinSplitterWnd::CThinSplitterWnd(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("splitter"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void CThinSplitterWnd::setPane(QWidget* pane) {
    if (pane_) {
        layout()->removeWidget(pane_);
        delete pane_;
    }
    pane_ = pane;
    if (pane_) {
        pane_->setParent(this);
        layout()->addWidget(pane_);
    }
}

QWidget* CThinSplitterWnd::GetPane(int row, int column) const {
    return row == 0 && column == 0 ? pane_ : nullptr;
}

} // namespace quarry
