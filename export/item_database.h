// Export as a SQLite database: every item the category tree build loads, as
// rows of the tables below, in one transaction with prepared statements; the
// indexes are made after the rows, which is faster than keeping them up to date.
//
//   items(zrid INTEGER PRIMARY KEY, name, ql, type, nano, description)
//   attributes(zrid, name, value)
//   skills(zrid, kind, name, percent)            kind 'attack' or 'defense'
//   requirements(zrid, action, set_no, name, value)
//   functions(zrid, event, function_no, name, value)   the function's attributes
//   function_requirements(zrid, event, function_no, set_no, name, value)
//   arguments(zrid, event, function_no, arg_no, value)
//   folders(zrid, path)
//
// Lists are numbered from 1 in stored order. Something that holds no pairs (an
// empty requirement set, a function without attributes) is one row whose name
// and value are NULL, and an action without requirement sets or an event without
// functions one row whose number is NULL too, so no action, event or function
// is lost. Texts are written as UTF-8.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quarry {

class cItemRecord;

class cItemDatabaseWriter : public cLoadedItemSink {
public:
    cItemDatabaseWriter();
    ~cItemDatabaseWriter() override;

    // Opens the database at `path` (a new or empty file), makes the tables and
    // begins the transaction. False with the reason in error() on failure.
    bool open(const std::string& path);
    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override;
    // Commits, makes the indexes and closes the database. False with the
    // reason in error() when this or any earlier step failed.
    bool finish();

    const std::string& error() const { return error_; }
    std::uint64_t itemCount() const { return items_; }

private:
    class cDatabase;

    std::unique_ptr<cDatabase> database_;
    std::string error_;
    std::uint64_t items_ = 0;
};

} // namespace quarry
