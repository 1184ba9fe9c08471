// The member model's whole numbers, which the Compare pane subtracts: only an
// optional sign and 1 to 18 digits read, so no value overflows.
#include "report/item_difference.h"
#include "store/decimal_text.h"

#include <gtest/gtest.h>

namespace quarry {

TEST(WholeNumber, ReadsASignAndUpToEighteenDigitsAndNothingElse) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"12", 12},
        {"-3", -3},
        {"+7", 7},
        {"0", 0},
        {"999999999999999999", 999999999999999999},
        {"1000000000000000000", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
        {" 4", std::nullopt},
        {"4 ", std::nullopt},
        {"--4", std::nullopt},
        {"\"4\"", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wholeNumber(text), expected) << text;
}

} // namespace quarry
