#include "word_forge.h"

namespace quarry {

namespace {

const char* const kSyllables[] = {
    "vor", "kel", "tha", "zin", "mar", "ul",  "qua", "rix", "del", "oth", "ny",  "fen",
    "gar", "sol", "ith", "bra", "kor", "vel", "xan", "ryn", "tor", "mi",  "sha", "dun",
    "el",  "ak",  "ze",  "pho", "lum", "gri", "yss", "orn", "cae", "tev", "hal", "jun",
};

const char* const kWeaponNouns[] = {
    "Ion Lance",  "Shardbow",  "Thumper", "Arc Whip",    "Glaive",      "Pulse Carbine",
    "Flux Blade", "Gravsling", "Needler", "Hewing Disc", "Stormcaster", "Riven Maul",
};
const char* const kArmorNouns[] = {
    "Visor",  "Greaves", "Cuirass", "Pauldron", "Gauntlets", "Sabatons",  "Mantle",
    "Bracer", "Collar",  "Signet",  "Hood",     "Vambrace",  "Shellcoat",
};
const char* const kUtilityNouns[] = {
    "Scanner", "Lens", "Beacon", "Core", "Module", "Capacitor", "Waist Rig", "Lattice Chip",
};
const char* const kMiscNouns[] = {
    "Shard", "Token", "Crate", "Canister", "Relay", "Fragment", "Ledger", "Spool", "Vial",
};
const char* const kImplantNouns[] = {
    "Neurograft", "Ocular Graft", "Spine Lattice", "Cortex Seed", "Pulse Node",
};
const char* const kSpiritNouns[] = {"Wisp", "Echo", "Shade", "Glimmer", "Murmur"};
const char* const kNpcNouns[] = {"Warden",    "Drifter",   "Sentinel",
                                 "Matriarch", "Scavenger", "Oracle"};
const char* const kNanoNouns[] = {
    "Surge",      "Veil",  "Mending Pulse", "Lattice Ward", "Quickening", "Stillness",
    "Ember Rain", "Gleam", "Torrent",       "Hush",         "Bastion",
};
const char* const kOtherNouns[] = {"Oddment", "Curio", "Remnant", "Husk"};
const char* const kAdjectives[] = {
    "Gleaming", "Rusted", "Hollow", "Radiant", "Frayed", "Tempered", "Ashen",
    "Vivid",    "Quiet",  "Jagged", "Lucent",  "Sunken", "Brazen",   "Pale",
};
const char* const kRanks[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X"};

const char* const kProseWords[] = {
    "the",     "a",       "of",     "and",     "with",    "from",  "under",   "beyond", "when",
    "its",     "every",   "light",  "hum",     "shell",   "edge",  "current", "field",  "surface",
    "grip",    "weight",  "signal", "glows",   "shivers", "holds", "bends",   "drinks", "remembers",
    "answers", "carries", "wakes",  "faintly", "slowly",  "warm",  "cold",    "old",    "bright",
    "dim",     "heavy",   "thin",   "strange", "wearer",  "owner", "maker",   "forge",  "tide",
    "storm",   "dust",    "ring",   "seam",    "wire",
};

const char* const kRoughBits[] = {
    "\\", "{", "}", "{braces}", "back\\slash", "&amp;", "\xE9", "\xC4t\xE9r",
};

} // namespace

std::string cWordForge::word() {
    std::string result;
    const int syllables = random_.chance(700) ? 2 : 3;
    for (int i = 0; i < syllables; ++i)
        result += random_.pick(kSyllables);
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
    return result;
}

std::string cWordForge::itemName(int itemType, bool nano) {
    const char* noun;
    if (nano) {
        noun = random_.pick(kNanoNouns);
    } else {
        switch (itemType) {
        case 0:
            noun = random_.pick(kWeaponNouns);
            break;
        case 1:
            noun = random_.pick(kArmorNouns);
            break;
        case 2:
            noun = random_.pick(kUtilityNouns);
            break;
        case 3:
            noun = random_.pick(kMiscNouns);
            break;
        case 4:
            noun = random_.pick(kImplantNouns);
            break;
        case 5:
            noun = random_.pick(kSpiritNouns);
            break;
        case 6:
            noun = random_.pick(kNpcNouns);
            break;
        default:
            noun = random_.pick(kOtherNouns);
            break;
        }
    }
    switch (random_.below(5)) {
    case 0:
        return word() + "'s " + noun;
    case 1:
        return std::string(random_.pick(kAdjectives)) + " " + noun;
    case 2:
        return std::string(noun) + " of " + word();
    case 3:
        return word() + " " + noun + " Mk " + random_.pick(kRanks);
    default:
        return std::string(random_.pick(kAdjectives)) + " " + word() + " " + noun;
    }
}

std::string cWordForge::sentence() {
    std::string result = word();
    const int words = random_.between(5, 16);
    for (int i = 0; i < words; ++i) {
        result += ' ';
        result += random_.chance(120) ? word() : std::string(random_.pick(kProseWords));
        if (i + 1 < words && random_.chance(60)) result += ',';
    }
    result += random_.chance(100) ? "!" : ".";
    return result;
}

std::string cWordForge::description(std::size_t length, bool rough) {
    std::string result;
    bool roughPlaced = false;
    while (result.size() < length) {
        if (!result.empty()) result += random_.chance(150) ? "\n\n" : " ";
        result += sentence();
        if (rough && !roughPlaced && random_.chance(400)) {
            result += ' ';
            result += random_.pick(kRoughBits);
            roughPlaced = true;
        }
    }
    if (rough && !roughPlaced) {
        result += ' ';
        result += random_.pick(kRoughBits);
    }
    return result;
}

} // namespace quarry
