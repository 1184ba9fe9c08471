// The report area. It takes each report as its whole text: a text beginning
// with "{\rtf" is read as rich text, anything else is shown as plain text.
// It stays editable; edits last until the next report and are never saved.
#pragma once

#include <QTextEdit>

#include <string>

namespace quarry {

class cReportPane : public QTextEdit {
    Q_OBJECT
public:
    explicit cReportPane(QWidget* parent = nullptr);

    // Replaces the content, scroll position and selection.
    void setReportText(const std::string& text);
    // True once the user has put the focus into the pane: from then on the
    // edit commands act on it.
    bool isActiveView() const { return activeView_; }

signals:
    void becameActiveView();

protected:
    void focusInEvent(QFocusEvent* event) override;
    // What is copied or dragged is the report's own text, without what the
    // layout was given: break opportunities, lines cut into blocks.
    QMimeData* createMimeDataFromSelection() const override;

private:
    bool activeView_ = false;
};

} // namespace quarry
