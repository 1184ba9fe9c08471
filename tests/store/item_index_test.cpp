#include "store/item_index.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarry {

namespace {

std::vector<ZRID> keysOf(const cItemIndex& index) {
    std::vector<ZRID> keys;
    for (const cIndexEntry& entry : index)
        keys.push_back(entry.zrid);
    return keys;
}

} // namespace

TEST(ItemIndex, FromFileOrderSortsUnsignedAndKeepsTheFirstPosition) {
    const cItemIndex index = cItemIndex::fromFileOrder(
        {{7, 10}, {-5, 20}, {0, 30}, {7, 40}, {2147483647, 50}, {-2147483647 - 1, 60}, {-5, 70}});
    EXPECT_EQ(keysOf(index), (std::vector<ZRID>{0, 7, 2147483647, -2147483647 - 1, -5}));
    EXPECT_EQ(index.find(7), 10u);
    EXPECT_EQ(index.find(-5), 20u);
    EXPECT_EQ(index.find(1), std::nullopt);
    EXPECT_EQ(index.size(), 5u);
}

TEST(ItemIndex, AddKeepsAnExistingEntry) {
    cItemIndex index;
    EXPECT_TRUE(index.empty());
    EXPECT_TRUE(index.add(3, 100));
    EXPECT_TRUE(index.add(-1, 200));
    EXPECT_TRUE(index.add(1, 300));
    EXPECT_FALSE(index.add(3, 999));
    EXPECT_EQ(index.find(3), 100u);
    EXPECT_EQ(keysOf(index), (std::vector<ZRID>{1, 3, -1}));
    // Positions beyond 4 GiB are kept whole.
    EXPECT_TRUE(index.add(9, 0x1'2345'6789ull));
    EXPECT_EQ(index.find(9), 0x1'2345'6789ull);
}

} // namespace quarry
