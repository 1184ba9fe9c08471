#include "export/sqlite_connection.h"

#include "export/item_rows.h"

#include <sqlite3.h>

namespace quarry {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string statementName(std::string_view sql) {
    constexpr int kMostWords = 4;
    std::string name;
    std::size_t at = 0;
    for (int words = 0; words < kMostWords; ++words) {
        while (at < sql.size() && isBlank(sql[at]))
            ++at;
        std::size_t end = at;
        while (end < sql.size() && !isBlank(sql[end]) && sql[end] != '(' && sql[end] != ';')
            ++end;
        const std::string_view word = sql.substr(at, end - at);
        if (word.empty() || word == "ON" || word == "VALUES" || word == "USING") break;
        if (!name.empty()) name += ' ';
        name += word;
        if (end < sql.size() && sql[end] != ' ') break;
        at = end;
    }
    return name;
}

cSqliteConnection::~cSqliteConnection() {
    sqlite3_close(db_);
}

bool cSqliteConnection::open(const std::string& path) {
    const int code =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) return true;
    return fail("open", code);
}

bool cSqliteConnection::fail(std::string_view statement, int code) {
    if (!error_.empty()) return false;
    // The connection's message belongs to the call that just failed; where it
    // has none (no connection, or it was cleared), the code's own text.
    const char* message =
        db_ != nullptr && sqlite3_errcode(db_) == code ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    error_ = std::string(statement) + ": " + message;
    return false;
}

bool cSqliteConnection::execute(std::string_view sql) {
    while (!sql.empty() && !failed()) {
        sqlite3_stmt* statement = nullptr;
        const char* rest = nullptr;
        int code =
            sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, &rest);
        const std::string_view text = sql.substr(0, std::size_t(rest - sql.data()));
        if (code != SQLITE_OK) return fail(statementName(text), code);
        if (text.empty()) break;
        sql.remove_prefix(text.size());
        if (statement == nullptr) continue; // white space after the last statement
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        }
        if (code != SQLITE_DONE) fail(statementName(text), code);
        sqlite3_finalize(statement);
    }
    return !failed();
}

void cSqliteConnection::interrupt() {
    if (db_ != nullptr) sqlite3_interrupt(db_);
}

bool cSqliteConnection::close() {
    const int code = sqlite3_close(db_);
    if (code != SQLITE_OK) return fail("close", code);
    db_ = nullptr;
    return !failed();
}

cSqliteInsert::~cSqliteInsert() {
    finalize();
}

void cSqliteInsert::finalize() {
    sqlite3_finalize(many_);
    sqlite3_finalize(one_);
    many_ = one_ = nullptr;
}

bool cSqliteInsert::prepareOne(cSqliteConnection& connection, const std::string& sql,
                               sqlite3_stmt*& statement) {
    name_ = statementName(sql);
    const int code = sqlite3_prepare_v3(connection.handle(), sql.c_str(), -1,
                                        SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    return code == SQLITE_OK || connection.fail(name_, code);
}

bool cSqliteInsert::run(cSqliteConnection& connection, sqlite3_stmt* statement,
                        const cRowBatch& batch, const cCell* cells, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const cCell& cell = cells[i];
        const int parameter = static_cast<int>(i) + 1;
        switch (cell.kind) {
        case cCell::eKind::null:
            sqlite3_bind_null(statement, parameter);
            break;
        case cCell::eKind::number:
            sqlite3_bind_int64(statement, parameter, cell.value);
            break;
        case cCell::eKind::text: {
            const std::string_view text = batch.textOf(cell);
            sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()),
                              SQLITE_STATIC);
            break;
        }
        }
    }
    const int code = sqlite3_step(statement);
    if (code != SQLITE_DONE) connection.fail(name_, code);
    sqlite3_reset(statement);
    return code == SQLITE_DONE;
}

bool cSqliteInsert::insert(cSqliteConnection& connection, const cRowBatch& batch,
                           const cCell* cells, std::size_t count) {
    const std::size_t manyCells = rowsAtOnce_ * columns_;
    for (; many_ != nullptr && count >= manyCells; cells += manyCells, count -= manyCells)
        if (!run(connection, many_, batch, cells, manyCells)) return false;
    for (; count >= columns_; cells += columns_, count -= columns_)
        if (!run(connection, one_, batch, cells, columns_)) return false;
    return true;
}

} // namespace quarry
