#include "ui/report_links.h"

#include "ui/report_document.h"

#include <QTextBlock>
#include <QTextDocument>

namespace quarry {

namespace {

// The report's sections, by their headings.
enum class eSection { top, attributes, actions, events };

// One line of the report: the blocks the layout cut it into, read as one text.
// Formats are looked at where the text leaves a question open: they cost more
// than the text.
struct cReportLine {
    QString text;
    std::vector<std::pair<int, QTextBlock>> blocks; // each block's offset in text

    int positionOf(int offset) const {
        auto block = blocks.begin();
        while (block + 1 != blocks.end() && (block + 1)->first <= offset)
            ++block;
        return block->second.position() + offset - block->first;
    }
    bool isHeading() const {
        if (!text.startsWith(QLatin1String("-["))) return false;
        for (auto fragment = blocks.front().second.begin(); !fragment.atEnd(); ++fragment)
            if (fragment.fragment().charFormat().fontItalic()) return true;
        return false;
    }
    // An event's name (or an attribute's) comes first on its line, in bold.
    bool startsBold() const {
        const auto fragment = blocks.front().second.begin();
        return !fragment.atEnd() && fragment.fragment().charFormat().fontWeight() >= QFont::Bold;
    }
    // Where the line's last format begins.
    int lastRunStart() const {
        int start = 0;
        int lastFormat = -1; // the document keeps one index per distinct format
        for (const auto& [offset, block] : blocks)
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.charFormatIndex() == lastFormat) continue;
                lastFormat = fragment.charFormatIndex();
                start = offset + fragment.position() - block.position();
            }
        return start;
    }
};

QTextBlock readLine(QTextBlock block, cReportLine& line) {
    do {
        line.blocks.emplace_back(int(line.text.size()), block);
        line.text += block.text();
        block = block.next();
    } while (block.isValid() && continuesLine(block));
    return block;
}

// The block after a line, which is not read.
QTextBlock skipLine(QTextBlock block) {
    do
        block = block.next();
    while (block.isValid() && continuesLine(block));
    return block;
}

// Whether a line may be a heading, from its first two characters.
bool mayBeHeading(const QTextDocument& report, const QTextBlock& block) {
    return block.length() > 2 && report.characterAt(block.position()) == QLatin1Char('-') &&
           report.characterAt(block.position() + 1) == QLatin1Char('[');
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

// The two blanks the report writes after an attribute's value, and around
// each argument.
const QLatin1String kGap("  ");

// "Name: <tab>VALUE  ": the value, ended by the line's two blanks.
void findAttributeValue(const cReportLine& line, std::vector<cItemMention>& mentions) {
    const qsizetype tab = line.text.indexOf(QLatin1Char('\t'));
    if (tab < 0 || !line.text.endsWith(kGap)) return;
    const qsizetype start = tab + 1;
    addMention(line, int(start), int(line.text.size() - kGap.size() - start), mentions);
}

// " Name = V  :  A1  A2  ": the arguments after the last attribute's value.
// A third blank after an argument belongs to it or to the next one; such an
// argument is left alone.
void findArguments(const cReportLine& line, std::vector<cItemMention>& mentions) {
    const QLatin1String marker(" :  ");
    const int lastRunStart = line.lastRunStart();
    qsizetype at = line.text.indexOf(marker, lastRunStart);
    while (at > lastRunStart && line.text[at - 1] != QLatin1Char(' '))
        at = line.text.indexOf(marker, at + 1);
    if (at < 0) return;
    for (qsizetype start = at + marker.size(); start < line.text.size();) {
        qsizetype end = line.text.indexOf(kGap, start);
        if (end < 0) end = line.text.size();
        const bool moreBlanks = end + kGap.size() < line.text.size() &&
                                line.text[end + kGap.size()] == QLatin1Char(' ');
        if (!moreBlanks) addMention(line, int(start), int(end - start), mentions);
        start = end + kGap.size();
    }
}

} // namespace

std::vector<cItemMention> findItemMentions(const QTextDocument& report) {
    std::vector<cItemMention> mentions;
    eSection section = eSection::top;
    for (QTextBlock block = report.begin(); block.isValid();) {
        // Lines outside the attributes and the events are read for a heading only.
        if (section != eSection::attributes && section != eSection::events &&
            !mayBeHeading(report, block)) {
            block = skipLine(block);
            continue;
        }
        cReportLine line;
        block = readLine(block, line);
        if (line.isHeading()) {
            section = sectionOf(line, section);
        } else if (section == eSection::attributes) {
            findAttributeValue(line, mentions);
        } else if (section == eSection::events && !line.startsBold() &&
                   !line.text.startsWith(QLatin1Char('\t'))) {
            findArguments(line, mentions);
        }
    }
    return mentions;
}

} // namespace quarry
