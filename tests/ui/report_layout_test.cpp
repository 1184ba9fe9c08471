// The report pane's document holds the report as the rich-text reader read
// it, in blocks Qt lays out in linear time: one per line, long lines cut
// after a space, very long words given break opportunities that copying drops.
#include "platform/rich_text.h"
#include "report/item_report.h"
#include "store/item_store.h"
#include "ui/report_document.h"
#include "ui/report_pane.h"
#include "window_test_main.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>

namespace quarry {

namespace {

// One character as the reader sees it: the text, its format, and the format
// of its paragraph. Line and paragraph ends are plain '\n'.
struct cShownChar {
    QChar c;
    int weight = 0;
    bool italic = false;
    QString color = {};
    int align = 0;
    QList<qreal> tabs = {};
    bool operator==(const cShownChar&) const = default;
};

std::vector<cShownChar> expectedChars(const cRichTextDocument& source, double dpi) {
    std::vector<cShownChar> chars;
    for (const cRichTextParagraph& paragraph : source.paragraphs) {
        if (!chars.empty()) chars.push_back({QLatin1Char('\n')});
        QList<qreal> tabs;
        for (int stop : paragraph.tabStops)
            tabs.append(twipsToPixels(stop, dpi));
        const int align =
            paragraph.align == eRichTextAlign::justify ? int(Qt::AlignJustify) : int(Qt::AlignLeft);
        for (const cRichTextRun& run : paragraph.runs)
            for (const QChar c : QString::fromStdString(run.text))
                chars.push_back(
                    c == QLatin1Char('\n')
                        ? cShownChar{c}
                        : cShownChar{c, run.bold ? QFont::Bold : QFont::Normal, run.italic,
                                     run.hasColor ? QColor::fromRgb(run.color).name() : QString(),
                                     align, tabs});
    }
    return chars;
}

std::vector<cShownChar> shownChars(const QTextDocument& document) {
    std::vector<cShownChar> chars;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin() && !continuesLine(block))
            chars.push_back({QLatin1Char('\n')});
        QList<qreal> tabs;
        for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
            tabs.append(tab.position);
        const int align = int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString color = format.hasProperty(QTextFormat::ForegroundBrush)
                                      ? format.foreground().color().name()
                                      : QString();
            for (const QChar c : withoutLayoutBreaks(it.fragment().text()))
                chars.push_back({c, format.fontWeight(), format.fontItalic(), color, align, tabs});
        }
    }
    return chars;
}

// Fills the pane with `report` and compares what it holds with the reader's model.
void compareWithReader(cReportPane& pane, const std::string& report) {
    pane.setReportText(report);
    const std::vector<cShownChar> expected =
        expectedChars(readRichText(report), pane.logicalDpiX());
    const std::vector<cShownChar> shown = shownChars(*pane.document());
    const auto [at, _] =
        std::mismatch(expected.begin(), expected.end(), shown.begin(), shown.end());
    QVERIFY2(at == expected.end() && shown.size() == expected.size(),
             qPrintable(QStringLiteral("first difference at character %1 of %2 (%3 shown)")
                            .arg(at - expected.begin())
                            .arg(expected.size())
                            .arg(shown.size())));
}

} // namespace

class cReportLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void sampleReportsShowAsTheReaderReadsThem();
    void largeReportsGoInShortBlocks();
    void overlongReportsAreCutWithANote();
};

void cReportLayoutTest::sampleReportsShowAsTheReaderReadsThem() {
    struct cQuiet : cProgressHost, cMessageSink {
        void beginProgress(const std::string&, std::int32_t) override {}
        void setProgress(std::int32_t) override {}
        void endProgress() override {}
        void pumpMessages() override {}
        void showMessage(const std::string&, const std::string&) override {}
    } quiet;
    cItemStore store;
    QVERIFY(store.scanItemFile(QUARRY_SAMPLE_ITEMS, quiet));
    cReportPane pane;
    for (const cIndexEntry& entry : *store.index())
        compareWithReader(pane, writeItemReport(store, entry.zrid, quiet));
    // Nothing of the last report stays behind an empty one.
    pane.setReportText("{\\rtf1}");
    QCOMPARE(pane.document()->characterCount(), 1);
    QCOMPARE(pane.textCursor().blockFormat(), QTextBlockFormat());
}

void cReportLayoutTest::largeReportsGoInShortBlocks() {
    // 4,000 lines with a tab stop, a justified line of 168,000 characters,
    // and a word of letters and surrogate pairs.
    std::string report = "{\\rtf1 {\\tx2000 ";
    for (int i = 0; i < 4000; ++i)
        report += "{\\b Name" + std::to_string(i) + ":} \\tab value\\line ";
    report += "}\\qj ";
    for (int i = 0; i < 6000; ++i)
        report += "words of a long description ";
    report += "\\line " + std::string(3000, 'w');
    for (int i = 0; i < 500; ++i)
        report += "\\u-10179?\\u-8704?";
    report += " end}";
    cReportPane pane;
    compareWithReader(pane, report);

    QVERIFY(pane.document()->blockCount() > 4000 + 168000 / kMaxBlockLength);
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() <= kMaxBlockLength + kLongWordLength);
    const QString shown = pane.toPlainText();
    QVERIFY(!shown.contains(QChar::LineSeparator));
    QVERIFY(!shown.contains(QString(kLongWordLength + 1, QLatin1Char('w'))));
    QVERIFY(shown.count(kLayoutBreak) > (4000 - kLongWordLength) / kLongWordPiece - 2);
    for (qsizetype at = shown.indexOf(kLayoutBreak); at >= 0;
         at = shown.indexOf(kLayoutBreak, at + 1))
        QVERIFY(!shown.at(at + 1).isLowSurrogate());
    // Copied, it is the report's own text again.
    pane.selectAll();
    pane.copy();
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromStdString(toPlainText(readRichText(report))));
}

void cReportLayoutTest::overlongReportsAreCutWithANote() {
    // Lines of attributes, some with two-byte characters, past the limit.
    std::string report = "{\\rtf1 ";
    for (int i = 0; report.size() < 2 * cReportPane::kMostShownBytes; ++i)
        report +=
            "{\\b Attribut\\'e9" + std::to_string(i) + ":} value " + std::to_string(i) + "\\line ";
    report += "}";
    cReportPane pane;
    pane.setReportText(report);
    const QString shown = withoutLayoutBreaks(pane.toPlainText());
    const QString whole = QString::fromStdString(toPlainText(readRichText(report)));
    const qsizetype noteAt = shown.lastIndexOf(QLatin1Char('\n'));
    QVERIFY(shown.mid(noteAt).contains(QStringLiteral("too long to show")));
    // The report's beginning, up to the limit in bytes, and no more.
    const QByteArray kept = shown.left(noteAt).toUtf8();
    QVERIFY(whole.startsWith(shown.left(noteAt)));
    QVERIFY(std::size_t(kept.size()) <= cReportPane::kMostShownBytes);
    QVERIFY(std::size_t(kept.size()) + 2 > cReportPane::kMostShownBytes);
    // A report within the limit is shown whole, without the note.
    pane.setReportText("{\\rtf1 short}");
    QCOMPARE(pane.toPlainText(), QStringLiteral("short"));
}

} // namespace quarry

QUARRY_WINDOW_TEST_MAIN(quarry::cReportLayoutTest)

#include "report_layout_test.moc"
