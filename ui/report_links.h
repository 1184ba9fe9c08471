// Where a laid-out item report mentions other items: each attribute value and
// each function argument that is exactly an identifier (a signed decimal as
// the index writes it). The report's own text says where they are: the
// headings are its only italic text; an attribute line has its value between
// its one tab and the two blanks that end it; a function line ends in " :  "
// and its arguments, two blanks apart, after the last change of format on the
// line (its last attribute's grey name). Lines cut into several blocks by the
// layout are read whole.
//
// Texts with blanks of their own can read alike: a function attribute's value
// holding " :  ", an argument holding two blanks. Only an identifier that
// reads as the whole value or argument is taken, so such texts may at worst
// link the item they name.
#pragma once

#include "store/store_host.h"

#include <vector>

class QTextDocument;

namespace quarry {

struct cItemMention {
    int position; // in the document
    int length;
    ZRID zrid;
};

// The mentions in document order; whether each identifier is an item's is
// for the caller to ask.
std::vector<cItemMention> findItemMentions(const QTextDocument& report);

} // namespace quarry
