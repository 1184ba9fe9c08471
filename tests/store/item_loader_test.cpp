// Loading a record: the item start tag, every element the loader reads
// (events and actions included), the tags it reports, and the files it
// refuses. Each case is a file and the record it loads, written out compactly.
#include "store_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

std::string pairs(const std::map<std::string, std::string>& map) {
    std::string out;
    for (const auto& [name, value] : map)
        out += (out.empty() ? "" : ",") + name + "=" + value;
    return out;
}

// What the elements after the start tag put into the record, each part only
// when it differs from the defaults: " desc[..]", " attr{..}", " atk{..}",
// " def{..}", " action{Name:[set][set]}", " event{Name:(pairs;arguments;[set])}".
std::string bodyOf(const cItemRecord& record) {
    std::string out;
    if (record.description != cItemRecord(0, "").description)
        out += " desc[" + record.description + "]";
    if (!record.attributes.empty()) out += " attr{" + pairs(record.attributes) + "}";
    for (const auto& [label, skills] :
         {std::pair{" atk{", &record.atkValues}, std::pair{" def{", &record.defValues}}) {
        std::string list;
        for (const auto& [name, percent] : *skills)
            list += (list.empty() ? "" : ",") + name + "=" + std::to_string(percent);
        if (!list.empty()) out += label + list + "}";
    }
    for (const auto& [name, sets] : record.actions) {
        out += " action{" + name + ":";
        for (const cRequirementSet& set : sets)
            out += "[" + pairs(set) + "]";
        out += "}";
    }
    for (const auto& [name, functions] : record.events) {
        out += " event{" + name + ":";
        for (const cFunctionRecord& function : functions) {
            out += "(" + pairs(function.attributes) + ";";
            for (const std::string& argument : function.arguments)
                out += argument + ",";
            out += ";";
            for (const cRequirementSet& set : function.requirements)
                out += "[" + pairs(set) + "]";
            out += ")";
        }
        out += "}";
    }
    return out;
}

// "zrid name qlN typeN[ nano]" and the body; "-" when the item does not load.
std::string loadedOf(cImportedFile& imported, ZRID zrid) {
    cItemRecord record(1, "untouched");
    if (!imported.load(zrid, record)) return record.name == "untouched" ? "-" : "changed record";
    return std::to_string(record.zrid) + " " + record.name + " ql" + std::to_string(record.ql) +
           " type" + std::to_string(record.itemType) + (record.isNano ? " nano" : "") +
           (record.recordZrid != record.zrid ? " own" + std::to_string(record.recordZrid) : "") +
           bodyOf(record);
}

const std::string kItemTag = "<Item ZRID=\"42\" Name=\"Gun\" QL=\"3\">";
const std::string kFirst = "<Item ZRID=\"1\" Name=\"N\" QL=\"4\" ItemType=\"Misc\">";
const std::string kSecond =
    "<Item ZRID=\"2\" Name=\"N\" QL=\"4\" ItemType=\"Misc\"><Description>2</Description></Item>";

// The tag names of the messages, each checked to name item 42.
std::string reportedTags(const cFakeMessages& messages) {
    const std::string head = "cQuarry::processEvent: Encountered unsupported tag: <";
    const std::string tail = "> while processing item with ZRID 42";
    std::string out;
    for (const std::string& message : messages.messages) {
        EXPECT_EQ(message.rfind(head, 0), 0u) << message;
        EXPECT_EQ(message.substr(message.size() - tail.size()), tail) << message;
        out += message.substr(head.size(), message.size() - head.size() - tail.size()) + ";";
    }
    return out;
}

} // namespace

