#include "report/report_sections.h"

#include "store/item_record.h"

namespace quarry {

namespace {

// One name = value pair of a requirement set: grey name, two spaces after the value.
template <typename RequirementSet>
void appendRequirementPairs(cReportText& out, const RequirementSet& set) {
    for (const auto& [name, value] : set)
        out.markup("{\\cf2 ").text(name).markup(" = }").text(value).markup("  ");
}

// "Attack skill" with one skill, "Attack skills" with more; none: no line.
template <typename SkillMap>
void appendSkillLine(cReportText& out, std::string_view heading, const SkillMap& skills) {
    if (skills.empty()) return;
    out.markup("{\\tx2000 {\\b ")
        .markup(heading)
        .markup(skills.size() == 1 ? ":} \\tab" : "s:} \\tab");
    for (const auto& [skill, percent] : skills)
        out.markup("  ").text(skill).markup(" ").number(percent).markup("%");
    out.markup(" } \\line");
}

template <typename FunctionRecord>
void appendFunction(cReportText& out, const FunctionRecord& function) {
    for (const auto& [name, value] : function.attributes)
        out.markup(" {\\cf2 ").text(name).markup(" = }").text(value).markup(" ");
    if (!function.arguments.empty()) {
        out.markup(" : ");
        for (const auto& argument : function.arguments)
            out.markup(" ").text(argument).markup(" ");
    }
    if (!function.requirements.empty()) {
        out.markup(" \\line\\tab if:");
        for (const auto& set : function.requirements) {
            out.markup(" \\line\\tab ");
            appendRequirementPairs(out, set);
        }
    }
    out.markup(" \\line");
}

} // namespace

void appendReportHeader(cReportText& out) {
    out.markup("{\\rtf\\ansi")
        .markup("{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}");
}

void appendTitle(cReportText& out, const cItemRecord& item) {
    out.markup("ZRID ").number(item.recordZrid).markup(": {\\b ").text(item.name).markup("}");
    if (!item.isNano) out.markup(" (QL ").number(item.ql).markup(")");
}

void appendDescription(cReportText& out, const cItemRecord& item) {
    out.markup("\\line \\line \\qj{").text(item.description).markup("}");
}

// The heading is there even when the item has no attributes.
void appendAttributes(cReportText& out, const cItemRecord& item) {
    out.markup("\\line \\line \\cf2-[{\\cf1\\b\\i Attributes}]-\\cf1 \\line \\line");
    for (const auto& [name, value] : item.attributes)
        out.markup("{\\tx2000 {\\b ")
            .text(name)
            .markup(":} \\tab ")
            .text(value)
            .markup(" } \\line");
}

void appendSkillLines(cReportText& out, const cItemRecord& item) {
    appendSkillLine(out, "Attack skill", item.atkValues);
    appendSkillLine(out, "Defense skill", item.defValues);
}

void appendActions(cReportText& out, const cItemRecord& item) {
    if (item.actions.empty()) return;
    out.markup(" \\line \\cf2-[{\\cf1\\b\\i Actions}]-\\cf1 \\line \\line");
    for (const auto& [name, requirementSets] : item.actions) {
        out.markup("{\\b ").text(name).markup("} \\pard");
        for (const auto& set : requirementSets) {
            out.markup(" \\line ");
            appendRequirementPairs(out, set);
        }
        out.markup(" \\line");
    }
}

void appendEvents(cReportText& out, const cItemRecord& item) {
    if (item.events.empty()) return;
    out.markup(" \\line \\cf2-[{\\cf1\\b\\i Events}]-\\cf1 \\line \\line");
    for (const auto& [name, functions] : item.events) {
        out.markup("{\\b ").text(name).markup("} \\pard\\tx250\\line");
        for (const auto& function : functions)
            appendFunction(out, function);
    }
}

void appendReportEnd(cReportText& out) {
    out.markup("}");
}

} // namespace quarry
