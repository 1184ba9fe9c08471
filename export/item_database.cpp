#include "export/item_database.h"

#include "platform/windows_1252.h"
#include "store/item_record.h"

#include <sqlite3.h>

#include <string_view>
#include <vector>

namespace quarry {

namespace {

// The tables, in the order of kTableSql; each has one insert statement.
enum eTable {
    kItems,
    kAttributes,
    kSkills,
    kRequirements,
    kFunctions,
    kFunctionRequirements,
    kArguments,
    kFolders,
    kTableCount
};

struct cTableSql {
    const char* name;
    const char* columns;
};

constexpr cTableSql kTableSql[kTableCount] = {
    {"items", "zrid INTEGER PRIMARY KEY, name TEXT, ql INTEGER, type TEXT, nano INTEGER, "
              "description TEXT"},
    {"attributes", "zrid INTEGER, name TEXT, value TEXT"},
    {"skills", "zrid INTEGER, kind TEXT, name TEXT, percent INTEGER"},
    {"requirements", "zrid INTEGER, action TEXT, set_no INTEGER, name TEXT, value TEXT"},
    {"functions", "zrid INTEGER, event TEXT, function_no INTEGER, name TEXT, value TEXT"},
    {"function_requirements",
     "zrid INTEGER, event TEXT, function_no INTEGER, set_no INTEGER, name TEXT, value TEXT"},
    {"arguments", "zrid INTEGER, event TEXT, function_no INTEGER, arg_no INTEGER, value TEXT"},
    {"folders", "zrid INTEGER, path TEXT"},
};

constexpr const char* kIndexSql = "CREATE INDEX items_name ON items(name);"
                                  "CREATE INDEX attributes_name_value ON attributes(name, value);"
                                  "CREATE INDEX folders_path ON folders(path);";

// The database file is a temporary one until it is complete (cReplacingFile):
// nothing needs a journal or waits for the disk.
constexpr const char* kOpenSql = "PRAGMA journal_mode=OFF;"
                                 "PRAGMA synchronous=OFF;"
                                 "PRAGMA locking_mode=EXCLUSIVE;";

std::string createSql(const cTableSql& table) {
    return std::string("CREATE TABLE ") + table.name + "(" + table.columns + ");";
}

std::string insertSql(const cTableSql& table) {
    std::string sql = std::string("INSERT INTO ") + table.name + " VALUES(?";
    for (const char* c = table.columns; *c != '\0'; ++c)
        if (*c == ',') sql += ",?";
    return sql + ")";
}

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A prepared insert: values are bound left to right, then run() inserts the row.
class cInsert {
public:
    cInsert() = default;
    cInsert(const cInsert&) = delete;
    cInsert& operator=(const cInsert&) = delete;
    ~cInsert() { sqlite3_finalize(statement_); }

    bool prepare(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement_,
                               nullptr) != SQLITE_OK)
            return false;
        utf8_.resize(std::size_t(sqlite3_bind_parameter_count(statement_)) + 1);
        return true;
    }
    // Text from the item file, as UTF-8. The bound bytes must live until run():
    // ASCII is bound where it lies, other text from a buffer of the parameter.
    cInsert& text(std::string_view windows1252) {
        std::string_view bound = windows1252;
        if (!isAscii(windows1252)) {
            std::string& buffer = utf8_[next_];
            buffer.clear();
            for (const char c : windows1252)
                appendWindows1252(buffer, static_cast<unsigned char>(c));
            bound = buffer;
        }
        sqlite3_bind_text(statement_, next_++, bound.data(), static_cast<int>(bound.size()),
                          SQLITE_STATIC);
        return *this;
    }
    cInsert& number(std::int64_t value) {
        sqlite3_bind_int64(statement_, next_++, value);
        return *this;
    }
    cInsert& null() {
        sqlite3_bind_null(statement_, next_++);
        return *this;
    }
    // A list position, counted from 1.
    cInsert& position(std::size_t index) { return number(std::int64_t(index) + 1); }
    bool run() {
        next_ = 1;
        const int result = sqlite3_step(statement_);
        sqlite3_reset(statement_);
        return result == SQLITE_DONE;
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    int next_ = 1;
    std::vector<std::string> utf8_;
};

using cPair = cRequirementSet::value_type;

// Each name-value pair of a map, or none (nullptr) for a map without pairs.
template <typename Write> void eachPairOrNone(const cRequirementSet& pairs, Write write) {
    if (pairs.empty()) write(static_cast<const cPair*>(nullptr));
    for (const cPair& pair : pairs)
        write(&pair);
}

} // namespace

// The connection is declared first so that it closes after the statements are finalized.
class cItemDatabaseWriter::cDatabase {
public:
    struct cConnection {
        sqlite3* db = nullptr;
        ~cConnection() { sqlite3_close(db); }
    } connection;
    cInsert inserts[kTableCount];

