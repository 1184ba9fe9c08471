#include "ui/report_document.h"

#include "platform/rich_text.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextOption>

namespace quarry {

namespace {

// Set on a block that goes on with the line of the block before it.
constexpr int kContinuesLineProperty = QTextFormat::UserProperty;

QTextBlockFormat blockFormatOf(const cRichTextParagraph& paragraph, double dotsPerInch) {
    QTextBlockFormat block;
    block.setAlignment(paragraph.align == eRichTextAlign::justify ? Qt::AlignJustify
                                                                  : Qt::AlignLeft);
    QList<QTextOption::Tab> tabs;
    for (int stop : paragraph.tabStops)
        tabs.append(QTextOption::Tab(twipsToPixels(stop, dotsPerInch), QTextOption::LeftTab));
    block.setTabPositions(tabs);
    return block;
}

QTextCharFormat charFormatOf(const cRichTextRun& run) {
    QTextCharFormat format;
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    if (run.hasColor)
        format.setForeground(QColor::fromRgb(static_cast<QRgb>(run.color & 0xFFFFFFu)));
    return format;
}

// Qt lays out one text block in time that grows faster than the block: with
// a tab stop on each of many lines, with a word wider than the line, and
// with length alone. So the report goes in as short blocks: one per line of
// a paragraph (each with the paragraph's format, which looks the same: a
// line that ends in a line break is not justified either), long lines cut
// after a space, and very long words given break opportunities.
class cBlockWriter {
public:
    explicit cBlockWriter(QTextCursor& cursor) : cursor_(cursor) {}

    void beginParagraph(const QTextBlockFormat& format) {
        block_ = format;
        if (first_)
            cursor_.setBlockFormat(block_);
        else
            startBlock(QTextCharFormat());
        first_ = false;
    }

    void write(const QString& text, const QTextCharFormat& format) {
        QString pending;
        pending.reserve(text.size());
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                cursor_.insertText(pending, format);
                pending.clear();
                startBlock(format);
                continue;
            }
            if (wordLength_ >= kLongWordLength &&
                (wordLength_ - kLongWordLength) % kLongWordPiece == 0)
                breakDue_ = true;
            if (breakDue_ && !c.isLowSurrogate() && !c.isMark()) {
                breakDue_ = false;
                pending += kLayoutBreak;
                if (blockLength_ >= kMaxBlockLength) cutBlock(pending, format);
            }
            pending += c;
            ++blockLength_;
            const bool space = c == QLatin1Char(' ');
            wordLength_ = space || c == QLatin1Char('\t') ? 0 : wordLength_ + 1;
            // Not after a tab: what follows it keeps its tab stop.
            if (space && blockLength_ >= kMaxBlockLength) cutBlock(pending, format);
        }
        cursor_.insertText(pending, format);
    }

private:
    void startBlock(const QTextCharFormat& format, bool continuesLine = false) {
        QTextBlockFormat block = block_;
        if (continuesLine) block.setProperty(kContinuesLineProperty, true);
        cursor_.insertBlock(block, format);
        blockLength_ = wordLength_ = 0;
        breakDue_ = false;
    }
    void cutBlock(QString& pending, const QTextCharFormat& format) {
        cursor_.insertText(pending, format);
        pending.clear();
        const qsizetype word = wordLength_;
        startBlock(format, true);
        wordLength_ = word; // a long word keeps breaking in the new block
    }

    QTextCursor& cursor_;
    QTextBlockFormat block_;
    bool first_ = true;
    qsizetype blockLength_ = 0;
    qsizetype wordLength_ = 0;
    bool breakDue_ = false;
};

} // namespace

double twipsToPixels(int twips, double dotsPerInch) {
    return twips * dotsPerInch / 1440.0;
}

QString withoutLayoutBreaks(QString text) {
    return text.remove(kLayoutBreak);
}

bool continuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesLineProperty);
}

QString selectedReportText(const QTextCursor& selection) {
    // The plain text has one character for each position of the document.
    QString text = selection.selection().toPlainText();
    const int start = selection.selectionStart();
    for (QTextBlock block = selection.document()->findBlock(selection.selectionEnd());
         block.isValid() && block.position() > start; block = block.previous())
        if (continuesLine(block)) text.remove(block.position() - 1 - start, 1);
    return withoutLayoutBreaks(text);
}

void fillReportDocument(QTextDocument& target, const cRichTextDocument& source,
                        double dotsPerInch) {
    // The old content goes in the same edit as the new comes, so the view
    // lays the document out once, at the width it has (an empty document in
    // between would take the scroll bar away and bring it back).
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cBlockWriter writer(cursor);
    for (const cRichTextParagraph& paragraph : source.paragraphs) {
        writer.beginParagraph(blockFormatOf(paragraph, dotsPerInch));
        for (const cRichTextRun& run : paragraph.runs)
            writer.write(
                QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())),
                charFormatOf(run));
    }
    cursor.endEditBlock();
}

} // namespace quarry
