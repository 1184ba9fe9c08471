#include "ui/report_links.h"

#include "ui/report_document.h"

#include <QTextBlock>
#include <QTextDocument>

#include <string>

namespace quarry {

namespace {

// The report's sections, by their headings.
enum class eSection { top, attributes, actions, events };

// One line of the report: the blocks the layout cut it into, read as one text.
struct cReportLine {
    QString text;
    std::vector<std::pair<int, int>> blocks; // (offset in text, position in the document)
    bool italic = false;                     // a heading
    bool startsBold = false;                 // an attribute's or event's name first
    int lastRunStart = 0;                    // where the line's last format begins

    int positionOf(int offset) const {
        auto block = blocks.begin();
        while (block + 1 != blocks.end() && (block + 1)->first <= offset)
            ++block;
        return block->second + offset - block->first;
    }
};

QTextBlock readLine(QTextBlock block, cReportLine& line) {
    QTextCharFormat last;
    bool first = true;
    do {
        const int offset = int(line.text.size());
        line.blocks.emplace_back(offset, block.position());
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (first) line.startsBold = format.fontWeight() >= QFont::Bold;
            if (first || format != last)
                line.lastRunStart = offset + fragment.fragment().position() - block.position();
            line.italic = line.italic || format.fontItalic();
            last = format;
            first = false;
        }
        line.text += block.text();
        block = block.next();
    } while (block.isValid() && continuesLine(block));
    return block;
}

// An identifier as the index writes it: optional '-', digits without a
// leading zero, within 32 bits.
bool readIdentifier(QStringView text, ZRID& zrid) {
    constexpr qsizetype kMaxLength = 11; // "-2147483648"
    if (text.isEmpty() || text.size() > kMaxLength) return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return false;
    if (QString::number(value) != text) return false; // "+5", "05", "-0"
    zrid = static_cast<ZRID>(value);
    return true;
}

void addMention(const cReportLine& line, int offset, int length,
                std::vector<cItemMention>& mentions) {
    ZRID zrid = 0;
    if (readIdentifier(QStringView(line.text).mid(offset, length), zrid))
        mentions.push_back(cItemMention{line.positionOf(offset), length, zrid});
}

eSection sectionOf(const cReportLine& line, eSection current) {
    if (line.text.contains(QLatin1String("Attributes"))) return eSection::attributes;
    if (line.text.contains(QLatin1String("Actions"))) return eSection::actions;
    if (line.text.contains(QLatin1String("Events"))) return eSection::events;
    return current;
}

// "Name: <tab>VALUE  ": the value, when nothing but blanks follows it.
void findAttributeValue(const cReportLine& line, std::vector<cItemMention>& mentions) {
    const qsizetype tab = line.text.indexOf(QLatin1Char('\t'));
    if (tab < 0) return;
    const qsizetype start = tab + 1;
    qsizetype end = line.text.indexOf(QLatin1Char(' '), start);
    if (end < 0) end = line.text.size();
    for (qsizetype rest = end; rest < line.text.size(); ++rest)
        if (line.text[rest] != QLatin1Char(' ')) return;
    addMention(line, int(start), int(end - start), mentions);
}

// " Name = V  :  A1  A2  ": the arguments after the last attribute's value.
void findArguments(const cReportLine& line, std::vector<cItemMention>& mentions) {
    const QLatin1String marker(" :  ");
    qsizetype at = line.text.indexOf(marker, line.lastRunStart);
    while (at > line.lastRunStart && line.text[at - 1] != QLatin1Char(' '))
        at = line.text.indexOf(marker, at + 1);
    if (at < 0) return;
    const QLatin1String gap("  ");
    for (qsizetype start = at + marker.size(); start < line.text.size();) {
        qsizetype end = line.text.indexOf(gap, start);
        if (end < 0) end = line.text.size();
        addMention(line, int(start), int(end - start), mentions);
        start = end + gap.size();
    }
}

} // namespace

std::vector<cItemMention> findItemMentions(const QTextDocument& report) {
    std::vector<cItemMention> mentions;
    eSection section = eSection::top;
    for (QTextBlock block = report.begin(); block.isValid();) {
        cReportLine line;
        block = readLine(block, line);
        if (line.italic) {
            section = sectionOf(line, section);
        } else if (section == eSection::attributes) {
            findAttributeValue(line, mentions);
        } else if (section == eSection::events && !line.startsBold &&
                   !line.text.startsWith(QLatin1Char('\t'))) {
            findArguments(line, mentions);
        }
    }
    return mentions;
}

} // namespace quarry
