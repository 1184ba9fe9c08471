#include "export/item_database.h"

#include "export/database_schema.h"
#include "export/database_thread.h"
#include "export/item_rows.h"
#include "store/item_record.h"

#include <sqlite3.h>

namespace quarry {

namespace {

// The database files are temporary ones until complete (cReplacingFile):
// nothing needs a journal or waits for the disk.
constexpr const char* kBulkSql = "PRAGMA secure_delete=OFF;PRAGMA journal_mode=OFF;"
                                 "PRAGMA synchronous=OFF;"
                                 "PRAGMA locking_mode=EXCLUSIVE;";
// The rows' page cache; once they are in, a smaller cache makes the index
// builds sort in parts that stay in the processor's caches, then merge them:
// less work than one large sort, or than parts sorted on helper threads.
constexpr const char* kTablesCacheSql = "PRAGMA cache_size=-65536;";
constexpr const char* kIndexesCacheSql = "PRAGMA cache_size=-2048;";
// While it is built, the full-text index keeps its terms in memory longer
// and merges its parts only when asked; later writers get the defaults.
constexpr const char* kItemTextBuildSql =
    "PRAGMA cache_size=-16384;"
    "INSERT INTO item_text(item_text, rank) VALUES('automerge', 0);"
    "INSERT INTO item_text(item_text, rank) VALUES('hashsize', 33554432);"
    "BEGIN;";
constexpr const char* kItemTextDoneSql =
    "INSERT INTO item_text(item_text, rank) VALUES('automerge', 4);"
    "INSERT INTO item_text(item_text, rank) VALUES('hashsize', 1048576);"
    "COMMIT;";

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

// The two threads, and which rows go to which.
class cItemDatabaseWriter::cRouter : public cRowSink {
public:
    cRowBatch& beginRow(eTable table) override {
        return table == kItemText ? text.beginRow(table) : tables.beginRow(table);
    }
    bool failed() const { return tables.failed() || text.failed(); }

    // `tables` goes first (members go in reverse order): its thread may
    // still be waiting for the other's.
    cDatabaseThread text;
    cDatabaseThread tables;
};

cItemDatabaseWriter::cItemDatabaseWriter(cProgressHost& progress) : progress_(progress) {}

cItemDatabaseWriter::~cItemDatabaseWriter() = default;

bool cItemDatabaseWriter::open(const std::string& path, const std::string& scratchPath,
                               const cSourceFacts& source) {
    configureSqliteOnce();
    scratchPath_ = scratchPath;
    threads_ = std::make_unique<cRouter>();
    threads_->tables.setProgress(&progress_);
    threads_->text.setProgress(&progress_);
    const bool opened =
        threads_->text.open(scratchPath,
                            std::string(kBulkSql) + createItemTextSql() + kItemTextBuildSql,
                            {kItemText}) &&
        threads_->tables.open(path,
                              std::string(kBulkSql) + kTablesCacheSql +
                                  "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";" +
                                  createTablesSql() + "BEGIN;" + metaSql(source),
                              tablesButItemText());
    if (opened) return true;
    keepError();
    threads_.reset();
    return false;
}

void cItemDatabaseWriter::itemLoaded(const cItemRecord& item, const cItemFolders& folders) {
    if (threads_ == nullptr || threads_->failed()) return;
    appendItemRows(item, folders, *threads_);
    ++items_;
}

void cItemDatabaseWriter::keepError() {
    if (!error_.empty() || threads_ == nullptr) return;
    error_ = threads_->text.failed() && !threads_->text.error().empty() ? threads_->text.error()
                                                                        : threads_->tables.error();
}

bool cItemDatabaseWriter::finish() {
    if (threads_ == nullptr) {
        if (error_.empty()) error_ = "the database is not open";
        return false;
    }
    cDatabaseThread& text = threads_->text;
    text.finish([](cSqliteConnection& connection) { return connection.execute(kItemTextDoneSql); });
    threads_->tables.finish([&text, this](cSqliteConnection& connection) {
        const std::string copySql = "COMMIT;" +
                                    sqlPrintf("ATTACH %Q AS text;", scratchPath_.c_str()) +
                                    "BEGIN;" + copyItemTextSql("text") + "COMMIT;DETACH text;";
        return connection.execute(std::string(kIndexesCacheSql) + createIndexesSql()) &&
               text.wait(nullptr) && connection.execute(copySql);
    });
    // The text first: the tables' last step waits for it, out of reach of a stop.
    const bool written = text.wait(&progress_) && threads_->tables.wait(&progress_);
    if (!written) {
        keepError();
        abandon();
    }
    if (!written && error_.empty()) error_ = "the export was stopped";
    threads_.reset();
    return written;
}

void cItemDatabaseWriter::abandon() {
    if (threads_ == nullptr) return;
    threads_->tables.abandon();
    threads_->text.abandon();
    threads_.reset();
}

} // namespace quarry
