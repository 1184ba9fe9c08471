// The item store: the path of the imported item file, its identifier index,
// and everything that reads the file: the import scan, the tag reader, the
// record loader with its element parsers, and the category tree build.
//
// Re-entry. The scan and the tree build let window events run between chunks
// and between loads (cProgressHost::pumpMessages), so a load may run in the
// middle of either; the front ends refuse a second import or an export
// meanwhile (cItemImport is the one way to import). The index is published
// as an immutable snapshot: a scan empties the store's index when it starts,
// builds its entries privately and publishes them when done, and a tree
// build walks the snapshot it started with and holds its own file streams.
// Closing the program stops either at its next dispatch
// (cProgressHost::stopRequested).
//
// Reading. A read error fails the scan or the tree build it happens in, and no
// index or tree is built from what was read. A load checks that its position
// still holds the requested item by the scan's own rule, so a file replaced
// by one of the same size and time loads nothing wrong. A text longer than
// the stream keeps (cStreamLimits::chunkLimit) fails the item's load with a
// message saying which text it was.
#pragma once

#include "store/file_stamp.h"
#include "store/filtered_stream.h"
#include "store/item_index.h"
#include "store/store_host.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quarry {

class cItemRecord;
class cPattern;
class cPatternMatch;

// The caption of the messages about an item that cannot be loaded.
inline constexpr const char* kLoadMessageCaption = "cItemStore::loadItem";

// How a scan or a tree build ended.
struct cImportResult {
    enum class eOutcome {
        done,
        stopped,    // the program is ending (cProgressHost::stopRequested)
        unreadable, // not a regular file that can be opened (nothing was read)
        readFailed, // the file could not be read
        changed,    // the file changed while it was read: what was read is not used
    };
    eOutcome outcome = eOutcome::done;
    std::string failure; // unreadable, readFailed: the system's reason and where
    // What a scan or tree build that ended done found. A scan that indexed
    // nothing notes whether the file holds "<Item" where no record can start
    // (not right after a '>'); a tree build counts the items that loaded and
    // those of them filed under at least one folder.
    bool itemTagsMisplaced = false;
    std::uint64_t loaded = 0;
    std::uint64_t filed = 0;

    explicit operator bool() const { return outcome == eOutcome::done; }
    bool readFailed() const { return outcome == eOutcome::readFailed; }
};

class cRecordReader;

class cItemStore {
public:
    // Every stream over the item file uses `limits` (tests shrink them).
    explicit cItemStore(const cStreamLimits& limits = cStreamLimits());

    // --- the index ---------------------------------------------------------
    const std::string& path() const { return path_; }
    std::optional<RecordPosition> findItem(ZRID zrid) const;
    // The current index, for walking in ascending unsigned identifier order.
    // The snapshot stays valid and unchanged whatever happens to the store.
    std::shared_ptr<const cItemIndex> index() const { return index_; }
    std::size_t itemCount() const { return index_->size(); }
    // Empties the index: nothing of an import that failed is kept.
    void forgetIndex();

    // --- the import scan ---------------------------------------------------
    // Replaces the path, empties the index, then reads the file tag by tag and
    // indexes every tag text that begins with "<Item" under its ZRID value at
    // the position of its "<", showing progress under "Scanning File". The
    // caller builds the category tree afterwards. readFailed, with the index
    // left empty, when a read fails.
    // The identifier comes from group 0 of `identifierPattern` (kZridPattern,
    // compiled by the application at start-up) matched on each such tag; the
    // pattern must outlive the loads of this import, which check it again.
    cImportResult scanItemFile(const std::string& path, cProgressHost& progress,
                               const cPattern& identifierPattern);
    // The same with the identifier pattern compiled once for the whole program.
    cImportResult scanItemFile(const std::string& path, cProgressHost& progress);

    // Takes `index` as the scan's of the file at `path` in the state
    // `scanned` (kept from an earlier scan of the same bytes): the same as
    // scanItemFile() without reading the file.
    void adoptIndex(const std::string& path, const cFileStamp& scanned,
                    std::shared_ptr<const cItemIndex> index, const cPattern& identifierPattern);

    // --- loading -----------------------------------------------------------
    // Reads the item's record from the file into `record`. False, with the
    // record untouched, when the item is not indexed, its position no longer
    // holds it, the record cannot be read or is not acceptable, or the file
    // ends before the record does. Tags an event or action does not expect,
    // a text too long to keep and a failed read are reported to `messages`.
    // `why`, when given, says which of these it was.
    enum class eLoadFailure { none, notIndexed, notLoadable, changed, readFailed };
    bool loadItem(ZRID zrid, cItemRecord& record, cMessageSink& messages,
                  eLoadFailure* why = nullptr) const;

    // Element parsers; each answers whether the element held a complete pair.
    static bool parseAttribute(std::string_view attributeText, cItemRecord& record);
    static bool parseAtkValue(std::string_view attributeText, cItemRecord& record);
    static bool parseDefValue(std::string_view attributeText, cItemRecord& record);
    // Read an "Event" or "Action" element after its opening tag, up to its
    // closing tag or the record's stop, into the record. False when the
    // opening tag has no usable "Name" (nothing is read then).
    static bool processEvent(std::string_view attributeText, cItemRecord& item,
                             cRecordReader& reader, cMessageSink& messages);
    static bool processAction(std::string_view attributeText, cItemRecord& item,
                              cRecordReader& reader, cMessageSink& messages);

    // --- the category tree -------------------------------------------------
    // Empties the tree, appends the category folders, loads every indexed
    // item and files it under its folders, moving the progress display (which
    // the caller has begun) every 100 filed items.
    // Every item that loads is also handed to `loaded`, when given, with the
    // folders it was filed under. readFailed, with the tree emptied, when a
    // read fails.
    cImportResult buildCategoryTree(cTreeControl& tree, cProgressHost& progress,
                                    cMessageSink& messages,
                                    cLoadedItemSink* loaded = nullptr) const;
    // How many threads the tree build loads records on; 0 (the default): one
    // per processor.
    void setLoadWorkers(unsigned workers) { loadWorkers_ = workers; }

private:
    // How one load ended: moved when the position no longer holds the item's
    // record (the file changed since the scan).
    enum class eLoad { loaded, failed, moved };
    // Loads the record of `zrid` at `position` of a stream over the item file;
    // the next record's start, when there is one, bounds the record. Uses
    // nothing of the store, so tree build workers may call it.
    static eLoad loadItemAt(cFilteredStream& stream, const cPattern& identifierPattern, ZRID zrid,
                            RecordPosition position, std::optional<RecordPosition> nextStart,
                            cItemRecord& record, cMessageSink& messages,
                            cPatternMatch& identifierContext);

    // Whether the item file is still the one the scan read.
    bool fileUnchangedSinceScan() const;

    cStreamLimits limits_;
    const cPattern* identifierPattern_ = nullptr;
    std::string path_;
    cFileStamp scannedFile_;
    std::shared_ptr<const cItemIndex> index_;
    unsigned loadWorkers_ = 0;
};

} // namespace quarry
