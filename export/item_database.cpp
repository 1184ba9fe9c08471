#include "export/item_database.h"

#include "export/database_schema.h"
#include "export/database_thread.h"
#include "export/item_rows.h"
#include "store/item_record.h"

#include <sqlite3.h>

namespace quarry {

namespace {

// The database file is a temporary one until complete (cReplacingFile):
// nothing needs a journal or waits for the disk. Pages of 16 KiB rather than
// 4 KiB: a quarter as many to split, write out and pass on the way to a row.
constexpr const char* kBulkSql = "PRAGMA page_size=16384;"
                                 "PRAGMA secure_delete=OFF;PRAGMA journal_mode=OFF;"
                                 "PRAGMA synchronous=OFF;"
                                 "PRAGMA locking_mode=EXCLUSIVE;";
// The rows' page cache; once they are in, a smaller cache makes the index
// builds sort in parts that stay in the processor's caches, then merge them:
// less work than one large sort, or than parts sorted on helper threads.
constexpr const char* kTablesCacheSql = "PRAGMA cache_size=-65536;";
constexpr const char* kIndexesCacheSql = "PRAGMA cache_size=-2048;";
// The full-text index, made from the texts of `items` in one pass (cheaper
// than a statement per item): meanwhile it keeps 16 MiB of terms in memory
// rather than 1 (fewer parts to write; beyond 16, finding a term in memory
// costs more than the parts saved) and merges its parts only when asked. The
// settings are not kept, so later writers get the defaults.
constexpr const char* kItemTextBuildSql =
    "INSERT INTO item_text(item_text, rank) VALUES('automerge', 0);"
    "INSERT INTO item_text(item_text, rank) VALUES('hashsize', 16777216);"
    "INSERT INTO item_text(item_text) VALUES('rebuild');"
    "DELETE FROM item_text_config WHERE k IN ('automerge', 'hashsize');";

// SQLite counts its memory under a lock by default; the writers need no count.
void configureSqliteOnce() {
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)configured;
}

// The text of one SQL value (a quoted text, NULL for none) or statement.
std::string sqlPrintf(const char* format, auto... values) {
    char* sql = sqlite3_mprintf(format, values...);
    std::string text = sql != nullptr ? sql : "";
    sqlite3_free(sql);
    return text;
}

// The rows of `meta`: the item file's name (as the file system spells it),
// size and time, and the version of the program that wrote the database.
std::string metaSql(const cSourceFacts& source) {
    return sqlPrintf("INSERT INTO meta VALUES('source_file', %Q), ('source_size', %lld),"
                     "('source_modified', %Q), ('program_version', %Q);",
                     source.file.c_str(), static_cast<long long>(source.size),
                     source.modified.c_str(), QUARRY_VERSION);
}

std::vector<eTable> tablesButItemText() {
    std::vector<eTable> tables;
    for (int table = 0; table < kTableCount; ++table)
        if (table != kItemText) tables.push_back(eTable(table));
    return tables;
}

} // namespace

cItemDatabaseWriter::cItemDatabaseWriter(cProgressHost& progress) : progress_(progress) {}

cItemDatabaseWriter::~cItemDatabaseWriter() = default;

bool cItemDatabaseWriter::open(const std::string& path, const cSourceFacts& source) {
    configureSqliteOnce();
    thread_ = std::make_unique<cDatabaseThread>();
    thread_->setProgress(&progress_);
    if (thread_->open(path,
                      std::string(kBulkSql) + kTablesCacheSql +
                          "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";" +
                          createTablesSql() + "BEGIN;" + metaSql(source),
                      tablesButItemText()))
        return true;
    keepError();
    thread_.reset();
    return false;
}

void cItemDatabaseWriter::itemLoaded(const cItemRecord& item, const cItemFolders& folders) {
    if (thread_ == nullptr || thread_->failed()) return;
    appendItemRows(item, folders, *thread_);
    ++items_;
}

void cItemDatabaseWriter::keepError() {
    if (error_.empty() && thread_ != nullptr) error_ = thread_->error();
}

bool cItemDatabaseWriter::finish() {
    if (thread_ == nullptr) {
        if (error_.empty()) error_ = "the database is not open";
        return false;
    }
    thread_->finish([](cSqliteConnection& connection) {
        return connection.execute(std::string(kIndexesCacheSql) + createIndexesSql() +
                                  kItemTextBuildSql + "COMMIT;");
    });
    const bool written = thread_->wait(&progress_);
    if (!written) {
        keepError();
        abandon();
    }
    if (!written && error_.empty()) error_ = "the export was stopped";
    thread_.reset();
    return written;
}

void cItemDatabaseWriter::abandon() {
    if (thread_ == nullptr) return;
    thread_->abandon();
    thread_.reset();
}

} // namespace quarry
