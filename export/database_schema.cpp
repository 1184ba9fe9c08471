#include "export/database_schema.h"

namespace quarry {

namespace {

struct cTableSchema {
    const char* name;
    // The columns after the identifier, which every table has first.
    const char* columns;
    // The natural key the rows are stored by (beginning with zrid), or
    // nullptr for a table with row numbers and an index on zrid.
    const char* key;
    // Whether the columns of a requirement set follow.
    bool requirementSets = false;
};

constexpr const char* kItemKeySql = "zrid INTEGER PRIMARY KEY";
constexpr const char* kItemReferenceSql = "zrid INTEGER NOT NULL REFERENCES items(zrid)";
// A requirement set: its three usual pairs apart, the value also as a number,
// and every pair as one JSON object.
constexpr const char* kRequirementSetSql =
    "set_no INTEGER, stat TEXT, operator TEXT, value TEXT, number INTEGER, pairs TEXT";

constexpr cTableSchema kTables[kTableCount] = {
    {"items", "name TEXT, ql INTEGER, type TEXT, nano INTEGER, description TEXT", nullptr},
    {"attributes", "name TEXT NOT NULL, value TEXT, number INTEGER", "zrid, name"},
    {"skills", "kind TEXT NOT NULL, name TEXT NOT NULL, percent INTEGER", "zrid, kind, name"},
    {"requirements", "action TEXT", nullptr, true},
    {"functions", "event TEXT, function_no INTEGER, name TEXT, value TEXT", nullptr},
    {"function_requirements", "event TEXT NOT NULL, function_no INTEGER NOT NULL",
     "zrid, event, function_no, set_no", true},
    {"arguments", "event TEXT NOT NULL, function_no INTEGER NOT NULL, arg_no INTEGER, value TEXT",
     "zrid, event, function_no, arg_no"},
    {"folders", "path TEXT", nullptr},
    {"slots", "slot TEXT NOT NULL", "zrid, slot"},
    // Indexes the texts of `items` without a copy of them; tokens are runs of
    // letters, digits and 8-bit bytes, letters A-Z folded as Find folds them.
    {"item_text", "name, description", nullptr},
};

constexpr const char* kItemTextOptions =
    "content='items', content_rowid='zrid', tokenize='ascii', columnsize=0";

// Indexes for the questions people ask most: by name, by number, by place.
// Each leads to the item without reading its table (a table stored by its key
// has the key in its indexes anyway).
constexpr const char* kExtraIndexSql =
    "CREATE INDEX items_name ON items(name);"
    "CREATE INDEX attributes_number ON attributes(name, number);"
    "CREATE INDEX requirements_number ON requirements(stat, number, zrid);"
    "CREATE INDEX function_requirements_number ON function_requirements(stat, number);"
    "CREATE INDEX folders_path ON folders(path);"
    "CREATE INDEX slots_slot ON slots(slot);";

// Tables of their own rather than rows of items: facts about the export, and
// how many items have each attribute name (counting the attributes for it
// would read every one of them).
constexpr const char* kMetaSql = "CREATE TABLE meta(name TEXT PRIMARY KEY, value);"
                                 "CREATE TABLE attribute_names(name TEXT PRIMARY KEY, items "
                                 "INTEGER) WITHOUT ROWID;";
// Filled once the attributes are in; then the statistics the query planner
// chooses its indexes by, from a sample of each.
constexpr const char* kSummarySql =
    "INSERT INTO attribute_names SELECT name, COUNT(*) FROM attributes GROUP BY name;"
    "PRAGMA analysis_limit=1000;"
    "ANALYZE;";

bool isChild(int table) {
    return table != kItems && table != kItemText;
}

std::string columnsOf(int table) {
    const cTableSchema& schema = kTables[table];
    return schema.requirementSets ? std::string(schema.columns) + ", " + kRequirementSetSql
                                  : schema.columns;
}

std::string createItemTextSql() {
    return std::string("CREATE VIRTUAL TABLE ") + kTables[kItemText].name + " USING fts5(" +
           columnsOf(kItemText) + ", " + kItemTextOptions + ");";
}

} // namespace

const char* tableName(eTable table) {
    return kTables[table].name;
}

std::size_t columnCount(eTable table) {
    std::size_t count = 2; // the identifier and the first listed column
    for (const char c : columnsOf(table))
        count += c == ',' ? 1 : 0;
    return count;
}

std::string createTablesSql() {
    std::string sql = kMetaSql;
    for (int table = 0; table < kTableCount; ++table) {
        const cTableSchema& schema = kTables[table];
        if (table == kItemText) {
            sql += createItemTextSql();
            continue;
        }
        sql += std::string("CREATE TABLE ") + schema.name + "(" +
               (isChild(table) ? kItemReferenceSql : kItemKeySql) + ", " + columnsOf(table);
        sql += schema.key != nullptr
                   ? std::string(", PRIMARY KEY(") + schema.key + ")) WITHOUT ROWID;"
                   : std::string(");");
        // Rows come in identifier order, so this index only ever grows at its end.
        if (isChild(table) && schema.key == nullptr)
            sql +=
                std::string("CREATE INDEX ") + schema.name + "_zrid ON " + schema.name + "(zrid);";
    }
    return sql;
}

std::string createIndexesSql() {
    return std::string(kExtraIndexSql) + kSummarySql;
}

std::string insertSql(eTable table, std::size_t rows) {
    std::string row = "(?";
    for (std::size_t column = 1; column < columnCount(table); ++column)
        row += ",?";
    row += ")";
    std::string sql = std::string("INSERT INTO ") + kTables[table].name + " VALUES" + row;
    for (std::size_t more = 1; more < rows; ++more)
        sql += "," + row;
    return sql;
}

} // namespace quarry
