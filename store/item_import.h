// One import of an item file, the only way the window and the command-line
// tool make one: the file is checked (a regular file that opens), scanned
// into the store's index under "Scanning File", then every indexed record is
// loaded once more by the category tree build under "Importing Item Data",
// which files it into the caller's tree and hands it, with its folders, to
// the caller's gatherer (the name and query indexes, an export's writer).
// Progress and messages go to the host interfaces the caller gives; the
// result says how the import ended, and after any failure nothing of it is
// left: the index and the tree are empty.
#pragma once

#include "store/item_store.h"
#include "store/tag_reader.h"

#include <string>

namespace quarry {

// The progress label of the tree build of an import.
inline constexpr const char* kImportingLabel = "Importing Item Data";

class cItemImport {
public:
    // The identifier pattern must outlive the store's loads (the window
    // compiles its own at start; the standard one serves everyone else).
    cItemImport(cItemStore& store, cProgressHost& progress, cMessageSink& messages,
                const cPattern& identifierPattern = standardIdentifierPattern())
        : store_(store), progress_(progress), messages_(messages),
          identifierPattern_(identifierPattern) {}

    // Whether the file can be imported: unreadable, with the reason, when it
    // is not a regular file that opens for reading. Nothing is read.
    static cImportResult check(const std::string& path);
    // Scans a checked file into the store's index; readFailed, with the
    // reason and the index empty, when a read fails.
    cImportResult scan(const std::string& path);
    // Builds the category tree of the scanned file into `tree`, handing every
    // item that loads to `gatherer` when given.
    cImportResult buildTree(cTreeControl& tree, cLoadedItemSink* gatherer = nullptr);
    // The three in turn. After a failed scan the tree is built from the empty
    // index, so no node of an earlier import stays; after a failed tree build
    // (a read error, a changed file) the index is emptied too; after a
    // refused file nothing changes.
    cImportResult run(const std::string& path, cTreeControl& tree,
                      cLoadedItemSink* gatherer = nullptr);

private:
    cItemStore& store_;
    cProgressHost& progress_;
    cMessageSink& messages_;
    const cPattern& identifierPattern_;
};

} // namespace quarry
