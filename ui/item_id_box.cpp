#include "ui/item_id_box.h"

#include "store/decimal_text.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quarry {

cItemIdBox::cItemIdBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("itemIdBox"));
    setFixedWidth(100);
}

ZRID cItemIdBox::typedIdentifier() const {
    const QByteArray bytes = text().toLatin1();
    return parseDecimal(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void cItemIdBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit showRequested(typedIdentifier());
        // Pass the focus on to the frame, which hands it to its client area.
        if (QWidget* frame = window()) frame->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void cItemIdBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    selectAll();
    selectOnPress_ = event->reason() == Qt::MouseFocusReason;
}

void cItemIdBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (selectOnPress_) {
        selectOnPress_ = false;
        selectAll();
    }
}

} // namespace quarry
