// The one-line box in the "Item ID" band. It shows the identifier of the item
// on the screen; Enter shows the identifier typed (read like C's atoi, wrapping
// beyond 32 bits) and passes the focus on; gaining the focus selects the text.
#pragma once

#include "store/store_host.h"

#include <QLineEdit>

namespace quarry {

class cItemIdBox : public QLineEdit {
    Q_OBJECT
public:
    explicit cItemIdBox(QWidget* parent = nullptr);

    // The identifier the box's present text stands for.
    ZRID typedIdentifier() const;

signals:
    void showRequested(ZRID zrid);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The click that brought the focus would otherwise drop the selection.
    bool selectOnPress_ = false;
};

} // namespace quarry
