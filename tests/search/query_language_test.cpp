// The query language on a small hand-made file: each field and operator, the
// order of the results, near spellings, and every kind of query that does not
// parse, with its message.
#include "query_test_support.h"
#include "search/name_rank.h"

#include <gtest/gtest.h>

namespace quarry {

namespace {

// Folders: 10 Weapon/Melee; 60 Weapon/Melee and Weapon/Pistol; 20 and 22
// Armor/Head; 21 Armor/Neck and Armor/Head; 70 Perk; 80 Utility/BELT; 30
// Nanoprogram; 11, 40 and 41 Misc; 50 none (no type). 90 does not load (no
// QL). 11's name has a word longer than the name scan compares pairwise.
const std::string kItems =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<Attribute Name=\"Range\" Value=\"40\"/><Attribute Name=\"Mass\" Value=\"0120\"/>"
    "<Attribute Name=\"Flags\" Value=\"NoDrop Bound\"/><AtkValue Name=\"Melee\" Percent=\"100\"/>"
    "<DefValue Name=\"Parry Arc\" Percent=\"15\"/><Action Name=\"ToWield\"><Requirement "
    "Stat=\"Strength\" Value=\"300\"/></Action><Event Name=\"OnUse\"><Function Name=\"Hit\">"
    "<Argument Value=\"123456\"/></Function></Event></Item>"
    "<Item ZRID=\"20\" Name=\"Blue Helmet\" QL=\"150\" ItemType=\"Armor\"><Attribute Name=\"Slot\" "
    "Value=\"Head\"/><Action Name=\"ToWear\"><Requirement Stat=\"Strength\" Value=\"350\"/>"
    "<Requirement Stat=\"Agility\" Value=\"x\"/></Action></Item>"
    "<Item ZRID=\"21\" Name=\"Iron Helmet\" QL=\"200\" ItemType=\"Armor\"><Attribute Name=\"Slot\" "
    "Value=\"Head Neck\"/><Action Name=\"ToWear\"><Requirement Stat=\"Strength\" Value=\"500\"/>"
    "</Action></Item>"
    "<Item ZRID=\"22\" Name=\"Helmet of Charm\" QL=\"180\" ItemType=\"Armor\"><Attribute "
    "Name=\"Slot\" Value=\"Head\"/><Action Name=\"ToWear\"><Requirement Stat=\"strength\" "
    "Value=\"399\"/></Action></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\"><Event Name=\"OnUse\"><Function Name=\"Heal\">"
    "<Argument Value=\"Knife\"/><Argument Value=\"123456\"/></Function></Event></Item>"
    "<Item ZRID=\"40\" Name=\"Charm\" QL=\"1\" ItemType=\"Misc\"><Attribute Name=\"range\" "
    "Value=\"-5\"/><Attribute Name=\"Worth\" Value=\"99999999999999999999\"/></Item>"
    "<Item ZRID=\"41\" Name=\"Ancient Ancient Charm\" QL=\"2\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"50\" Name=\"Loose Knife\" QL=\"7\"></Item>"
    "<Item ZRID=\"60\" Name=\"Pistol\" QL=\"20\" ItemType=\"Weapon\"><Attribute Name=\"Range\" "
    "Value=\"55\"/><AtkValue Name=\"Pistol\" Percent=\"80\"/><AtkValue Name=\"Melee\" "
    "Percent=\"20\"/></Item>"
    "<Item ZRID=\"70\" Name=\"Perk Thing\" QL=\"1\" ItemType=\"Armor\"><Attribute Name=\"Slot\" "
    "Value=\"0\"/></Item>"
    "<Item ZRID=\"80\" Name=\"Belt Pouch\" QL=\"3\" ItemType=\"Utility\"><Attribute Name=\"Slot\" "
    "Value=\"BELT\"/></Item><Item ZRID=\"90\" Name=\"Lost Knife\"></Item>"
    "<Item ZRID=\"11\" Name=\"" +
    std::string(40, 'a') +
    "b Staff\" QL=\"6\" ItemType=\"Misc\"></Item>"
    "</Items>";

struct cCase {
    std::string query;
    bool near;
    std::string expected; // identifiers in order, or "error: " and the message
};

const std::string kForty = "1234567890123456789012345678901234567890";
const std::string kNumberRule =
    " takes a number N, a range N-M or a comparison =N, !=N, <N, <=N, >N, >=N";

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

const cCase kCases[] = {
    // Words: rank 0 equal, 1 starts with the first word, 2 each starts a word, 3 the rest.
    {"knife", false, "10 50"},
    {"helmet", false, "22 20 21"},
    {"charm", false, "40 41 22"},
    {"\"of charm\"", false, "22"},
    {"NAME:calm", false, "30"},
    {"\"knife", false, "10 50"},
    {"-", false, ""},
    {std::string(38, 'A') + "b", false, "11"},
    {std::string(42, 'a') + "b", false, ""},
    {"\xC9p\xE9", false, ""},
    {"-knife ql:1-3", false, "41 80 40 70"},
    // Numbers: QL and identifier, ranges, comparisons, 40 digits.
    {"ql:>=180", false, "22 21"},
    {"ql:!=1 ql:<5", false, "41 80 30"},
    {"id:20-22", false, "20 22 21"},
    {"id:22-20", false, ""},
    {"ql:>" + kForty, false, ""},
    {"id:<" + kForty + " type:misc", false, "11 41 40"},
    {"ql:=-" + kForty, false, ""},
    // The identifier rule: that item first, then the names that contain the token.
    {"21", false, "21"},
    {"+10", false, "10"},
    {"4294967296", false, ""},
    {"4294967306", false, "10"},
    // Fixed values.
    {"type:armor", false, "20 22 21 70"},
    {"type:NONE", false, "30 50"},
    {"slot:head", false, "20 22 21"},
    {"slot:neck", false, "21"},
    {"slot:belt", false, "80"},
    {"is:nano", false, "30"},
    // Folder paths.
    {"folder:weapon/melee", false, "10 60"},
    {"folder:Armor/Head", false, "20 22 21"},
    {"folder:perk", false, "70"},
    {"folder:nano", false, "30"},
    // Attributes: presence, numbers (a 20-digit value is none), texts.
    {"attr:range", false, "40 10 60"},
    {"attr:range>30", false, "10 60"},
    {"attr:range<0", false, "40"},
    {"attr:mass=120", false, "10"},
    {"attr:mass=0120", false, "10"},
    {"attr:mass~012", false, "10"},
    {"attr:flags=\"nodrop bound\"", false, "10"},
    {"attr:\"flags\"~DROP", false, "10"},
    {"attr:flags!=x", false, "10"},
    {"attr:flags!=\"NoDrop Bound\"", false, ""},
    {"attr:worth>0", false, ""},
    {"attr:worth~9999", false, "40"},
    {"attr:slot=\"<5\"", false, ""},
    // Requirements, skills, actions, events, functions, arguments.
    {"type:armor slot:head req:strength<400", false, "20 22"},
    {"req:agility", false, "20"},
    {"req:agility>0", false, ""},
    {"atk:melee>=50", false, "10"},
    {"atk:pistol", false, "60"},
    {"def:\"parry arc\"", false, "10"},
    {"def:\"parry arc\"<10", false, ""},
    {"action:towear", false, "20 22 21"},
    {"event:onuse", false, "30 10"},
    {"func:heal", false, "30"},
    {"arg:123456", false, "30 10"},
    {"arg:knife", false, "30"},
    // Operators.
    {"knife or calm", false, "10 30 50"},
    {"(knife OR calm) -loose", false, "10 30"},
    {"not type:armor and ql:1", false, "40"},
    {"helmet -(iron or blue)", false, "22"},
    {"type:armor and (slot:neck or ql:<10)", false, "21 70"},
    {"--knife", false, "10 50"},
    // Near spellings: fewest edits, then the rank with the corrected words.
    {"charn", false, ""},
    {"charn", true, "40 41 22"},
    {"chram", true, "40 41 22"},
    {"knfie", true, "10 50"},
    {"charn ql:2", true, "41"},
    {"-helmet chram", true, "40 41"},
    {"(charn)", true, ""},
    // Queries that do not parse.
    {"", false, "error: the query is empty"},
    {" \t", false, "error: the query is empty"},
    {"\"", false, "error: \"\"\" has nothing between the quotes"},
    {"()", false, "error: \")\" closes empty parentheses"},
    {"(a", false, "error: \"(\" is never closed"},
    {"a)", false, "error: \")\" closes no parenthesis"},
    {"or a", false, "error: \"or\" has nothing before it"},
    {"(and a)", false, "error: \"and\" has nothing before it"},
    {"a and", false, "error: \"and\" has nothing after it"},
    {"a not", false, "error: \"not\" has nothing after it"},
    {"a or -)", false, "error: \"-\" has nothing after it"},
    {"ql:x", false, "error: \"ql:x\"" + kNumberRule},
    {"ql:5-", false, "error: \"ql:5-\"" + kNumberRule},
    {"id:-5-7", false, "error: \"id:-5-7\"" + kNumberRule},
    {"type:hat", false,
     "error: \"type:hat\" takes Weapon, Armor, Utility, Misc, Implant, Spirit, NPC or none"},
    {"slot:hand", false,
     "error: \"slot:hand\" takes a slot name such as Head, Chest, Legs, HUD1, UTIL1 or NCU1"},
    {"is:big", false, "error: \"is:big\" takes nano"},
    {"name:\"\"", false, "error: \"name:\"\"\" needs a value after the colon"},
    {"attr:>5", false, "error: \"attr:>5\" needs a name before the comparison"},
    {"attr:range<", false, "error: \"attr:range<\" needs a value after the comparison"},
    {"attr:range<abc", false,
     "error: \"attr:range<abc\" needs a whole number after the comparison"},
    {"attr:range!5", false, "error: \"attr:range!5\" has a \"!\" without \"=\""},
    {"req:vigor~5", false, "error: \"req:vigor~5\" compares numbers only: =, !=, <, <=, > or >="},
    {repeated("(", 1000) + "a" + repeated(")", 1000), false, "error: \"(\" nested too deeply"},
    {repeated("-", 40) + "a", false, "error: \"-\" nested too deeply"},
    {repeated("a ", 65), false, "error: query too long: more than 64 terms"},
    {repeated("a ", 2000), false, "error: query too long: more than 64 terms"},
    {repeated("a ", 10000), false, "error: query too long: more than 4096 bytes"},
    {repeated("x", 1 << 20), false, "error: query too long: more than 4096 bytes"},
};

class QueryLanguage : public ::testing::TestWithParam<cCase> {
protected:
    static void SetUpTestSuite() { items = new cIndexedFile(kItems); }
    static void TearDownTestSuite() { delete items; }
    static cIndexedFile* items;
};
cIndexedFile* QueryLanguage::items = nullptr;

TEST_P(QueryLanguage, FindsTheItemsInOrderOrSaysWhatIsWrong) {
    const cCase& c = GetParam();
    std::string found;
    for (const std::string& zrid : items->find(c.query, c.near))
        found += (found.empty() ? "" : " ") + zrid;
    EXPECT_EQ(found, c.expected) << "query \"" << c.query.substr(0, 80) << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, QueryLanguage, ::testing::ValuesIn(kCases));

// A search abandoned from another thread ends without items, whether it would
// have scanned the names or the other fields; a lowered flag changes nothing.
TEST(QueryStop, ARaisedFlagAbandonsTheSearchWithoutItems) {
    const cIndexedFile file(kItems);
    const cSearchStop raised{true};
    const cSearchStop lowered{false};
    for (const char* const text : {"knife", "attr:range>0 or -ql:5"}) {
        const cParsedQuery parsed = parseQuery(text);
        ASSERT_TRUE(parsed.ok()) << text;
        const cQueryResult stopped = runQuery(file.index, parsed.query, true, &raised);
        EXPECT_TRUE(stopped.abandoned && stopped.items.empty()) << text;
        const cQueryResult ran = runQuery(file.index, parsed.query, true, &lowered);
        EXPECT_FALSE(ran.abandoned || ran.items.empty()) << text;
        EXPECT_EQ(ran.items, runQuery(file.index, parsed.query, true).items) << text;
    }
}

// A word compared at every word start of a 16 MB "a.a.a." name would cost 8
// million comparisons of 64 KiB each, minutes of work; the test is linear.
TEST(NameRank, TheStartsAWordTestIsLinearOnRepetitiveNames) {
    const std::string name = repeated("a.", 8 << 20) + "b";
    const std::string word = repeated("a.", 32 << 10) + "b";
    const std::string absent = repeated("a.", 32 << 10) + "c";
    EXPECT_TRUE(startsAWord(name, word, prefixTable(word)));
    EXPECT_FALSE(startsAWord(name, absent, prefixTable(absent)));
    EXPECT_EQ(cNameRanker({word, "a.a"}).rank(name), 2);
}

} // namespace

} // namespace quarry
