// A SQLite connection for writing a database in bulk, which keeps the first
// failure as the failing statement's name and SQLite's own message for it
// ("INSERT INTO items: UNIQUE constraint failed: items.zrid"), read right
// where it happened, before any later call can replace it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quarry {

class cRowBatch;
struct cCell;

class cSqliteConnection {
public:
    cSqliteConnection() = default;
    ~cSqliteConnection();
    cSqliteConnection(const cSqliteConnection&) = delete;
    cSqliteConnection& operator=(const cSqliteConnection&) = delete;

    // Opens (or creates) the database file for use by one thread at a time.
    bool open(const std::string& path);
    // Runs every statement of `sql` in order, up to the first that fails.
    bool execute(std::string_view sql);
    // Makes the statement running now on another thread fail soon.
    void interrupt();
    // Closes the database; a failure to close is a failure too.
    bool close();

    // Keeps `statement` failed with `code`, unless an earlier failure is kept.
    bool fail(std::string_view statement, int code);
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

// An INSERT prepared for several rows at once (fewer steps, and the table's
// cursor stays where the last row went) and for one row, which puts the rows
// of one table of a batch into the database.
class cSqliteInsert {
public:
    cSqliteInsert() = default;
    ~cSqliteInsert();
    cSqliteInsert(const cSqliteInsert&) = delete;
    cSqliteInsert& operator=(const cSqliteInsert&) = delete;

    // `sqlFor(rows)` is the statement that inserts `rows` rows of `columns`
    // values each; up to `rowsAtOnce` rows go in one step.
    template <typename SqlFor>
    bool prepare(cSqliteConnection& connection, std::size_t columns, std::size_t rowsAtOnce,
                 SqlFor sqlFor) {
        columns_ = columns;
        rowsAtOnce_ = rowsAtOnce;
        return (rowsAtOnce == 1 || prepareOne(connection, sqlFor(rowsAtOnce), many_)) &&
               prepareOne(connection, sqlFor(1), one_);
    }
    // Inserts `cells` (whole rows) whose texts are held by `batch`.
    bool insert(cSqliteConnection& connection, const cRowBatch& batch, const cCell* cells,
                std::size_t count);
    // Releases the statements; the connection can close only after this.
    void finalize();

private:
    bool prepareOne(cSqliteConnection& connection, const std::string& sql,
                    sqlite3_stmt*& statement);
    bool run(cSqliteConnection& connection, sqlite3_stmt* statement, const cRowBatch& batch,
             const cCell* cells, std::size_t count);

    sqlite3_stmt* many_ = nullptr;
    sqlite3_stmt* one_ = nullptr;
    std::size_t columns_ = 0;
    std::size_t rowsAtOnce_ = 1;
    std::string name_;
};

// What a statement is called in a message: its first words up to the first
// parenthesis or the words ON, VALUES and USING ("CREATE INDEX items_name").
std::string statementName(std::string_view sql);

} // namespace quarry