TEST(ItemLoader, TheItemStartTag) {
    const struct {
        std::string file;
        ZRID zrid;
        const char* loaded;
    } cases[] = {
        {"<Item ZRID=\"5\" Name=\"Axe\" QL=\"10\" ItemType=\"weapon\"></Item>", 5,
         "5 Axe ql10 type0"},
        // A nano program may lack a quality level; others may not, nor a name.
        {"<Item ZRID=\"8\" Name=\"Heal\" IsNano=\"True\"></Item>", 8, "8 Heal ql0 type7 nano"},
        {"<Item ZRID=\"9\" Name=\"Heal\" IsNano=\"true\"></Item>", 9, "-"},
        {"<Item ZRID=\"11\" QL=\"1\"></Item>", 11, "-"},
        {"<Item></Item>", 0, "-"},
        {"<Item ZRID=\"5\" Name=\"x\" QL=\"1\"></Item>", 6, "-"}, // not indexed
        // The later pair wins, a type not in the table keeps the earlier one;
        // the item keeps the key it was indexed under, the record its own ZRID.
        {"<Item ZRID=\"70\" Name=\"First\" Name=\"Second\" QL=\"7x\" ItemType=\"Armor\" "
         "ItemType=\"Tower\" Other=\"1\" IsNano=\"False\" ZRID=\"71\"></Item>",
         70, "70 Second ql7 type1 own71"},
        {"<Item ParentZRID=\"7\" ZRID=\"8\" Name=\"P\" QL=\"1\"></Item>", 7, "7 P ql1 type7 own8"},
        {"<Item ParentZRID=\"7\" ZRID=\"8\" Name=\"P\" QL=\"1\"></Item>", 8, "-"},
        // Indexed under 0 (its first identifier is no number): no item, even
        // when a later pair gives the record a number of its own.
        {"<Item ZRID=\" NNPC\" Name=\"N\" QL=\"4\" ZRID=\"100052\"></Item>", 0, "-"},
        {"<Item ParentZRID=\"0\" ZRID=\"8\" Name=\"P\" QL=\"1\"></Item>", 0, "-"},
        {"<Item ZRID=\"4294967297\" Name=\"Big\" QL=\"-4294967295\"></Item>", 1, "1 Big ql1 type7"},
        // A record whose "</Item>" is not read as its end ends where the next
        // record the scan found begins, wherever the reading stands, keeping
        // what it read; "<Item" within a text is text.
        {kFirst + "<Description>First</Description>\n</Item>" + kSecond, 1,
         "1 N ql4 type3 desc[First]"},
        {kFirst + "<Description>First</Description>\n</Item>" + kSecond, 2,
         "2 N ql4 type3 desc[2]"},
        {kFirst + "<Description>First" + kSecond, 1, "1 N ql4 type3 desc[2]"},
        {kFirst + "<Description>First" + kSecond, 2, "-"},
        {kFirst + "<Description>x <Item y</Description><Attribute Name=\"M\" Value=\"1\" /></Item>",
         1, "1 N ql4 type3 desc[x ] attr{M=1}"},
        {kFirst + "<Description></Item>" + kSecond, 1, "1 N ql4 type3 desc[/Item>]"},
        {kFirst + "<Description>" + kSecond, 1, "1 N ql4 type3 desc[]"},
        {kFirst + "<Description>" + kSecond, 2, "2 N ql4 type3 desc[2]"},
        {kFirst + "<Event Name=\"E\"><Function Name=\"F\">" + kSecond, 1,
         "1 N ql4 type3 event{E:(Name=F;;)}"},
        {kFirst + "<Event Name=\"E\"><Function Name=\"F\" />" + kSecond, 2,
         "2 N ql4 type3 desc[2]"},
        {kFirst + "<Action Name=\"A\"><Requirement a=\"1\" />" + kSecond, 1,
         "1 N ql4 type3 action{A:[a=1]}"},
        // A self-closing start tag ends at the next record.
        {"<Item ZRID=\"1\" Name=\"a\" QL=\"1\" /><Item ZRID=\"2\" Name=\"b\" QL=\"1\">"
         "<Attribute Name=\"k\" Value=\"v\"/></Item>",
         1, "1 a ql1 type7"},
    };
    for (const auto& c : cases) {
        cImportedFile imported(c.file);
        EXPECT_EQ(loadedOf(imported, c.zrid), c.loaded) << c.file;
        EXPECT_TRUE(imported.messages.messages.empty());
    }
}

