// The item query language: the input is a query, read by the parser and, when
// it parses, run with and without near spellings over the query index of a
// small fixed item file (imported once). A result names each searchable item
// at most once; an error names a span of the query.
#include "fuzz_hosts.h"
#include "search/query_evaluator.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace quarry {

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Every field has something to find: names sharing words, attributes with
// numbers and texts, requirements, skills, events with functions and
// arguments, and items filed under several folders or none.
const char kItemFile[] =
    "<Items><Item ZRID=\"10\" Name=\"Blue Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<Attribute Name=\"Range\" Value=\"40\"/><Attribute Name=\"Flags\" Value=\"NoDrop Bound\"/>"
    "<AtkValue Name=\"Melee\" Percent=\"100\"/><AtkValue Name=\"Pistol\" Percent=\"5\"/>"
    "<DefValue Name=\"Parry Arc\" Percent=\"15\"/><Action Name=\"ToWield\"><Requirement "
    "Stat=\"Strength\" Value=\"300\"/></Action><Event Name=\"OnUse\"><Function Name=\"Hit\">"
    "<Argument Value=\"123\"/></Function></Event></Item>"
    "<Item ZRID=\"20\" Name=\"Blue Helmet of a.a.a.\" QL=\"150\" ItemType=\"Armor\"><Attribute "
    "Name=\"Slot\" Value=\"Head Neck\"/><Attribute Name=\"Mass\" Value=\"0120\"/><Action "
    "Name=\"ToWear\"><Requirement Stat=\"Strength\" Value=\"x\"/></Action></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\"><Event Name=\"OnCast\"><Function "
    "Name=\"Heal\"><Argument Value=\"Knife\"/></Function></Event></Item>"
    "<Item ZRID=\"40\" Name=\"Charm \xC9p\xE9\" QL=\"1\" ItemType=\"Misc\"><Attribute "
    "Name=\"range\" Value=\"-99999999999999999999\"/></Item>"
    "<Item ZRID=\"-5\" Name=\"Ancient Ancient Charm\" QL=\"2\"></Item>"
    "<Item ZRID=\"70\" Name=\"Perk\" QL=\"1\" ItemType=\"Armor\"><Attribute Name=\"Slot\" "
    "Value=\"0\"/></Item><Item ZRID=\"80\" Name=\"Pouch\" QL=\"3\" ItemType=\"Utility\">"
    "<Attribute Name=\"Slot\" Value=\"BELT HUD1\"/></Item></Items>";

class cIndexedFile {
public:
    cIndexedFile() {
        const char* folder = std::getenv("TMPDIR");
        const std::string path = std::string(folder && *folder ? folder : "/tmp") +
                                 "/quarry-fuzz-query-" + std::to_string(::getpid()) + ".xml";
        std::ofstream(path, std::ios::binary) << kItemFile;
        cItemStore store;
        cFuzzProgress progress;
        cFuzzMessages messages;
        require(static_cast<bool>(store.scanItemFile(path, progress)));
        cFuzzTree tree;
        store.buildCategoryTree(tree, progress, messages, &index_);
        std::remove(path.c_str());
        index_.commitPending();
        require(index_.size() > 0);
    }
    const cQueryIndex& index() const { return index_; }

private:
    cQueryIndex index_;
};

void checkResult(const cQueryIndex& index, const cQueryResult& result) {
    std::vector<bool> seen(index.size(), false);
    for (const std::uint32_t item : result.items) {
        require(item < index.size() && !seen[item]);
        seen[item] = true;
    }
    require(!result.near || !result.items.empty());
}

} // namespace

} // namespace quarry

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarry;
    static const cIndexedFile file;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const cParsedQuery parsed = parseQuery(text);
    if (!parsed.ok()) {
        require(!parsed.error->reason.empty());
        require(parsed.error->offset + parsed.error->length <= size);
        return 0;
    }
    require(!parsed.query.nodes.empty() && parsed.query.terms.size() <= kMostQueryTerms);
    checkResult(file.index(), runQuery(file.index(), parsed.query, false));
    checkResult(file.index(), runQuery(file.index(), parsed.query, true));
    return 0;
}
