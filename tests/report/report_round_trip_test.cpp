// A report read back by the rich-text reader shows every field of the record
// exactly as the record holds it, whatever "\", "{" and "}" the texts contain.
// Markup vanishes, \line is a line break, \tab a tab, and the one blank after
// a control word belongs to it: so each "\line" that ends a section takes the
// blank that begins the next heading or function.
#include "knife_report.h"
#include "platform/rich_text.h"
#include "report/item_report.h"
#include "store/item_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace quarry {

namespace {

// A fixed-seed generator, so every run sees the same records.
struct cSequence : std::mt19937 {
    using std::mt19937::mt19937;
    std::uint32_t next() { return static_cast<std::uint32_t>((*this)()); }
    std::uint32_t below(std::uint32_t bound) { return next() % bound; }

    // Printable text, heavy on the characters rich text treats specially.
    std::string text(std::uint32_t maxLength) {
        static const std::string kSpecial = "\\{}  ";
        std::string result;
        for (std::uint32_t n = below(maxLength + 1); n > 0; --n) {
            if (below(3) == 0)
                result += kSpecial[below(std::uint32_t(kSpecial.size()))];
            else
                result += static_cast<char>(0x20 + below(0x7f - 0x20));
        }
        return result;
    }
    std::string name() { return "k" + text(6); }
};

template <typename Map> void fillTexts(cSequence& random, Map& map, std::uint32_t most) {
    for (std::uint32_t n = random.below(most + 1); n > 0; --n)
        map.emplace(random.name(), random.text(8));
}

cItemRecord generateRecord(cSequence& random) {
    cItemRecord item(static_cast<ZRID>(random.next()), random.text(10));
    if (random.below(4) != 0) item.description = random.text(40);
    item.ql = static_cast<std::int32_t>(random.next());
    item.isNano = random.below(4) == 0;
    fillTexts(random, item.attributes, 4);
    for (std::uint32_t n = random.below(4); n > 0; --n)
        item.atkValues.emplace(random.name(), static_cast<std::int32_t>(random.next()));
    for (std::uint32_t n = random.below(3); n > 0; --n)
        item.defValues.emplace(random.name(), static_cast<std::int32_t>(random.below(200)) - 100);
    for (std::uint32_t n = random.below(3); n > 0; --n) {
        auto& sets = item.actions[random.name()];
        for (std::uint32_t s = random.below(3); s > 0; --s)
            fillTexts(random, sets.emplace_back(), 2);
    }
    for (std::uint32_t n = random.below(3); n > 0; --n) {
        auto& functions = item.events[random.name()];
        for (std::uint32_t f = random.below(3); f > 0; --f) {
            cFunctionRecord& function = functions.emplace_back();
            fillTexts(random, function.attributes, 2);
            for (std::uint32_t a = random.below(3); a > 0; --a)
                function.arguments.push_back(random.text(5) + "a");
            for (std::uint32_t s = random.below(3); s > 0; --s)
                fillTexts(random, function.requirements.emplace_back(), 2);
        }
    }
    return item;
}

std::string pairsText(const cRequirementSet& set) {
    std::string text;
    for (const auto& [name, value] : set)
        text += name + " = " + value + "  ";
    return text;
}

std::string skillText(const char* heading, const std::map<std::string, std::int32_t>& skills) {
    if (skills.empty()) return {};
    std::string text = std::string(heading) + (skills.size() == 1 ? ": \t" : "s: \t");
    bool first = true;
    for (const auto& [skill, percent] : skills) {
        text += (first ? " " : "  ") + skill + " " + std::to_string(percent) + "%";
        first = false;
    }
    return text + "  \n";
}

std::string functionText(const cFunctionRecord& function) {
    std::string text;
    for (const auto& [name, value] : function.attributes)
        text += " " + name + " = " + value + " ";
    if (!function.arguments.empty()) {
        text += " : ";
        for (const std::string& argument : function.arguments)
            text += " " + argument + " ";
    }
    if (!function.requirements.empty()) {
        text += " \n\tif:";
        for (const cRequirementSet& set : function.requirements)
            text += " \n\t" + pairsText(set);
    }
    text += " \n";
    return text.substr(1); // the blank after the preceding \line
}

// What a reader sees of the record's report.
std::string expectedPlainText(const cItemRecord& item) {
    std::string text = "ZRID " + std::to_string(item.zrid) + ": " + item.name;
    if (!item.isNano) text += " (QL " + std::to_string(item.ql) + ")";
    text += "\n\n" + item.description + "\n\n-[Attributes]-\n\n";
    for (const auto& [name, value] : item.attributes)
        text += name + ": \t" + value + "  \n";
    text += skillText("Attack skill", item.atkValues);
    text += skillText("Defense skill", item.defValues);
    if (!item.actions.empty()) {
        text += "\n-[Actions]-\n\n";
        for (const auto& [name, sets] : item.actions) {
            text += name + " ";
            if (sets.empty()) {
                text += "\n";
                continue;
            }
            for (std::size_t i = 0; i < sets.size(); ++i)
                text += (i == 0 ? "\n" : " \n") + pairsText(sets[i]);
            text += " \n";
        }
    }
    if (!item.events.empty()) {
        text += "\n-[Events]-\n\n";
        for (const auto& [name, functions] : item.events) {
            text += name + " \n";
            for (const cFunctionRecord& function : functions)
                text += functionText(function);
        }
    }
    return text;
}

std::string plainTextOfReport(const cItemRecord& item) {
    std::string report;
    formatReport(item, report);
    return toPlainText(readRichText(report));
}

} // namespace

TEST(ReportRoundTrip, KnifeReadsAsItsPlainText) {
    EXPECT_EQ(expectedPlainText(knifeRecord()), kKnifePlainText);
    EXPECT_EQ(plainTextOfReport(knifeRecord()), kKnifePlainText);
}

TEST(ReportRoundTrip, GeneratedRecordsReadBackFieldForField) {
    cSequence random(20261206);
    for (int i = 0; i < 300; ++i) {
        const cItemRecord item = generateRecord(random);
        ASSERT_EQ(plainTextOfReport(item), expectedPlainText(item)) << "record " << i;
    }
}

} // namespace quarry
