// Turns the rich-text reader's document model into a Qt text document: one
// block per line of each paragraph (left or justified, tab stops converted
// from twips to pixels at the given dots per inch), one fragment per run
// (bold, italic, colour). Qt lays out each block in time that grows faster
// than its length, so a line longer than kMaxBlockLength characters goes on
// in further blocks after a space, and a word longer than any line gets a
// kLayoutBreak after every few characters: a report of any size is laid out
// in time linear in its size. It looks as one block per paragraph would,
// except that a line so long ends early (and unjustified) at each cut.
#pragma once

#include <QChar>
#include <QString>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace quarry {

struct cRichTextDocument;

void fillReportDocument(QTextDocument& target, const cRichTextDocument& source, double dotsPerInch);

// A line longer than this goes on in a new block after its next space (or
// break opportunity), so that no block is long.
inline constexpr qsizetype kMaxBlockLength = 16384;
// A word that has run this long is wider than any line; from here on it may
// break after every kLongWordPiece characters, so Qt need not look for the
// word's end again on every line it fills.
inline constexpr qsizetype kLongWordLength = 256;
inline constexpr qsizetype kLongWordPiece = 16;

// The break opportunity put into very long words: a zero-width space, which
// no report holds of its own (item text is read as Windows-1252).
inline constexpr QChar kLayoutBreak{0x200B};
// A text from the document as the report has it, without those breaks.
QString withoutLayoutBreaks(QString text);
// Whether a block goes on with the line of the block before it.
bool continuesLine(const QTextBlock& block);
// The selected part of a report as its plain text: cut lines joined again,
// without break opportunities.
QString selectedReportText(const QTextCursor& selection);

// Twips (1440 per inch) to pixels at the given resolution.
double twipsToPixels(int twips, double dotsPerInch);

} // namespace quarry