    std::string lastError() const { return sqlite3_errmsg(connection.db); }
    bool run(const std::string& sql) {
        return sqlite3_exec(connection.db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    bool writeItem(const cItemRecord& item, const std::vector<std::string>& folders);

private:
    // The name and value of a pair, or NULL and NULL for none.
    static cInsert& pair(cInsert& insert, const cPair* pair) {
        return pair != nullptr ? insert.text(pair->first).text(pair->second) : insert.null().null();
    }
};

bool cItemDatabaseWriter::cDatabase::writeItem(const cItemRecord& item,
                                               const std::vector<std::string>& folders) {
    bool ok = true;
    const ZRID zrid = item.zrid;
    cInsert& itemRow = inserts[kItems].number(zrid).text(item.name).number(item.ql);
    if (item.itemType >= 0 && item.itemType < kItemTypeCount)
        itemRow.text(kItemTypeNames[item.itemType]);
    else
        itemRow.null();
    ok &= itemRow.number(item.isNano).text(item.description).run();

    for (const auto& [name, value] : item.attributes)
        ok &= inserts[kAttributes].number(zrid).text(name).text(value).run();
    for (const auto& [name, percent] : item.atkValues)
        ok &= inserts[kSkills].number(zrid).text("attack").text(name).number(percent).run();
    for (const auto& [name, percent] : item.defValues)
        ok &= inserts[kSkills].number(zrid).text("defense").text(name).number(percent).run();

    cInsert& requirement = inserts[kRequirements];
    for (const auto& actionEntry : item.actions) {
        // Named, not a structured binding: lambdas below capture it.
        const std::string& action = actionEntry.first;
        const auto& sets = actionEntry.second;
        if (sets.empty()) ok &= requirement.number(zrid).text(action).null().null().null().run();
        for (std::size_t set = 0; set < sets.size(); ++set)
            eachPairOrNone(sets[set], [&](const cPair* entry) {
                ok &= pair(requirement.number(zrid).text(action).position(set), entry).run();
            });
    }

    for (const auto& eventEntry : item.events) {
        const std::string& event = eventEntry.first;
        const auto& functions = eventEntry.second;
        if (functions.empty())
            ok &= inserts[kFunctions].number(zrid).text(event).null().null().null().run();
        for (std::size_t fn = 0; fn < functions.size(); ++fn) {
            const cFunctionRecord& function = functions[fn];
            eachPairOrNone(function.attributes, [&](const cPair* entry) {
                cInsert& row = inserts[kFunctions].number(zrid).text(event).position(fn);
                ok &= pair(row, entry).run();
            });
            for (std::size_t set = 0; set < function.requirements.size(); ++set)
                eachPairOrNone(function.requirements[set], [&](const cPair* entry) {
                    cInsert& row = inserts[kFunctionRequirements].number(zrid).text(event);
                    ok &= pair(row.position(fn).position(set), entry).run();
                });
            for (std::size_t arg = 0; arg < function.arguments.size(); ++arg) {
                cInsert& row = inserts[kArguments].number(zrid).text(event).position(fn);
                ok &= row.position(arg).text(function.arguments[arg]).run();
            }
        }
    }

    for (const std::string& path : folders)
        ok &= inserts[kFolders].number(zrid).text(path).run();
    return ok;
}

cItemDatabaseWriter::cItemDatabaseWriter() = default;
cItemDatabaseWriter::~cItemDatabaseWriter() = default;

bool cItemDatabaseWriter::open(const std::string& path) {
    database_ = std::make_unique<cDatabase>();
    if (sqlite3_open_v2(path.c_str(), &database_->connection.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error_ = database_->connection.db != nullptr ? database_->lastError() : "out of memory";
        database_.reset();
        return false;
    }
    std::string schema = kOpenSql;
    for (const cTableSql& table : kTableSql)
        schema += createSql(table);
    schema += "BEGIN;";
    bool ok = database_->run(schema);
    for (int table = 0; ok && table < kTableCount; ++table)
        ok = database_->inserts[table].prepare(database_->connection.db,
                                               insertSql(kTableSql[table]));
    if (!ok) {
        error_ = database_->lastError();
        database_.reset();
    }
    return ok;
}

void cItemDatabaseWriter::itemLoaded(const cItemRecord& item, const cItemFolders& folders) {
    if (database_ == nullptr || !error_.empty()) return;
    if (!database_->writeItem(item, folders))
        error_ = database_->lastError();
    else
        ++items_;
}

bool cItemDatabaseWriter::finish() {
    if (database_ == nullptr) {
        if (error_.empty()) error_ = "the database is not open";
        return false;
    }
    if (error_.empty() && !database_->run(std::string(kIndexSql) + "COMMIT;"))
        error_ = database_->lastError();
    database_.reset();
    return error_.empty();
}

} // namespace quarry
