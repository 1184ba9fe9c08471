#include "ui/report_document.h"

#include "platform/rich_text.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace quarry {

double twipsToPixels(int twips, double dotsPerInch) {
    return twips * dotsPerInch / 1440.0;
}

void fillReportDocument(QTextDocument& target, const cRichTextDocument& source,
                        double dotsPerInch) {
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const cRichTextParagraph& paragraph : source.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(paragraph.align == eRichTextAlign::justify ? Qt::AlignJustify
                                                                      : Qt::AlignLeft);
        QList<QTextOption::Tab> tabs;
        for (int stop : paragraph.tabStops)
            tabs.append(QTextOption::Tab(twipsToPixels(stop, dotsPerInch), QTextOption::LeftTab));
        block.setTabPositions(tabs);
        if (first) {
            cursor.setBlockFormat(block);
            first = false;
        } else {
            cursor.insertBlock(block, QTextCharFormat());
        }
        for (const cRichTextRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            if (run.hasColor)
                format.setForeground(QColor::fromRgb(static_cast<QRgb>(run.color & 0xFFFFFFu)));
            QString text =
                QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size()));
            text.replace(QLatin1Char('\n'), QChar::LineSeparator);
            cursor.insertText(text, format);
        }
    }
    cursor.endEditBlock();
}

} // namespace quarry
