// "Event" and "Action" elements: read from the opening tag's successor up to
// the element's closing tag, into the item's events or actions. When the
// record stops inside an element (record_reader.h), the element keeps what it
// read so far.
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/record_reader.h"
#include "store/tag_reader.h"

#include <map>
#include <string>
#include <vector>

namespace quarry {

namespace {

// The first "Name" pair with a value; empty when the text runs out first.
std::string elementName(std::string_view text) {
    for (;;) {
        const cAttributeView pair = nextAttributeInTag(text);
        if (!pair.matched) return {};
        if (pair.name == "Name" && !pair.value.empty()) return std::string(pair.value);
        text = pair.rest;
        if (text.empty()) return {};
    }
}

// Every pair with a value, the first of a name winning.
std::map<std::string, std::string> pairsOf(std::string_view text) {
    std::map<std::string, std::string> pairs;
    do {
        const cAttributeView pair = nextAttributeInTag(text);
        if (!pair.value.empty()) pairs.emplace(pair.name, pair.value);
        text = pair.rest;
    } while (!text.empty());
    return pairs;
}

// The value of the last "Value" pair, empty ones included.
std::string argumentOf(std::string_view text) {
    std::string_view argument;
    do {
        const cAttributeView pair = nextAttributeInTag(text);
        if (pair.matched && pair.name == "Value") argument = pair.value;
        text = pair.rest;
    } while (!text.empty());
    return std::string(argument);
}

void reportUnsupportedTag(std::string_view tagName, const cItemRecord& item,
                          cMessageSink& messages) {
    std::string text = "Encountered unsupported tag: <";
    text.append(tagName);
    text += "> while processing item with ZRID ";
    text += std::to_string(item.recordZrid);
    messages.showMessage("cQuarry::processEvent", text);
}

} // namespace

bool cItemStore::processAction(std::string_view attributeText, cItemRecord& item,
                               cRecordReader& reader, cMessageSink& messages) {
    const std::string name = elementName(attributeText);
    if (name.empty()) return false;
    std::vector<cRequirementSet> requirementSets;
    while (reader.nextTag()) {
        const cTagView parts = reader.parts();
        if (parts.name == "Requirement")
            requirementSets.push_back(pairsOf(parts.attributes));
        else if (parts.name != "/Action")
            reportUnsupportedTag(parts.name, item, messages);
        if (reader.tagIs("</Action>")) break;
    }
    item.actions.emplace(name, std::move(requirementSets));
    return true;
}

bool cItemStore::processEvent(std::string_view attributeText, cItemRecord& item,
                              cRecordReader& reader, cMessageSink& messages) {
    const std::string name = elementName(attributeText);
    if (name.empty()) return false;
    std::vector<cFunctionRecord> functions;
    while (reader.nextTag()) {
        const std::string& tag = reader.tag();
        const cTagView parts = reader.parts();
        if (parts.name == "Function") {
            cFunctionRecord function;
            function.attributes = pairsOf(parts.attributes);
            if (tag.find("/>") == std::string::npos) {
                // The body; "</Event>" ends both the function and the event.
                while (reader.nextTag()) {
                    if (reader.tagIs("</Event>")) break;
                    const cTagView inner = reader.parts();
                    if (inner.name == "Requirement") {
                        function.requirements.push_back(pairsOf(inner.attributes));
                    } else if (inner.name == "Argument") {
                        std::string argument = argumentOf(inner.attributes);
                        if (!argument.empty()) function.arguments.push_back(std::move(argument));
                    }
                    if (reader.tagIs("</Function>")) break;
                }
            }
            functions.push_back(std::move(function));
        } else if (parts.name != "/Event") {
            reportUnsupportedTag(parts.name, item, messages);
        }
        if (reader.stopped() || reader.tagIs("</Event>")) break;
    }
    item.events.emplace(name, std::move(functions));
    return true;
}

} // namespace quarry
