// The query rule of name search on one small index, where a generated
// query would not reach.
#include "search/name_search.h"

#include <gtest/gtest.h>

namespace quarry {

namespace {

struct cItem {
    ZRID zrid;
    const char* name;
    std::int32_t ql;
};

// In index order (ascending unsigned identifier).
const cItem kItems[] = {
    {1, "Blue Ring", 5},      {2, "Blue Ring", 3},
    {3, "Blue Ring Mail", 9}, {4, "Old Blue Ring", 1},
    {5, "Sky-blue Ring", 2},  {6, "Skyblue Ring", 4},
    {7, "Gold Ring", 25},     {8, "Lantern", 7},
    {9, "Gauntlet", 12},      {10, "Rusty Lantern", 7},
    {11, "\xC9p\xE9\x65", 8}, {12, "Tab\tName", 1},
    {13, "Rustu Lanturn", 7}, {20, "Ring of 20 Sorrows", 20},
    {21, "Blue Ring", 3},     {22, "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab Staff", 6},
    {-5, "Minus Five", 5},
};

struct cCase {
    const char* query;
    bool near;
    std::vector<ZRID> expected;
};

// What the generated queries of the differential test cannot reach: long
// words, identifiers that wrap around, numbers too long for a QL, a lone minus.
// clang-format off
const cCase kCases[] = {
    {"ring", false, {20, 2, 21, 1, 3, 7, 4, 5, 6}}, {"ring -BLUE", false, {20, 7}},
    {"-", false, {5}}, {"-ring", false, {}}, {"ring QL:3-5", false, {2, 21, 1, 6}},
    {"ring ql:5-3", false, {}}, {"ring ql:99999999999", false, {}}, {"ql:5-", false, {}},
    {"ql:x", false, {}}, {"20", false, {20}}, {"+21", false, {21}}, {"-5", false, {-5}},
    {"4294967297", false, {1}}, {"4294967308", false, {12}}, {"20 ring", false, {20}},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", false, {22}},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false, {22}},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", false, {}}, {"\xC9p\xC9", false, {}},
    {"b\tname", false, {12}}, {"", false, {}}, {"lantarn", true, {8, 13, 10}},
    {"gauntlettt", true, {9}}, {"gauntletttt", true, {}}, {"rng", true, {}},
    {"bluu rinq -mail ql:1-4", true, {2, 21, 4, 5}},
};
// clang-format on

class cNameQueryRuleTest : public ::testing::TestWithParam<cCase> {};

TEST_P(cNameQueryRuleTest, FindsTheExpectedItemsInOrder) {
    cNameIndex index;
    for (const cItem& item : kItems)
        index.add(item.zrid, item.name, item.ql);
    index.commitPending();
    const cCase& c = GetParam();
    const cNameSearchResult result = searchNames(index, parseNameQuery(c.query), c.near);
    std::vector<ZRID> found;
    for (const std::uint32_t position : result.items)
        found.push_back(index.zrid(position));
    EXPECT_EQ(found, c.expected) << "query \"" << c.query << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, cNameQueryRuleTest, ::testing::ValuesIn(kCases));

} // namespace

} // namespace quarry
