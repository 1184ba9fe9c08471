#include "ui/report_pane.h"

#include "platform/rich_text.h"
#include "search/item_lookup.h"
#include "ui/report_document.h"
#include "ui/report_links.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QToolTip>

namespace quarry {

namespace {

// A link's target: this scheme and the item's identifier.
const QLatin1String kItemLinkScheme("zrid:");

// Keeps the first kMostShownBytes of the report's text, cut between two
// characters; true when there was more.
bool cutToShownPart(cRichTextDocument& rich) {
    std::size_t left = cReportPane::kMostShownBytes;
    for (std::size_t p = 0; p < rich.paragraphs.size(); ++p) {
        std::vector<cRichTextRun>& runs = rich.paragraphs[p].runs;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            std::string& text = runs[r].text;
            if (text.size() <= left) {
                left -= text.size();
                continue;
            }
            std::size_t end = left;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                --end; // not inside a UTF-8 sequence
            text.resize(end);
            runs.resize(r + 1);
            rich.paragraphs.resize(p + 1);
            return true;
        }
    }
    return false;
}

} // namespace

cReportPane::cReportPane(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("reportPane"));
    setFrameShape(QFrame::NoFrame); // the thin frame around it draws the border
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setFont(QApplication::font());
    viewport()->setMouseTracking(true); // the pointer changes over links
}

cReportPane::~cReportPane() = default;

void cReportPane::setNameIndex(const cQueryIndex& names) {
    lookup_ = std::make_unique<cItemLookup>(names);
}

void cReportPane::prepareLinks() {
    if (lookup_) lookup_->update();
}

void cReportPane::setReportText(const std::string& text) {
    if (text.rfind("{\\rtf", 0) == 0) {
        cRichTextDocument rich = readRichText(text);
        const bool cut = cutToShownPart(rich);
        document()->setUndoRedoEnabled(false);
        // The links join the report in the same edit, so it is laid out once.
        QTextCursor edit(document());
        edit.beginEditBlock();
        fillReportDocument(*document(), rich, logicalDpiX());
        addItemLinks();
        if (cut) {
            edit.movePosition(QTextCursor::End);
            edit.insertBlock(QTextBlockFormat(), QTextCharFormat());
            edit.insertText(tr("[The report is cut here: the rest is too long to show. "
                               "quarry-cli show prints it whole.]"));
        }
        edit.endEditBlock();
        document()->setUndoRedoEnabled(true);
        moveCursor(QTextCursor::Start);
        ensureCursorVisible();
    } else {
        setPlainText(textFromBytes(text));
    }
}

bool cReportPane::linkedItem(const QString& href, ZRID& zrid) {
    if (!href.startsWith(kItemLinkScheme)) return false;
    bool ok = false;
    zrid = href.mid(kItemLinkScheme.size()).toInt(&ok);
    return ok;
}

void cReportPane::addItemLinks() {
    if (!lookup_) return;
    QTextCursor cursor(document());
    for (const cItemMention& mention : findItemMentions(*document())) {
        if (!lookup_->find(mention.zrid)) continue;
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(kItemLinkScheme + QString::number(mention.zrid));
        link.setForeground(palette().link());
        link.setFontUnderline(true);
        cursor.setPosition(mention.position);
        cursor.setPosition(mention.position + mention.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(link);
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

void cReportPane::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (!contextActions_.isEmpty()) {
        menu->addSeparator();
        menu->addActions(contextActions_);
    }
    menu->exec(event->globalPos());
}

bool cReportPane::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && lookup_) {
        auto* help = static_cast<QHelpEvent*>(event);
        ZRID zrid = 0;
        const std::optional<cIndexedItem> item =
            linkedItem(anchorAt(help->pos()), zrid) ? lookup_->find(zrid) : std::nullopt;
        if (item)
            QToolTip::showText(help->globalPos(),
                               tr("%1 (QL %2)").arg(textFromBytes(item->name)).arg(item->ql),
                               viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QTextEdit::viewportEvent(event);
}

void cReportPane::mousePressEvent(QMouseEvent* event) {
    pressedLink_ =
        event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
    QTextEdit::mousePressEvent(event);
}

void cReportPane::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    const bool overLink = !anchorAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void cReportPane::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    // A click, not the end of a selection begun on a link.
    ZRID zrid = 0;
    const QString link = std::exchange(pressedLink_, QString());
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection() &&
        link == anchorAt(event->position().toPoint()) && linkedItem(link, zrid))
        emit itemLinkActivated(zrid);
}

} // namespace quarry
