#include <gtest/gtest.h>

#include "platform/rich_text.h"

TEST(RichTextReader, Smoke) {
    EXPECT_EQ(toPlainText(readRichText("{\\rtf1 a\\par b}")), "a\nb");
}
