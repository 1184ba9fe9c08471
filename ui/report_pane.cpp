#include "ui/report_pane.h"

#include "platform/rich_text.h"
#include "ui/report_document.h"
#include "ui/text_conversion.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMimeData>
#include <memory>

namespace quarry {

cReportPane::cReportPane(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("reportPane"));
    setFrameShape(QFrame::NoFrame); // the thin frame around it draws the border
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setFont(QApplication::font());
}

void cReportPane::setReportText(const std::string& text) {
    if (text.rfind("{\\rtf", 0) == 0) {
        const cRichTextDocument rich = readRichText(text);
        document()->setUndoRedoEnabled(false);
        fillReportDocument(*document(), rich, logicalDpiX());
        document()->setUndoRedoEnabled(true);
        moveCursor(QTextCursor::Start);
        ensureCursorVisible();
    } else {
        setPlainText(textFromBytes(text));
    }
}

QMimeData* cReportPane::createMimeDataFromSelection() const {
    const std::unique_ptr<QMimeData> selection(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    data->setText(selectedReportText(textCursor()));
    data->setHtml(withoutLayoutBreaks(selection->html()));
    return data;
}

void cReportPane::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    if (!activeView_) {
        activeView_ = true;
        emit becameActiveView();
    }
}

} // namespace quarry
