#include "field_queries.h"

namespace quarry {

const std::vector<std::string>& fieldQueries() {
    static const std::vector<std::string> queries = {
        "type:armor slot:head req:strength<400",
        "type:armor slot:head req:vigor<400",
        "type:weapon attr:range>40 atk:\"pulse carbines\"",
        "arg:3896",
        "ql:150-200 type:armor slot:head",
        "ql:>=250",
        "ql:<10 -is:nano",
        "id:100002",
        "id:>5000000",
        "type:none",
        "type:implant attr:cluster",
        "slot:belt or slot:hud1",
        "slot:neck slot:head",
        "is:nano attr:nanoschool=mending",
        "is:nano -attr:nanoschool=mending",
        "folder:armor/head",
        "folder:\"weapon/ion lances\" ql:>100",
        "folder:perk",
        "attr:worth>1000000",
        "attr:mass<=100 type:misc",
        "attr:flags~bound",
        "attr:flags=nodrop",
        "attr:flags!=nodrop",
        "attr:range=21",
        "attr:icon!=0 ql:1-20",
        "req:grace>=2000 req:kinesis",
        "req:level=1",
        "req:faction!=0 type:spirit",
        "atk:gravsling>=50",
        "def:\"parry arc\" def:deflect",
        "def:\"phase step\"<10",
        "action:tograft",
        "action:towield -action:touse",
        "event:onstruck or event:ongraft",
        "func:teleport event:onhit",
        "func:summon and not func:heal",
        "arg:grace arg:tenacity",
        "lance (type:weapon or type:misc) -ql:<100",
        "(atk:needlework or atk:\"flux blades\") and (def:dodge or def:\"ward shell\")",
        "not (type:armor or type:weapon or type:utility) ql:>200",
        "name:disc attr:range>=20",
        "\"ion lance\" ql:>200 -halzin",
    };
    return queries;
}

} // namespace quarry
