#include "item_file_test_support.h"
#include "report/item_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

const std::string kAxeTag = "<Item ZRID=\"5\" Name=\"Axe\" QL=\"10\" ItemType=\"weapon\">";

// Loads the only item of a file whose body follows kAxeTag.
cItemRecord loadAxe(const std::string& body, bool expectLoaded = true) {
    cImportedFile imported(kAxeTag + body);
    cItemRecord record;
    EXPECT_EQ(imported.load(5, record), expectLoaded);
    EXPECT_TRUE(imported.messages.messages.empty());
    return record;
}

} // namespace

TEST(ItemLoaderAcceptance, APlainItemLoadsWithTheDefaults) {
    const cItemRecord axe = loadAxe("</Item>");
    EXPECT_EQ(axe.zrid, 5);
    EXPECT_EQ(axe.name, "Axe");
    EXPECT_EQ(axe.ql, 10);
    EXPECT_EQ(axe.itemType, 0);
    EXPECT_FALSE(axe.isNano);
    EXPECT_EQ(axe.description, "--there's no description for this item--");
    EXPECT_TRUE(axe.attributes.empty() && axe.atkValues.empty() && axe.events.empty());
}

TEST(ItemLoaderAcceptance, NanoProgramsMayHaveNoQualityLevel) {
    cImportedFile imported("<Item ZRID=\"8\" Name=\"Heal\" IsNano=\"True\"></Item>"
                           "<Item ZRID=\"9\" Name=\"Heal\" IsNano=\"true\"></Item>"
                           "<Item></Item>"
                           "<Item ZRID=\"0\" Name=\"Zero\" QL=\"1\"></Item>"
                           "<Item ZRID=\"11\" QL=\"1\"></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(8, record));
    EXPECT_EQ(record.ql, 0);
    EXPECT_TRUE(record.isNano);
    cItemRecord untouched(1, "keep");
    EXPECT_FALSE(imported.load(9, untouched));  // 'true' is not "True"
    EXPECT_FALSE(imported.load(0, untouched));  // '<Item>' is indexed under 0 and has nothing
    EXPECT_FALSE(imported.load(11, untouched)); // no name
    EXPECT_FALSE(imported.load(12, untouched)); // not indexed
    EXPECT_EQ(untouched.name, "keep");
}

TEST(ItemLoaderAcceptance, TheRecordCarriesTheFilesIdentifier) {
    // Indexed under 70 by the scan, read as 71 by the loader: the later ZRID wins.
    cImportedFile imported("<Item ZRID=\"70\" Name=\"x\" QL=\"1\" ZRID=\"71\"></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(70, record));
    EXPECT_EQ(record.zrid, 71);
}

TEST(ItemLoaderAcceptance, FailuresWhereTheFileDoesNotHoldTheItem) {
    cImportedFile imported("<Item ZRID=\"5\" Name=\"x\" QL=\"1\"></Item>");
    cItemRecord record;
    // The file changed after the import.
    imported.file().write("<Other ZRID=\"5\" Name=\"x\" QL=\"1\"></Item>");
    EXPECT_FALSE(imported.load(5, record));
    // The file is gone.
    std::filesystem::remove(imported.file().path());
    EXPECT_FALSE(imported.load(5, record));
    // Nothing imported yet.
    cItemStore empty;
    EXPECT_FALSE(empty.loadItem(5, record, imported.messages));
}

TEST(ItemLoaderItemTag, PrecedenceOfItsAttributes) {
    cImportedFile imported("<Item ZRID=\"3\" Name=\"First\" Name=\"Second\" QL=\"7x\" "
                           "ItemType=\"Armor\" ItemType=\"Tower\" "
                           "Other=\"1\" IsNano=\"False\"></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(3, record));
    EXPECT_EQ(record.name, "Second");
    EXPECT_EQ(record.ql, 7);
    EXPECT_EQ(record.itemType, 1); // an unrecognised later type keeps the earlier one
    EXPECT_FALSE(record.isNano);
}

TEST(ItemLoaderItemTag, NumbersWrapAroundInsteadOfOverflowing) {
    cImportedFile imported("<Item ZRID=\"4294967297\" Name=\"Big\" QL=\"-4294967295\"></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(1, record));
    EXPECT_EQ(record.zrid, 1);
    EXPECT_EQ(record.ql, 1);
}

TEST(ItemLoaderItemTag, ASelfClosingItemTagEndsAtTheNextRecord) {
    cImportedFile imported(
        "<Item ZRID=\"1\" Name=\"a\" QL=\"1\" />"
        "<Item ZRID=\"2\" Name=\"b\" QL=\"1\"><Attribute Name=\"k\" Value=\"v\"/></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(1, record));
    EXPECT_EQ(record.name, "a");
    EXPECT_TRUE(record.attributes.empty());
}

TEST(ItemLoaderDescription, FormsOfTheDescriptionElement) {
    EXPECT_EQ(loadAxe("<Description /></Item>").description,
              "--there's no description for this item--");
    EXPECT_EQ(loadAxe("<Description/></Item>").description,
              "--there's no description for this item--");
    EXPECT_EQ(loadAxe("<Description> A &amp; b </Description></Item>").description, " A &amp; b ");
    EXPECT_EQ(loadAxe("<Description>line\none</Description></Item>").description, "line\none");
    // An empty text element is not seen as empty: the next tag is consumed in its place.
    const cItemRecord empty =
        loadAxe("<Description></Description><Attribute Name=\"k\" Value=\"v\"/></Item>");
    EXPECT_EQ(empty.description, "/Description>");
    EXPECT_TRUE(empty.attributes.empty());
    // A "//" in the text is a comment to the end of the line.
    EXPECT_EQ(loadAxe("<Description>see http://x.y\nmore</Description></Item>").description,
              "see http:");
}

TEST(ItemLoaderElements, AttributePairsInAnyOrderFirstElementWins) {
    const cItemRecord record = loadAxe("<Attribute Value=\"2\" Name=\"Mass\"/>"
                                       "<Attribute Name=\"Mass\" Value=\"3\"/>"
                                       "<Attribute Name=\"Empty\" Value=\"\"/>"
                                       "<Attribute Name=\"a\" Name=\"b\" Value=\"c\" Name=\"d\"/>"
                                       "<Attribute Name=\"NoValue\"/>"
                                       "</Item>");
    EXPECT_EQ(record.attributes, (std::map<std::string, std::string>{{"Mass", "2"}, {"b", "c"}}));
}

TEST(ItemLoaderElements, SkillValues) {
    const cItemRecord record = loadAxe("<AtkValue Name=\"Melee\" Percent=\"100\"/>"
                                       "<AtkValue Name=\"Melee\" Percent=\"50\"/>"
                                       "<AtkValue Name=\"NoPercent\"/>"
                                       "<AtkValue Name=\"Zero\" Percent=\"0\"/>"
                                       "<AtkValue Name=\"Text\" Percent=\"abc\"/>"
                                       "<AtkValue Name=\"Max\" Percent=\"2147483647\"/>"
                                       "<DefValue Percent=\"-20\" Name=\"Dodge\"/>"
                                       "</Item>");
    EXPECT_EQ(record.atkValues,
              (std::map<std::string, std::int32_t>{{"Melee", 100}, {"Text", 0}, {"Zero", 0}}));
    EXPECT_EQ(record.defValues, (std::map<std::string, std::int32_t>{{"Dodge", -20}}));
}

TEST(ItemLoaderElements, UnknownAndMalformedTagsArePassedOver) {
    const cItemRecord record =
        loadAxe("<Unknown a=\"1\"/><item/>\n<Attribute Name=\"lost\" Value=\"1\"/>"
                "</Item ><Attribute Name=\"kept\" Value=\"1\"/></Item>");
    EXPECT_EQ(record.attributes, (std::map<std::string, std::string>{{"kept", "1"}}));
}

TEST(ItemLoaderTruncated, AFileEndingInsideARecordFailsWithoutMessages) {
    for (const std::string& body :
         {std::string(""), std::string("<Attribute Name=\"a\" Value=\"1\"/>"),
          std::string("<Description>cut"),
          std::string("<Event Name=\"OnUse\"><Function Name=\"Hit\">"),
          std::string("<Event Name=\"OnUse\">"),
          std::string("<Action Name=\"Wield\"><Requirement a=\"1\"/>"),
          std::string("</Item ><Attribute"), std::string("/*</Item>")}) {
        cImportedFile imported(kAxeTag + body);
        cItemRecord record(1, "keep");
        EXPECT_FALSE(imported.load(5, record)) << body;
        EXPECT_EQ(record.name, "keep");
        EXPECT_TRUE(imported.messages.messages.empty()) << body;
    }
}

TEST(ItemReportText, FailureTextOrTheRenderedReport) {
    cImportedFile imported("<Item ZRID=\"5\" Name=\"Axe\" QL=\"10\"></Item>");
    const std::string report = writeItemReport(imported.store, 5, imported.messages);
    EXPECT_EQ(report.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(report.find("Axe"), std::string::npos);
    EXPECT_EQ(writeItemReport(imported.store, 6, imported.messages),
              "--failed to load item data--");
}

} // namespace quarry
