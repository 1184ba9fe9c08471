#include "item_file_writer.h"

#include <utility>

namespace quarry {

namespace {

// Type names as the file writes them; index 7 and up are not in the type table.
const char* const kTypeSpellings[][3] = {
    {"Weapon", "weapon", "WEAPON"},
    {"Armor", "armor", "ARMOR"},
    {"Utility", "utility", "Utility"},
    {"Misc", "misc", "MISC"},
    {"Implant", "implant", "Implant"},
    {"Spirit", "spirit", "Spirit"},
    {"NPC", "npc", "Npc"},
};
const char* const kUnknownTypes[] = {"Relic", "Trinket", "Container", "Tower", ""};

const char* const kArmorSlots[] = {
    "Neck",         "Head",      "Back",        "RightShoulder", "Chest",
    "LeftShoulder", "RightArm",  "Hands",       "LeftArm",       "RightWrist",
    "Legs",         "LeftWrist", "RightFinger", "Feet",          "LeftFinger",
};
const char* const kArmorPairs[] = {
    "RightShoulder LeftShoulder",
    "RightWrist LeftWrist",
    "RightFinger LeftFinger",
    "RightArm LeftArm",
    "Head Neck",
    "Chest Back",
};
const char* const kUtilitySlots[] = {
    "HUD1", "HUD2", "HUD3", "UTIL1", "UTIL2", "UTIL3", "BELT",
    "NCU1", "NCU2", "NCU3", "NCU4",  "NCU5",  "NCU6",
};
const char* const kUtilityGroups[] = {
    "HUD1 HUD3", "UTIL1 UTIL2", "NCU1 NCU2 NCU3", "UTIL3 BELT", "HUD2 HUD3", "NCU4 NCU5 NCU6",
};
const char* const kPerkSlots[] = {"0", "10", "20", "Slot0"};
const char* const kStraySlots[] = {"Tail", "Aura", "Shoulders"};
const char* const kWeaponSlots[] = {"RightHand", "LeftHand", "RightHand LeftHand"};

const char* const kAttackSkills[] = {
    "Ion Lances", "Shardcasting",   "Gravsling",    "Flux Blades",
    "Arc Whips",  "Pulse Carbines", "Kinetic Bows", "Heavy Thumpers",
    "Needlework", "Disc Throwing",  "Stormcalling",
};
const char* const kDefenceSkills[] = {
    "Deflect", "Evasive Roll", "Ward Shell", "Dodge Burst", "Parry Arc", "Phase Step",
};
const char* const kStats[] = {
    "Level",  "Vigor",     "Acuity",  "Resolve",   "Tenacity", "Grace",   "Insight", "Hullcraft",
    "Ionics", "Shardlore", "Kinesis", "Fluxcraft", "Faction",  "Calling", "Renown",
};
const char* const kOperators[] = {"GreaterThan", "LessThan", "Equal", "NotEqual", "BitAnd", "Not"};
const char* const kTargets[] = {"Self", "User", "Wearer", "Target", "Fighting"};
const char* const kFunctionNames[] = {
    "Modify", "Hit",    "Teleport", "SetFlag",  "Lock",  "Spawn",
    "Heal",   "Summon", "Mark",     "Restrict", "Drain", "Echo",
};
const char* const kEventNames[][3] = {
    {"OnWield", "OnHit", "OnUnwield"},    // weapon
    {"OnWear", "OnRemove", "OnStruck"},   // armor
    {"OnWear", "OnActivate", "OnRemove"}, // utility
    {"OnUse", "OnCreate", "OnOpen"},      // misc
    {"OnWear", "OnRemove", "OnGraft"},    // implant
    {"OnWear", "OnBind", "OnRemove"},     // spirit
    {"OnSpawn", "OnDeath", "OnTalk"},     // npc
    {"OnUse", "OnCreate", "OnTouch"},     // other
};
const char* const kNanoEvents[] = {"OnCast", "OnUse", "OnTargetEnter", "OnTerminate"};
const char* const kActionNames[][2] = {
    {"ToWield", "ToUse"},  {"ToWear", "ToUse"},  {"ToWear", "ToActivate"}, {"ToUse", "ToSplit"},
    {"ToWear", "ToGraft"}, {"ToWear", "ToBind"}, {"ToTalk", "ToTrade"},    {"ToUse", "ToOpen"},
};
const char* const kNanoActions[] = {"ToCast", "ToUse", "ToLearn"};
const char* const kNanoSchools[] = {"Veilcraft", "Mending", "Kinetics", "Shaping", "Warding"};
const char* const kFlags[] = {"NoDrop", "Unique", "Bound", "NoTrade", "Stackable", "Glowing"};
const char* const kUnknownTags[] = {"Trace", "Note", "Hint", "Marker", "Stamp"};

std::string number(std::int64_t value) {
    return std::to_string(value);
}

} // namespace

cItemFileWriter::cItemFileWriter(std::uint64_t seed) : random_(seed), forge_(random_) {}

void cItemFileWriter::writeHeader(std::string& out) {
    out += "<?xml version=\"1.0\"?>\n<RDB Generator=\"quarry-gen\">";
}

void cItemFileWriter::writeFooter(std::string& out) {
    out += "</RDB>\n";
}

void cItemFileWriter::writeTag(std::string& out, const char* name, std::vector<Pair> pairs,
                               bool selfClosing) {
    out += '<';
    out += name;
    for (const Pair& pair : pairs) {
        out += ' ';
        out += pair.name;
        out += "=\"";
        out += pair.value;
        out += '"';
    }
    if (selfClosing)
        out += random_.chance(850) ? " />" : "/>";
    else
        out += '>';
}

// Comments of all three kinds the stream removes, between two tags.
void cItemFileWriter::maybeComment(std::string& out, std::uint32_t perMille) {
    if (!random_.chance(perMille)) return;
    switch (random_.below(4)) {
    case 0:
        out += "<!-- checked by " + forge_.word() + " -->";
        break;
    case 1:
        out += "<!--" + forge_.word() + "-->";
        break;
    case 2:
        out += "/* revised " + forge_.word() + " */";
        break;
    default:
        out += "// carried over from " + forge_.word() + "\n";
        break;
    }
}

std::int32_t cItemFileWriter::nextIdentifier() {
    if (random_.chance(2)) // an identifier given twice
        return lastIdentifier_;
    if (random_.chance(30)) // late additions, out of order in the file
        return lateIdentifier_ += random_.between(1, 4);
    return lastIdentifier_ += random_.between(1, 3);
}

void cItemFileWriter::writeItem(std::string& out) {
    maybeComment(out, 3);

    // Mostly the seven types, some nano programs, a few types outside the table.
    const std::uint32_t roll = random_.below(1000);
    bool nano = false;
    int itemType;
    if (roll < 180)
        itemType = 0;
    else if (roll < 400)
        itemType = 1;
    else if (roll < 480)
        itemType = 2;
    else if (roll < 620)
        itemType = 3;
    else if (roll < 700)
        itemType = 4;
    else if (roll < 740)
        itemType = 5;
    else if (roll < 790)
        itemType = 6;
    else if (roll < 980) {
        nano = true;
        itemType = random_.chance(500) ? 3 : 7;
    } else
        itemType = 7;

    std::string name;
    if (!recentNames_.empty() && random_.chance(20)) {
        name = random_.pick(recentNames_); // the same name on another item
    } else {
        name = forge_.itemName(itemType, nano);
        if (recentNames_.size() < 64)
            recentNames_.push_back(name);
        else
            recentNames_[random_.below(64)] = name;
    }

    std::vector<Pair> pairs;
    pairs.push_back({"ZRID", number(nextIdentifier())});
    bool meantToFail = false;
    if (random_.chance(1)) {
        name.clear();
        meantToFail = true;
    }
    pairs.push_back({"Name", name});
    if (!nano || random_.chance(600)) {
        std::int32_t ql = random_.between(1, 300);
        if (!nano && random_.chance(2)) {
            ql = 0;
            meantToFail = true;
        }
        pairs.push_back({"QL", number(ql)});
    }
    if (itemType < 7) {
        const std::uint32_t spelling = random_.chance(900) ? 0 : random_.below(3);
        pairs.push_back({"ItemType", kTypeSpellings[itemType][spelling]});
    } else if (!nano || random_.chance(500)) {
        if (random_.chance(900)) pairs.push_back({"ItemType", random_.pick(kUnknownTypes)});
    }
    if (nano)
        pairs.push_back({"IsNano", "True"});
    else if (random_.chance(300))
        pairs.push_back({"IsNano", "False"});
    if (random_.chance(50)) pairs.push_back({"Tier", number(random_.between(1, 9))});
    if (random_.chance(250)) // attributes in another order
        for (std::size_t i = pairs.size(); i > 1; --i)
            std::swap(pairs[i - 1], pairs[random_.below(static_cast<std::uint32_t>(i))]);
    writeTag(out, "Item", std::move(pairs), false);

    writeDescription(out);
    maybeComment(out, 3);
    writeAttributes(out, itemType, nano);
    if (itemType == 0 && !nano) {
        writeSkillValues(out, "AtkValue", kAttackSkills, 11, random_.between(1, 3));
        writeSkillValues(out, "DefValue", kDefenceSkills, 6, random_.between(0, 2));
    } else if (itemType == 1 && random_.chance(150)) {
        writeSkillValues(out, "DefValue", kDefenceSkills, 6, 1);
    }
    maybeComment(out, 3);
    writeEvents(out, itemType, nano);
    writeActions(out, itemType, nano);
    out += "</Item>";

    ++counts_.items;
    if (nano) ++counts_.nanos;
    if (meantToFail) ++counts_.meantToFail;
}

void cItemFileWriter::writeDescription(std::string& out) {
    const std::uint32_t form = random_.below(1000);
    if (form < 50) return; // no description element
    if (form < 80) {
        out += "<Description />";
        return;
    }
    if (form < 100) {
        out += "<Description/>";
        return;
    }

    const std::uint32_t band = random_.below(100);
    std::size_t length;
    if (band < 55)
        length = static_cast<std::size_t>(random_.between(30, 250));
    else if (band < 88)
        length = static_cast<std::size_t>(random_.between(250, 700));
    else if (band < 99)
        length = static_cast<std::size_t>(random_.between(700, 2000));
    else
        length = static_cast<std::size_t>(random_.between(2000, 8000));
    out += "<Description>";
    out += forge_.description(length, random_.chance(25));
    out += "</Description>";
}

void cItemFileWriter::writeAttributes(std::string& out, int itemType, bool nano) {
    std::vector<Pair> attributes;
    if (nano) {
        attributes.push_back({"NanoSchool", random_.pick(kNanoSchools)});
        attributes.push_back({"Cost", number(random_.between(5, 900))});
        attributes.push_back({"Duration", number(random_.between(0, 36000))});
        attributes.push_back({"Range", number(random_.between(1, 40))});
    } else {
        switch (itemType) {
        case 0:
            attributes.push_back({"Slot", random_.pick(kWeaponSlots)});
            attributes.push_back({"AttackDelay", number(random_.between(50, 400))});
            attributes.push_back({"RechargeDelay", number(random_.between(50, 400))});
            attributes.push_back({"Range", number(random_.between(1, 60))});
            if (random_.chance(500))
                attributes.push_back({"Clip", number(random_.between(4, 300))});
            break;
        case 1: {
            const std::uint32_t pick = random_.below(1000);
            if (pick < 35)
                attributes.push_back({"Slot", random_.pick(kPerkSlots)});
            else if (pick < 180)
                attributes.push_back({"Slot", random_.pick(kArmorPairs)});
            else if (pick < 190)
                attributes.push_back({"Slot", random_.pick(kStraySlots)});
            else if (pick < 195) { /* no slot at all */
            } else
                attributes.push_back({"Slot", random_.pick(kArmorSlots)});
            attributes.push_back({"ShieldKinetic", number(random_.between(0, 2500))});
            attributes.push_back({"ShieldThermal", number(random_.between(0, 2500))});
            attributes.push_back({"ShieldVoid", number(random_.between(0, 2500))});
            break;
        }
        case 2:
            attributes.push_back({"Slot", random_.chance(200) ? random_.pick(kUtilityGroups)
                                                              : random_.pick(kUtilitySlots)});
            attributes.push_back({"Charges", number(random_.between(0, 50))});
            break;
        case 4:
            attributes.push_back({"Cluster", forge_.word()});
            break;
        default:
            break;
        }
        attributes.push_back({"Mass", number(random_.between(1, 4000))});
        attributes.push_back({"Worth", number(random_.between(1, 2000000))});
    }
    attributes.push_back({"Icon", number(random_.between(10000, 300000))});
    if (random_.chance(300)) {
        std::string flags = random_.pick(kFlags);
        if (random_.chance(500)) flags += std::string(" ") + random_.pick(kFlags);
        attributes.push_back({"Flags", flags});
    }
    if (random_.chance(10) && !attributes.empty()) // a name given twice
        attributes.push_back({attributes.front().name, "Again" + forge_.word()});
    if (random_.chance(10)) attributes.push_back({"Remark", ""}); // an empty value

    for (Pair& attribute : attributes) {
        std::vector<Pair> pairs;
        if (random_.chance(300)) {
            pairs.push_back({"Value", std::move(attribute.value)});
            pairs.push_back({"Name", std::move(attribute.name)});
        } else {
            pairs.push_back({"Name", std::move(attribute.name)});
            pairs.push_back({"Value", std::move(attribute.value)});
        }
        writeTag(out, "Attribute", std::move(pairs), true);
        maybeComment(out, 1);
    }
}

void cItemFileWriter::writeSkillValues(std::string& out, const char* tag, const char* const* skills,
                                       int skillCount, int count) {
    const int first = random_.between(0, skillCount - 1);
    for (int i = 0; i < count; ++i) {
        // Distinct skills mostly; now and then the same skill twice.
        const int skill = random_.chance(10) ? first : (first + i * 3) % skillCount;
        std::vector<Pair> pairs;
        Pair nameP{"Name", skills[skill]};
        Pair percentP{"Percent", number(random_.chance(20) ? 0 : random_.between(5, 100))};
        if (random_.chance(250)) {
            pairs.push_back(percentP);
            pairs.push_back(nameP);
        } else {
            pairs.push_back(nameP);
            pairs.push_back(percentP);
        }
        writeTag(out, tag, std::move(pairs), true);
    }
}

cItemFileWriter::Pair cItemFileWriter::requirementPair(const char* name) {
    if (std::string(name) == "Stat") return {name, random_.pick(kStats)};
    if (std::string(name) == "Operator") return {name, random_.pick(kOperators)};
    if (std::string(name) == "Target") return {name, random_.pick(kTargets)};
    return {name, random_.chance(10) ? std::string() : number(random_.between(0, 3000))};
}

void cItemFileWriter::writeRequirement(std::string& out) {
    if (random_.chance(10)) {
        out += "<Requirement />";
        return;
    } // an empty set
    std::vector<Pair> pairs;
    pairs.push_back(requirementPair("Stat"));
    pairs.push_back(requirementPair("Operator"));
    pairs.push_back(requirementPair("Value"));
    if (random_.chance(200)) pairs.push_back(requirementPair("Target"));
    if (random_.chance(200)) std::swap(pairs[0], pairs[2]);
    if (random_.chance(5)) pairs.push_back({"Stat", random_.pick(kStats)}); // repeated name
    writeTag(out, "Requirement", std::move(pairs), true);
}

void cItemFileWriter::writeFunction(std::string& out) {
    std::vector<Pair> pairs;
    pairs.push_back({"Name", random_.pick(kFunctionNames)});
    pairs.push_back({"Target", random_.pick(kTargets)});
    if (random_.chance(600)) {
        pairs.push_back({"TickCount", number(random_.between(1, 20))});
        pairs.push_back({"TickInterval", number(random_.between(0, 600))});
    }
    if (random_.chance(120)) { // no body
        writeTag(out, "Function", std::move(pairs), true);
        return;
    }
    writeTag(out, "Function", std::move(pairs), false);
    const int requirements = random_.chance(600) ? 0 : random_.between(1, 3);
    for (int i = 0; i < requirements; ++i)
        writeRequirement(out);
    const int arguments = random_.between(1, 3);
    for (int i = 0; i < arguments; ++i) {
        std::vector<Pair> argument;
        const std::uint32_t form = random_.below(1000);
        if (form < 10)
            argument.push_back({"Value", ""});
        else if (form < 15) {
            argument.push_back({"Value", "First"});
            argument.push_back({"Value", random_.pick(kStats)});
        } else if (form < 500)
            argument.push_back({"Value", random_.pick(kStats)});
        else
            argument.push_back({"Value", number(random_.between(-500, 5000))});
        writeTag(out, "Argument", std::move(argument), true);
    }
    if (random_.chance(10)) // ignored quietly inside a function body
        writeTag(out, random_.pick(kUnknownTags), {{"Text", forge_.word()}}, true);
    out += "</Function>";
}

void cItemFileWriter::writeEvents(std::string& out, int itemType, bool nano) {
    int events;
    const std::uint32_t roll = random_.below(100);
    events = roll < 30 ? 0 : roll < 78 ? 1 : roll < 96 ? 2 : 3;
    for (int e = 0; e < events; ++e) {
        std::string eventName = nano ? random_.pick(kNanoEvents) : kEventNames[itemType][e % 3];
        if (random_.chance(5))
            eventName.clear(); // an event without a usable name
        else if (e > 0 && random_.chance(5))
            eventName = kEventNames[itemType][0]; // given twice
        writeTag(out, "Event", {{"Name", eventName}}, false);
        const int functions = random_.between(1, 3);
        for (int f = 0; f < functions; ++f) {
            writeFunction(out);
            maybeComment(out, 2);
        }
        if (random_.chance(2)) // an unexpected tag at the event level
            writeTag(out, random_.pick(kUnknownTags), {{"Kind", forge_.word()}}, true);
        out += "</Event>";
    }
}

void cItemFileWriter::writeActions(std::string& out, int itemType, bool nano) {
    const std::uint32_t roll = random_.below(100);
    const int actions = roll < 30 ? 0 : roll < 80 ? 1 : 2;
    for (int a = 0; a < actions; ++a) {
        const char* name = nano ? random_.pick(kNanoActions) : kActionNames[itemType][a];
        writeTag(out, "Action", {{"Name", random_.chance(3) ? std::string() : std::string(name)}},
                 false);
        const int sets = random_.between(1, 3);
        for (int s = 0; s < sets; ++s)
            writeRequirement(out);
        out += "</Action>";
    }
}

} // namespace quarry
