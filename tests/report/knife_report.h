// The knife: an item with one of each section (an attribute, an attack
// skill, an action with one requirement set, an event with one function), and
// its report byte for byte.
#pragma once

#include "store/item_record.h"

#include <string>

namespace quarry {

inline cItemRecord knifeRecord() {
    cItemRecord item(1234, "Knife");
    item.ql = 10;
    item.description = "Sharp";
    item.attributes.emplace("Mass", "5");
    item.atkValues.emplace("Melee", 100);
    item.actions["Wield"].push_back({{"Stat", "Strength"}});
    cFunctionRecord hit;
    hit.attributes.emplace("Name", "Hit");
    hit.arguments.push_back("5");
    item.events["OnUse"].push_back(hit);
    return item;
}

inline const std::string kKnifeReport =
    R"({\rtf\ansi{\colortbl;\red0\green0\blue0;\red128\green128\blue128;}ZRID 1234: {\b Knife} (QL 10))"
    R"(\line \line \qj{Sharp}\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line)"
    R"({\tx2000 {\b Mass:} \tab 5 } \line{\tx2000 {\b Attack skill:} \tab  Melee 100% } \line)"
    R"( \line \cf2-[{\cf1\b\i Actions}]-\cf1 \line \line{\b Wield} \pard \line {\cf2 Stat = }Strength  )"
    R"( \line \line \cf2-[{\cf1\b\i Events}]-\cf1 \line \line{\b OnUse} \pard\tx250\line )"
    R"({\cf2 Name = }Hit  :  5  \line})";

// What a reader of the knife's report sees.
inline const std::string kKnifePlainText =
    "ZRID 1234: Knife (QL 10)\n\nSharp\n\n-[Attributes]-\n\nMass: \t5  \n"
    "Attack skill: \t Melee 100%  \n\n-[Actions]-\n\nWield \nStat = Strength   \n"
    "\n-[Events]-\n\nOnUse \nName = Hit  :  5  \n";

} // namespace quarry
