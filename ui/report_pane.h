// The report area. It takes each report as its whole text: a text beginning
// with "{\rtf" is read as rich text, anything else is shown as plain text.
// It stays editable; edits last until the next report and are never saved.
//
// Once a report is laid out, each attribute value and function argument that
// is the identifier of an item in Find's index becomes a link: hovering shows
// the item's name and QL, a click asks for the item.
#pragma once

#include "store/store_host.h"

#include <QList>
#include <QTextEdit>

#include <memory>
#include <string>

class QAction;

namespace quarry {

class cItemLookup;
class cQueryIndex;

class cReportPane : public QTextEdit {
    Q_OBJECT
public:
    // A report's text beyond this many bytes is not shown: a longer one takes
    // seconds to lay out, and one of tens of megabytes minutes, in which the
    // window would not answer. A note at the end says where it is cut.
    static constexpr std::size_t kMostShownBytes = 1 << 20;

    explicit cReportPane(QWidget* parent = nullptr);
    ~cReportPane() override;

    // Links lead to the items of `names`; without it there are none.
    void setNameIndex(const cQueryIndex& names);
    // The index has the items of a whole import: the links' own table of it
    // is made now, not while the next report is shown.
    void prepareLinks();
    // Replaces the content, scroll position and selection.
    void setReportText(const std::string& text);
    // True once the user has put the focus into the pane: from then on the
    // edit commands act on it.
    bool isActiveView() const { return activeView_; }
    // Commands offered below the editing ones in the pane's context menu.
    void setContextActions(const QList<QAction*>& actions) { contextActions_ = actions; }

    // The item a link's target names; false for anything else.
    static bool linkedItem(const QString& href, ZRID& zrid);

signals:
    void becameActiveView();
    // A click on a link.
    void itemLinkActivated(ZRID zrid);

protected:
    void focusInEvent(QFocusEvent* event) override;
    // What is copied or dragged is the report's own text, without what the
    // layout was given: break opportunities, lines cut into blocks.
    QMimeData* createMimeDataFromSelection() const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override; // a link's tooltip
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void addItemLinks();

    bool activeView_ = false;
    std::unique_ptr<cItemLookup> lookup_;
    QList<QAction*> contextActions_;
    QString pressedLink_; // the link a left button went down on
};

} // namespace quarry
