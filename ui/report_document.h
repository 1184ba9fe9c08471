// Turns the rich-text reader's document model into a Qt text document: one
// block per paragraph (left or justified, tab stops converted from twips to
// pixels at the given dots per inch), one fragment per run (bold, italic,
// colour), line breaks inside a paragraph as line separators.
#pragma once

class QTextDocument;

namespace quarry {

struct cRichTextDocument;

void fillReportDocument(QTextDocument& target, const cRichTextDocument& source, double dotsPerInch);

// Twips (1440 per inch) to pixels at the given resolution.
double twipsToPixels(int twips, double dotsPerInch);

} // namespace quarry
