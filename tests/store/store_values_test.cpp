// The store's small value types: decimal numbers as the item file spells
// them, the index, and item types.
#include "store/decimal_text.h"
#include "store/item_index.h"
#include "store/item_record.h"

#include <gtest/gtest.h>

namespace quarry {

// Like the C library, keeping the low 32 bits of a long run of digits
// without undefined overflow.
TEST(DecimalText, ReadsLikeTheCLibraryAndWrapsAtThirtyTwoBits) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"281", 281}, {"  \t-42", -42}, {"+7", 7}, {"12ab", 12}, {"abc", 0}, {"", 0}, {"-", 0},
        {" - 5", 0}, {"2147483647", 2147483647}, {"2147483648", -2147483647 - 1},
        {"4294967295", -1}, {"4294967296", 0}, {"-4294967291", 5},
        {"99999999999999999999999", -159383553}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseDecimal(text), value) << text;
}

TEST(ItemIndex, OrdersUnsignedAndKeepsTheFirstPosition) {
    cItemIndex index = cItemIndex::fromFileOrder(
        {{7, 10}, {-5, 20}, {0, 30}, {7, 40}, {2147483647, 50}, {-2147483647 - 1, 60}, {-5, 70}});
    EXPECT_FALSE(index.add(7, 99));
    EXPECT_TRUE(index.add(3, 0x1'2345'6789ull)); // positions beyond 4 GiB stay whole
    std::string entries;
    for (const cIndexEntry& entry : index)
        entries += std::to_string(entry.zrid) + "@" + std::to_string(entry.position) + " ";
    EXPECT_EQ(entries, "0@30 3@4886718345 7@10 2147483647@50 -2147483648@60 -5@20 ");
    EXPECT_EQ(index.find(-5), 20u);
    EXPECT_EQ(index.find(1), std::nullopt);
    EXPECT_TRUE(cItemIndex().empty());
}

TEST(ItemRecord, ItemTypesCompareWithoutLetterCase) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"Weapon", 0}, {"spirit", 5}, {"NPC", 6}, {"WEAPON", 0}, {"Tower", kItemTypeNone},
        {"", kItemTypeNone}, {"Weapon ", kItemTypeNone}, {"Weapo", kItemTypeNone}};
    // clang-format on
    for (const auto& [name, type] : cases)
        EXPECT_EQ(findItemType(name), type) << name;
}

} // namespace quarry
