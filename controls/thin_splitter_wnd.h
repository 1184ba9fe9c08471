// The frame's client area: the one report pane inside a one-pixel sunken
// border (dark at top and left, light at bottom and right). With a single
// pane there is nothing to split, so no splitter bar exists.
#pragma once

#include <QFrame>

namespace quarry {

class CThinSplitterWnd : public QFrame {
    Q_OBJECT
public:
    explicit CThinSplitterWnd(QWidget* parent = nullptr);

    // Makes `pane` the one pane (row 0, column 0); the splitter owns it.
    void setPane(QWidget* pane);
    // The pane at row, column; null for any cell but 0, 0.
    QWidget* GetPane(int row, int column) const;

private:
    QWidget* pane_ = nullptr;
};

} // namespace quarry
