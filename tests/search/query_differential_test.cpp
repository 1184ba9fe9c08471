// The evaluator against a plain one: generated item files, each record
// loaded by itself (cItemStore::loadItem) and each generated query decided on
// the record as the language describes it, with lower-cased copies, one
// sort and a full edit-distance table. The query is generated as a tree,
// written out as text for the parser and evaluated as the tree here.
#include "query_test_support.h"

#include "name_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <tuple>

namespace quarry {

namespace {

struct cRandom : std::mt19937 {
    using std::mt19937::mt19937;
    std::size_t below(std::size_t bound) { return (*this)() % bound; }
    bool chance(std::size_t inN) { return below(inN) == 0; }
    template <std::size_t N> const char* pick(const char* const (&list)[N]) {
        return list[below(N)];
    }
};

const char* const kWords[] = {"Blue",    "blue", "Ring", "of",  "Charm",
                              "Ancient", "Iron", "x1",   "Ab-c"};
const char* const kTypes[] = {"Weapon", "armor", "Utility", "Misc", "NPC", "Relic"};
const char* const kAttributes[] = {"Range", "range", "Mass", "Flags", "Worth", "Slot"};
const char* const kValues[] = {"-5",         "40",           "0120", "+7", "99999999999999999999",
                               "1073741824", "NoDrop Bound", "abc",  "40x"};
const char* const kSlots[] = {"Head", "Head Neck", "BELT", "0", "RightHand", "HUD1 BELT"};
const char* const kSkills[] = {"Melee", "Pistol", "Parry Arc", "melee"};
const char* const kStats[] = {"Strength", "strength", "Agility"};
const char* const kStatValues[] = {"300", "x", "-20", "99999999999", ""};
const char* const kActions[] = {"ToUse", "ToWear", "touse"};
const char* const kEvents[] = {"OnUse", "OnWear"};
const char* const kFunctions[] = {"Heal", "Hit", "heal"};
const char* const kArguments[] = {"123", "Knife", "knife", "Grace"};

std::string randomName(cRandom& random) {
    std::string name = random.pick(kWords);
    for (std::size_t n = random.below(3); n > 0; --n)
        name += std::string(random.chance(4) ? "-" : " ") + random.pick(kWords);
    return name;
}

// One record, its tags back to back; some do not load (no QL, no name).
std::string randomItem(cRandom& random, ZRID zrid) {
    const bool nano = random.chance(6);
    std::string out = "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"" +
                      (random.chance(40) ? "" : randomName(random)) + "\" QL=\"" +
                      std::to_string(nano || random.chance(40) ? 0 : 1 + random.below(5)) + "\"";
    if (!random.chance(5)) out += std::string(" ItemType=\"") + random.pick(kTypes) + "\"";
    out += nano ? " IsNano=\"True\">" : ">";
    const auto tag = [&](const std::string& name, const std::string& pairs) {
        out += "<" + name + " " + pairs + "/>";
    };
    for (std::size_t n = random.below(4); n > 0; --n) {
        const std::string name = random.pick(kAttributes);
        tag("Attribute", "Name=\"" + name + "\" Value=\"" +
                             (name == "Slot" ? random.pick(kSlots) : random.pick(kValues)) + "\"");
    }
    for (const char* skill : {"AtkValue", "DefValue"})
        for (std::size_t n = random.below(3); n > 0; --n)
            tag(skill, std::string("Name=\"") + random.pick(kSkills) + "\" Percent=\"" +
                           std::to_string(random.below(120)) + "\"");
    for (std::size_t n = random.below(3); n > 0; --n) {
        out += std::string("<Action Name=\"") + random.pick(kActions) + "\">";
        for (std::size_t r = random.below(3); r > 0; --r) {
            const std::string value = random.pick(kStatValues);
            tag("Requirement", std::string("Stat=\"") + random.pick(kStats) + "\"" +
                                   (value.empty() ? "" : " Value=\"" + value + "\""));
        }
        out += "</Action>";
    }
    for (std::size_t n = random.below(3); n > 0; --n) {
        out += std::string("<Event Name=\"") + random.pick(kEvents) + "\">";
        for (std::size_t f = random.below(3); f > 0; --f) {
            out += std::string("<Function Name=\"") + random.pick(kFunctions) + "\">";
            for (std::size_t a = random.below(3); a > 0; --a)
                tag("Argument", std::string("Value=\"") + random.pick(kArguments) + "\"");
            out += "</Function>";
        }
        out += "</Event>";
    }
    return out + "</Item>";
}

using model::lower;

bool has(const std::string& text, const std::string& part) {
    return lower(text).find(lower(part)) != std::string::npos;
}

// A generated query: a term (field, key, comparison, value; a plain word
// when field is empty), or not / and / or of others.
struct cModelQuery {
    enum eKind { term, negation, all, any } kind = term;
    std::string field, key, op, value;
    std::vector<cModelQuery> children;
};

std::string quoted(const std::string& text) {
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

// The query as a user types it: groups below the top in parentheses.
std::string written(const cModelQuery& q, bool top = true) {
    switch (q.kind) {
    case cModelQuery::term:
        return (q.field.empty() ? "" : q.field + ":" + quoted(q.key) + q.op) + quoted(q.value);
    case cModelQuery::negation:
        return (q.children[0].kind == cModelQuery::term ? "-" : "not ") +
               written(q.children[0], false);
    default: {
        std::string text;
        for (std::size_t i = 0; i < q.children.size(); ++i)
            text += (i == 0                       ? ""
                     : q.kind == cModelQuery::any ? " or "
                     : i % 2                      ? " and "
                                                  : " ") +
                    written(q.children[i], false);
        return top ? text : "(" + text + ")";
    }
    }
}

const char* const kComparisons[] = {"=", "!=", "<", "<=", ">", ">="};
const char* const kTextComparisons[] = {"~", "=", "!="};
const char* const kNumbers[] = {"-5", "0", "3", "40", "+7", "0120", "300", "1073741824"};
const char* const kFieldValues[][8] = {
    {"type", "weapon", "ARMOR", "utility", "misc", "npc", "none"},
    {"slot", "head", "Neck", "belt", "hud1", "chest"},
    {"is", "nano"},
    {"folder", "weapon/melee", "armor/head", "utility", "misc", "nano", "perk", "arc"},
};

cModelQuery randomTerm(cRandom& random) {
    cModelQuery q;
    const std::size_t kind = random.below(16);
    const auto comparison = [&](bool texts) {
        if (random.chance(3)) return;
        const bool text = texts && random.chance(2);
        q.op = text ? random.pick(kTextComparisons) : random.pick(kComparisons);
        q.value = text && random.chance(2) ? lower(random.pick(kValues)) : random.pick(kNumbers);
    };
    if (kind < 4) { // words, some misspelled by a swap or a lost letter
        q.value = random.chance(2) ? lower(random.pick(kWords)) : random.pick(kWords);
        if (random.chance(3) && q.value.size() > 3) q.value.erase(random.below(q.value.size()), 1);
        if (random.chance(3) && q.value.size() > 3) std::swap(q.value[1], q.value[2]);
        if (kind == 0) q.field = "name";
    } else if (kind < 6) {
        q.field = kind == 4 ? "ql" : "id";
        if (random.chance(2))
            q.value = std::to_string(random.below(6)) + "-" + std::to_string(random.below(6));
        else
            q.value = random.pick(kComparisons) + std::to_string(random.below(6));
    } else if (kind < 10) {
        const auto& values = kFieldValues[kind - 6];
        std::size_t count = 1;
        while (count < 8 && values[count] != nullptr)
            ++count;
        q.field = values[0];
        q.value = values[1 + random.below(count - 1)];
    } else if (kind == 10) {
        q.field = "attr";
        q.key = random.pick(kAttributes);
        comparison(true);
    } else if (kind < 13) {
        q.field = kind == 11 ? "req" : random.chance(2) ? "atk" : "def";
        q.key = kind == 11 ? random.pick(kStats) : random.pick(kSkills);
        comparison(false);
    } else {
        const char* const fields[] = {"action", "event", "func", "arg"};
        q.field = fields[kind - 13];
        const std::string name = kind == 13   ? random.pick(kActions)
                                 : kind == 14 ? random.pick(kEvents)
                                              : random.pick(kFunctions);
        (q.field == "arg" ? q.value : q.key) = q.field == "arg" ? random.pick(kArguments) : name;
    }
    return q;
}

cModelQuery randomQuery(cRandom& random, int depth = 0) {
    const std::size_t kind = depth >= 2 ? 0 : random.below(10);
    cModelQuery q;
    if (kind < 3) return randomTerm(random);
    if (kind < 5) {
        q.kind = cModelQuery::negation;
        q.children.push_back(randomQuery(random, depth + 1));
        return q;
    }
    q.kind = kind < 9 ? cModelQuery::all : cModelQuery::any;
    for (std::size_t n = 2 + random.below(2); n > 0; --n)
        q.children.push_back(depth == 0 && kind < 8 ? randomTerm(random)
                                                    : randomQuery(random, depth + 1));
    return q;
}

struct cModelItem {
    cItemRecord record;
    std::vector<std::string> folders;
};

// The folders the tree files an item under, by the filing rules.
std::vector<std::string> foldersOf(const cItemRecord& item) {
    std::vector<std::string> folders;
    const auto slots = item.attributes.find("Slot");
    const auto slotted = [&](std::int32_t first, std::int32_t count) {
        for (std::int32_t slot = first; slot < first + count; ++slot)
            if (slots != item.attributes.end() &&
                slots->second.find(kSlotNames[slot]) != std::string::npos)
                folders.push_back(std::string(kItemTypeNames[item.itemType]) + "/" +
                                  kSlotNames[slot]);
    };
    if (item.isNano) return {"Nanoprogram"};
    if (item.itemType == kWeaponType)
        for (const auto& skill : item.atkValues)
            folders.push_back("Weapon/" + skill.first);
    else if (item.itemType == kArmorType && slots != item.attributes.end() &&
             slots->second.find('0') != std::string::npos)
        folders.push_back("Perk");
    else if (item.itemType == kArmorType)
        slotted(kArmorSlotFirst, kArmorSlotCount);
    else if (item.itemType == kUtilityType)
        slotted(kUtilitySlotFirst, kUtilitySlotCount);
    else if (item.itemType != kItemTypeNone)
        folders.push_back(kItemTypeNames[item.itemType]);
    return folders;
}

// Long doubles hold every 18-digit value exactly and a longer query number near enough.
bool compares(long double number, const std::string& op, long double value) {
    return op == "="    ? number == value
           : op == "!=" ? number != value
           : op == "<"  ? number < value
           : op == "<=" ? number <= value
           : op == ">"  ? number > value
                        : number >= value;
}

// A value that is a whole number (1 to 18 digits) compared, any other never.
bool numberHolds(const std::string& text, const std::string& op, const std::string& value) {
    static const std::regex whole("[-+]?[0-9]{1,18}");
    return std::regex_match(text, whole) && compares(std::stold(text), op, std::stold(value));
}

bool valueHolds(const std::string& text, const std::string& op, const std::string& value) {
    static const std::regex number("[-+]?[0-9]+");
    if (op.empty()) return true;
    if (op == "~") return has(text, value);
    if ((op == "=" || op == "!=") && !std::regex_match(value, number))
        return (lower(text) == lower(value)) == (op == "=");
    return numberHolds(text, op, value);
}

bool termHolds(const cModelQuery& q, const cModelItem& item) {
    const cItemRecord& r = item.record;
    const auto is = [](const std::string& a, const std::string& b) { return lower(a) == lower(b); };
    if (q.field.empty() || q.field == "name") return has(r.name, q.value);
    if (q.field == "ql" || q.field == "id") {
        const long long number = q.field == "ql" ? r.ql : r.zrid;
        const std::size_t dash = q.value.find('-');
        if (dash == std::string::npos)
            return numberHolds(std::to_string(number), q.value.substr(0, q.value[1] == '=' ? 2 : 1),
                               q.value.substr(q.value[1] == '=' ? 2 : 1));
        return number >= std::stoll(q.value) && number <= std::stoll(q.value.substr(dash + 1));
    }
    if (q.field == "type")
        return q.value == "none"
                   ? r.itemType == kItemTypeNone
                   : r.itemType != kItemTypeNone && is(kItemTypeNames[r.itemType], q.value);
    if (q.field == "slot") {
        const auto slot = r.attributes.find("Slot");
        for (const char* name : kSlotNames)
            if (is(name, q.value))
                return slot != r.attributes.end() && slot->second.find(name) != std::string::npos;
    }
    if (q.field == "is") return r.isNano;
    bool any = false;
    if (q.field == "folder")
        for (const std::string& folder : item.folders)
            any = any || has(folder, q.value);
    if (q.field == "attr")
        for (const auto& [name, text] : r.attributes)
            any = any || (is(name, q.key) && valueHolds(text, q.op, q.value));
    if (q.field == "req")
        for (const auto& action : r.actions)
            for (const cRequirementSet& set : action.second)
                any = any || (set.count("Stat") && is(set.at("Stat"), q.key) &&
                              (q.op.empty() || (set.count("Value") &&
                                                numberHolds(set.at("Value"), q.op, q.value))));
    if (q.field == "atk" || q.field == "def")
        for (const auto& [skill, percent] : q.field == "atk" ? r.atkValues : r.defValues)
            any = any || (is(skill, q.key) &&
                          (q.op.empty() || compares(percent, q.op, std::stold(q.value))));
    if (q.field == "action")
        for (const auto& action : r.actions)
            any = any || is(action.first, q.key);
    for (const auto& event : r.events) {
        any = any || (q.field == "event" && is(event.first, q.key));
        for (const cFunctionRecord& function : event.second) {
            any = any || (q.field == "func" && function.attributes.count("Name") &&
                          is(function.attributes.at("Name"), q.key));
            for (const std::string& argument : function.arguments)
                any = any || (q.field == "arg" && is(argument, q.value));
        }
    }
    return any;
}

bool holds(const cModelQuery& q, const cModelItem& item) {
    switch (q.kind) {
    case cModelQuery::term:
        return termHolds(q, item);
    case cModelQuery::negation:
        return !holds(q.children[0], item);
    case cModelQuery::all:
        return std::all_of(q.children.begin(), q.children.end(),
                           [&](const cModelQuery& c) { return holds(c, item); });
    case cModelQuery::any:
        return std::any_of(q.children.begin(), q.children.end(),
                           [&](const cModelQuery& c) { return holds(c, item); });
    }
    return false;
}

bool isNameWord(const cModelQuery& q) {
    return q.kind == cModelQuery::term && (q.field.empty() || q.field == "name");
}

// The words and name: terms not under a negation, in query order.
void collectNameWords(const cModelQuery& q, std::vector<std::string>& words) {
    if (isNameWord(q)) words.push_back(lower(q.value));
    if (q.kind == cModelQuery::all || q.kind == cModelQuery::any)
        for (const cModelQuery& child : q.children)
            collectNameWords(child, words);
}

std::vector<std::string> modelFind(const cModelQuery& query, const std::vector<cModelItem>& items,
                                   bool allowNear) {
    std::vector<std::string> words;
    collectNameWords(query, words);
    std::vector<std::tuple<int, int, std::string, std::int32_t, std::size_t>> found;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (holds(query, items[i]))
            found.emplace_back(0, model::rank(lower(items[i].record.name), words),
                               lower(items[i].record.name), items[i].record.ql, i);
    // Near spellings: terms joined by "and" only; the others still hold.
    const auto flat = [](const cModelQuery& q) {
        return q.kind == cModelQuery::term ||
               (q.kind == cModelQuery::negation && q.children[0].kind == cModelQuery::term);
    };
    const bool andOnly =
        flat(query) || (query.kind == cModelQuery::all &&
                        std::all_of(query.children.begin(), query.children.end(), flat));
    if (found.empty() && allowNear && andOnly && !words.empty())
        for (std::size_t i = 0; i < items.size(); ++i) {
            bool others = true;
            for (const cModelQuery& child :
                 query.kind == cModelQuery::all ? query.children : std::vector{query})
                others = others && (isNameWord(child) || holds(child, items[i]));
            int edits = 0;
            int rank = 0;
            if (others && model::nearSpelled(lower(items[i].record.name), words, edits, rank))
                found.emplace_back(edits, rank, lower(items[i].record.name), items[i].record.ql, i);
        }
    std::sort(found.begin(), found.end());
    std::vector<std::string> zrids;
    for (const auto& f : found)
        zrids.push_back(std::to_string(items[std::get<4>(f)].record.zrid));
    return zrids;
}

TEST(QueryDifferentialTest, AgreesWithThePlainEvaluatorOnGeneratedFiles) {
    cRandom random(20250601);
    for (int round = 0; round < 12; ++round) {
        std::string file = "<Items>";
        for (ZRID zrid = 1; zrid <= 80; ++zrid)
            file += randomItem(random, zrid * 3 + ZRID(random.below(3)));
        file += "</Items>";
        const cIndexedFile indexed(file);
        std::vector<cModelItem> items;
        for (const cIndexEntry& entry : *indexed.imported.store.index()) {
            cModelItem item;
            cFakeMessages ignored;
            if (!indexed.imported.store.loadItem(entry.zrid, item.record, ignored)) continue;
            item.folders = foldersOf(item.record);
            items.push_back(std::move(item));
        }
        ASSERT_EQ(indexed.index.size(), items.size());
        for (int q = 0; q < 150; ++q) {
            const cModelQuery query = randomQuery(random);
            const bool near = random.chance(2);
            ASSERT_EQ(indexed.find(written(query), near), modelFind(query, items, near))
                << "query \"" << written(query) << "\"";
            // Gathered for the query's fields alone, as find does: what the
            // workers drop of a record is what no field of the query reads.
            if (const cParsedQuery parsed = parseQuery(written(query)); parsed.ok() && q % 5 == 0) {
                ASSERT_EQ(cIndexedFile(file, parsed.query.fields()).find(written(query), near),
                          indexed.find(written(query), near))
                    << "query \"" << written(query) << "\"";
                // Names left in index order (find, for a query without name
                // words): the matches still come in name order.
                const cIndexedFile asLoaded(file, parsed.query.fields(),
                                            cIndexedFile::eCommit::indexOrder);
                ASSERT_EQ(asLoaded.find(written(query), near), indexed.find(written(query), near))
                    << "query \"" << written(query) << "\" on names in index order";
            }
        }
    }
}

} // namespace

} // namespace quarry