TEST(ItemLoader, ElementsAfterTheStartTag) {
    const struct {
        const char* body;
        const char* loaded;
        const char* reported;
    } cases[] = {
        {"", "", ""},
        {"<Description /><Description/>", "", ""},
        {"<Description> A &amp; b\nc </Description>", " desc[ A &amp; b\nc ]", ""},
        // An empty text element takes the next tag as its text.
        {"<Description></Description><Attribute Name=\"k\" Value=\"v\"/>", " desc[/Description>]",
         ""},
        // "//" starts a comment up to the line end, even in a text.
        {"<Description>see http://x.y\nmore</Description>", " desc[see http:]", ""},
        {"<Attribute Value=\"2\" Name=\"Mass\"/><Attribute Name=\"Mass\" Value=\"3\"/>"
         "<Attribute Name=\"Empty\" Value=\"\"/><Attribute Name=\"a\" Name=\"b\" Value=\"c\" "
         "Name=\"d\"/><Attribute Name=\"NoValue\"/>",
         " attr{Mass=2,b=c}", ""},
        {"<AtkValue Name=\"Melee\" Percent=\"100\"/><AtkValue Name=\"Melee\" Percent=\"50\"/>"
         "<AtkValue Name=\"NoPercent\"/><AtkValue Name=\"Zero\" Percent=\"0\"/>"
         "<AtkValue Name=\"Text\" Percent=\"abc\"/><AtkValue Name=\"Max\" Percent=\"2147483647\"/>"
         "<DefValue Percent=\"-20\" Name=\"Dodge\"/>",
         " atk{Melee=100,Text=0,Zero=0} def{Dodge=-20}", ""},
        {"<Unknown a=\"1\"/><item/>\n<Attribute Name=\"lost\" Value=\"1\"/></Item >"
         "<Attribute Name=\"kept\" Value=\"1\"/>",
         " attr{kept=1}", ""},
        {"<Action Name=\"Wield\"><Requirement Stat=\"Strength\" Value=\"10\"/><Requirement/>"
         "<Requirement A=\"\" B=\"1\" B=\"2\"/></Action>",
         " action{Wield:[Stat=Strength,Value=10][][B=1]}", ""},
        // The first action of a name wins; a later one is read whole, then dropped.
        {"<Action Name=\"\" Other=\"x\" Name=\"Use\"></Action><Action Name=\"Use\">"
         "<Requirement a=\"2\"/><Bad/></Action><Action Name=\"\"><Requirement a=\"3\"/></Action>",
         " action{Use:}", "Bad;"},
        // "</Action >" does not end the action; a tag with a "/" is skipped.
        {"<Action Name=\"A\"><Requirement a=\"1\"/></Action ><Requirement a=\"2\"/></Action>"
         "<Action Name=\"B/C\"><Requirement a=\"1\"/></Action>",
         " action{A:[a=1][a=2]}", ""},
        {"<Event Name=\"OnUse\"><Function Name=\"Hit\" Target=\"Self\" Empty=\"\">"
         "<Argument Value=\"5\"/><Argument Value=\"a\" Value=\"b\"/><Argument Value=\"\"/>"
         "<Argument Value=\"x\" Value=\"\"/><Requirement Stat=\"Agility\"/><Other/></Function>"
         "<Function Name=\"Modify\"/></Event>",
         " event{OnUse:(Name=Hit,Target=Self;5,b,;[Stat=Agility])(Name=Modify;;)}", ""},
        {"<Event Name=\"OnWear\"><Requirement a=\"1\"/>\n<Function/></Event>", " event{OnWear:}",
         "Requirement;;"},
        // An event ending inside a function keeps the function.
        {"<Event Name=\"E\"><Function Name=\"F\"><Argument Value=\"1\"/></Event>"
         "<Attribute Name=\"after\" Value=\"1\"/>",
         " attr{after=1} event{E:(Name=F;1,;)}", ""},
        // Without a name nothing is read and the item loop passes over.
        {"<Event Kind=\"x\"><Function Name=\"F\"/><Requirement/></Event><Event Name=\"E\"></Event>"
         "<Event Name=\"E\"><Function/></Event>",
         " event{E:}", ""},
    };
    for (const auto& c : cases) {
        cImportedFile imported(kItemTag + c.body + "</Item>");
        EXPECT_EQ(loadedOf(imported, 42), std::string("42 Gun ql3 type7") + c.loaded) << c.body;
        EXPECT_EQ(reportedTags(imported.messages), c.reported) << c.body;
    }
}

} // namespace quarry
