// The item store: the path of the imported item file, its identifier index,
// and everything that reads the file: the import scan, the tag reader, the
// record loader with its element parsers, and the category tree build.
//
// Re-entry. The scan and the tree build let window events run between chunks
// and between loads (cProgressHost::pumpMessages), and a message box runs its
// own event loop, so a load, or even a new import, may run in the middle of
// either. The index is therefore published as an immutable snapshot: a scan
// empties the store's index when it starts, builds its entries privately and
// publishes them when done; a tree build walks the snapshot it started with
// and holds its own file stream. Each import bumps a generation number; a
// scan or tree build that finds a newer import has begun stops early, leaving
// the newer import's results alone.
#pragma once

#include "store/file_stamp.h"
#include "store/item_index.h"
#include "store/store_host.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quarry {

class cFilteredStream;
class cItemRecord;
class cPattern;

class cItemStore {
public:
    cItemStore();

    // --- the index ---------------------------------------------------------
    const std::string& path() const { return path_; }
    std::optional<RecordPosition> findItem(ZRID zrid) const;
    // The current index, for walking in ascending unsigned identifier order.
    // The snapshot stays valid and unchanged whatever happens to the store.
    std::shared_ptr<const cItemIndex> index() const { return index_; }
    std::size_t itemCount() const { return index_->size(); }

    // --- the import scan ---------------------------------------------------
    // Replaces the path, empties the index, then reads the file tag by tag and
    // indexes every tag text that begins with "<Item" under its ZRID value at
    // the position of its "<", showing progress under "Scanning File". The
    // caller builds the category tree afterwards. False when a newer import
    // started during this one (from pumpMessages) and superseded it.
    // The identifier comes from group 0 of `identifierPattern` (kZridPattern,
    // compiled by the application at start-up) matched on each such tag.
    bool scanItemFile(const std::string& path, cProgressHost& progress,
                      const cPattern& identifierPattern);
    // The same with the identifier pattern compiled once for the whole program.
    bool scanItemFile(const std::string& path, cProgressHost& progress);
    // Makes a running scan or tree build stop at its next check, as a newer
    // import would: the scan answers false, the tree build returns early.
    // For a program that is closing: a cancelled scan leaves the index empty,
    // a cancelled build leaves the tree unfinished.
    void cancelImport() { ++generation_; }

    // --- loading -----------------------------------------------------------
    // Reads the item's record from the file into `record`. False, with the
    // record untouched, when the item is not indexed, the record cannot be
    // read or is not acceptable, or the file ends before "</Item>". Tags an
    // event or action does not expect are reported to `messages`.
    bool loadItem(ZRID zrid, cItemRecord& record, cMessageSink& messages) const;

    // Element parsers; each answers whether the element held a complete pair.
    static bool parseAttribute(std::string_view attributeText, cItemRecord& record);
    static bool parseAtkValue(std::string_view attributeText, cItemRecord& record);
    static bool parseDefValue(std::string_view attributeText, cItemRecord& record);
    // Read an "Event" or "Action" element after its opening tag, up to its
    // closing tag, into the record. False when the opening tag has no usable
    // "Name" (nothing is read then).
    static bool processEvent(std::string_view attributeText, cItemRecord& item,
                             cFilteredStream& stream, cMessageSink& messages);
    static bool processAction(std::string_view attributeText, cItemRecord& item,
                              cFilteredStream& stream, cMessageSink& messages);

    // --- the category tree -------------------------------------------------
    // Empties the tree, appends the category folders, loads every indexed
    // item and files it under its folders, moving the progress display (which
    // the caller has begun) every 100 filed items.
    // Every item that loads is also handed to `loaded`, when given.
    void buildCategoryTree(cTreeControl& tree, cProgressHost& progress, cMessageSink& messages,
                           cLoadedItemSink* loaded = nullptr) const;

private:
    // Loads the record at `position` of an open stream over the item file.
    static bool loadItemAt(cFilteredStream& stream, RecordPosition position, cItemRecord& record,
                           cMessageSink& messages);

    // Whether the item file is still the one the scan read.
    bool fileUnchangedSinceScan() const;

    std::string path_;
    cFileStamp scannedFile_;
    std::shared_ptr<const cItemIndex> index_;
    std::uint64_t generation_ = 0;
};

} // namespace quarry
