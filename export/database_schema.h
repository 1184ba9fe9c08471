// The tables of an exported item database, named once: the writer makes them
// from this list, fills them in its order and indexes them from it.
//
// Every table begins with the item's identifier: the key of `items`, and in
// every other table a reference to it with an index that begins with it. A
// table whose rows have a natural key (its first columns, never NULL) is
// stored in that key's order (WITHOUT ROWID), which is then its index on the
// identifier; the others keep row numbers and get an index on it.
#pragma once

#include <cstddef>
#include <string>

namespace quarry {

enum eTable {
    kItems,
    kAttributes,
    kSkills,
    kRequirements,
    kFunctions,
    kFunctionRequirements,
    kArguments,
    kFolders,
    kSlots,
    kItemText, // the full-text index over names and descriptions, made from `items`
    kTableCount
};

// PRAGMA user_version of a database made from these tables.
inline constexpr int kSchemaVersion = 1;

// The name of a table, as SQL statements and error messages name it.
const char* tableName(eTable table);
// How many values a row of the table holds, identifier included.
std::size_t columnCount(eTable table);

// Every statement that makes the empty tables (and the tables of facts about
// the export) with their indexes on the identifier, in order.
std::string createTablesSql();
// Every statement that makes the other indexes, best made once the rows are
// in, and the summaries made from the rows.
std::string createIndexesSql();
// An INSERT of `rows` rows of values into the table, each value a parameter.
std::string insertSql(eTable table, std::size_t rows);
// How many rows one INSERT is best made for.
inline constexpr std::size_t kRowsPerInsert = 128;

// The statement that inserts one fact (name, value) into `meta`.
inline constexpr const char* kInsertMetaSql = "INSERT INTO meta VALUES(?,?)";

} // namespace quarry
