// The store's small value types: decimal numbers as the item file spells
// them, the index, and the record's lookups.
#include "store/decimal_text.h"
#include "store/item_index.h"
#include "store_test_support.h"

#include <gtest/gtest.h>

namespace quarry {

// Like the C library, keeping the low 32 bits of a long run of digits
// without undefined overflow.
TEST(DecimalText, ReadsLikeTheCLibraryAndWrapsAtThirtyTwoBits) {
    const std::pair<const char*, std::int32_t> cases[] = {{"281", 281},
                                                          {"  \t-42", -42},
                                                          {"+7", 7},
                                                          {"12ab", 12},
                                                          {"abc", 0},
                                                          {"", 0},
                                                          {"-", 0},
                                                          {" - 5", 0},
                                                          {"2147483647", 2147483647},
                                                          {"2147483648", -2147483647 - 1},
                                                          {"4294967295", -1},
                                                          {"4294967296", 0},
                                                          {"-4294967291", 5},
                                                          {"99999999999999999999999", -159383553}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseDecimal(text), value) << text;
}

TEST(ItemIndex, OrdersUnsignedAndKeepsTheFirstPosition) {
    const cItemIndex index = cItemIndex::fromFileOrder(
        {{7, 10}, {-5, 20}, {0, 30}, {7, 40}, {2147483647, 50}, {-2147483647 - 1, 60}, {-5, 70}});
    std::vector<ZRID> keys;
    for (const cIndexEntry& entry : index)
        keys.push_back(entry.zrid);
    EXPECT_EQ(keys, (std::vector<ZRID>{0, 7, 2147483647, -2147483647 - 1, -5}));
    EXPECT_EQ(index.find(7), 10u);
    EXPECT_EQ(index.find(-5), 20u);
    EXPECT_EQ(index.find(1), std::nullopt);

    cItemIndex added;
    EXPECT_TRUE(added.empty());
    EXPECT_TRUE(added.add(3, 100));
    EXPECT_TRUE(added.add(-1, 200));
    EXPECT_TRUE(added.add(1, 300));
    EXPECT_FALSE(added.add(3, 999));
    EXPECT_EQ(added.find(3), 100u);
    EXPECT_EQ(added.begin()->zrid, 1);
    EXPECT_TRUE(added.add(9, 0x1'2345'6789ull)); // positions beyond 4 GiB stay whole
    EXPECT_EQ(added.find(9), 0x1'2345'6789ull);
    EXPECT_EQ(added.size(), 4u);
}

TEST(ItemRecord, FirstEntryOfANameWinsAndKeysOrderByUnsignedBytes) {
    cItemRecord record(1, "x");
    for (const char* key : {"b", "A", "a", "ab", "\xe9t\xe9", "Z", "a b", "b"})
        record.addAttribute(key, key);
    record.addAttribute("b", "second");
    record.addAtkValue("Melee", 10);
    record.addAtkValue("Melee", 20);
    record.addDefValue("Dodge", -3);
    record.addDefValue("Dodge", 4);
    std::string keys;
    for (const auto& [key, value] : record.attributes)
        keys += key + "|";
    EXPECT_EQ(keys, "A|Z|a|a b|ab|b|\xe9t\xe9|");
    EXPECT_EQ(record.attributes.at("b"), "b");
    EXPECT_EQ(record.atkValues.at("Melee"), 10);
    EXPECT_EQ(record.defValues.at("Dodge"), -3);
    EXPECT_TRUE(record.hasAtkValue("Melee"));
    EXPECT_FALSE(record.hasAtkValue("melee"));
}

TEST(ItemRecord, AttributeContainsIsACaseSensitiveSubstringTest) {
    cItemRecord record(1, "x");
    EXPECT_FALSE(record.attributeContains("Slot", ""));
    record.addAttribute("Slot", "HeadBack");
    EXPECT_TRUE(record.attributeContains("Slot", "dBa"));
    EXPECT_TRUE(record.attributeContains("Slot", ""));
    EXPECT_FALSE(record.attributeContains("Slot", "head"));
    EXPECT_FALSE(record.attributeContains("slot", "Head"));
}

TEST(ItemRecord, ItemTypesCompareWithoutLetterCase) {
    const std::pair<const char*, std::int32_t> cases[] = {{"Weapon", 0},
                                                          {"spirit", 5},
                                                          {"NPC", 6},
                                                          {"WEAPON", 0},
                                                          {"Tower", kItemTypeNone},
                                                          {"", kItemTypeNone},
                                                          {"Weapon ", kItemTypeNone},
                                                          {"Weapo", kItemTypeNone}};
    for (const auto& [name, type] : cases)
        EXPECT_EQ(findItemType(name), type) << name;
}

} // namespace quarry
