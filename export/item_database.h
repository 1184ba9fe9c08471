// Export as a SQLite database: every item the category tree build loads, as
// the rows of item_rows.h in the tables of database_schema.h. The rows are
// gathered in batches on the calling thread and inserted by a thread of the
// database's own while the next items load, in one transaction with prepared
// statements. Then that thread makes the indexes that sort rows by something
// other than the item (faster than keeping them up to date) and the full-text
// index, from the rows of `items` in one pass.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quarry {

class cDatabaseThread;
class cItemRecord;

// What the database says of the item file it was made from, in `meta`.
struct cSourceFacts {
    std::string file; // its name, without folders
    std::int64_t size = 0;
    std::string modified; // when it last changed, "YYYY-MM-DDTHH:MM:SSZ"
};

class cItemDatabaseWriter : public cLoadedItemSink {
public:
    // Waits for the writer thread let `progress` dispatch window events.
    explicit cItemDatabaseWriter(cProgressHost& progress);
    ~cItemDatabaseWriter() override;

    // Opens the database at `path` (a new or empty file), makes the tables,
    // notes the facts and begins the transaction. False with the reason in
    // error() on failure.
    bool open(const std::string& path, const cSourceFacts& source);
    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override;
    // Inserts the rest, makes the indexes, commits and closes the database.
    // False with the reason in error() when this or any earlier step failed.
    bool finish();
    // Stops writing and closes the database without finishing it.
    void abandon();

    const std::string& error() const { return error_; }
    std::uint64_t itemCount() const { return items_; }

private:
    // The reason the thread failed for, when none is kept yet.
    void keepError();

    cProgressHost& progress_;
    std::unique_ptr<cDatabaseThread> thread_;
    std::string error_;
    std::uint64_t items_ = 0;
};

} // namespace quarry
