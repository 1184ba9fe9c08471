// What the item store needs of the program around it: a progress display, a
// way to keep the window answering during long work, the tree control the
// category tree is built into, and a place to report unexpected tags. The
// desktop program implements these with Qt, the command-line tool with the
// terminal, tests with fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

// An item identifier. Ordered as an unsigned 32-bit number in the index.
using ZRID = std::int32_t;

// A byte offset into the item file. 64 bits, so files above 4 GiB work.
using RecordPosition = std::uint64_t;

// An opaque handle of a tree node, 0 for none (and, as a parent, the top level).
using TreeItemHandle = std::uint64_t;

// The progress display of a long operation, and the dispatch of pending window
// events while it runs.
class cProgressHost {
public:
    virtual ~cProgressHost() = default;
    // Shows the display with a label; a start other than 0 sets the position.
    virtual void beginProgress(const std::string& label, std::int32_t start) = 0;
    // Moves the display to a position from 0 to 100.
    virtual void setProgress(std::int32_t position) = 0;
    // Removes the display.
    virtual void endProgress() = 0;
    // Lets pending window events run. Long work calls it about once per
    // cWorkPacer::kInterval, never more often.
    virtual void pumpMessages() = 0;
    // Whether the user asked the program to end: long work then stops at the
    // next place it dispatches events.
    virtual bool stopRequested() const { return false; }
};

// The tree control the category tree is built into.
class cTreeControl {
public:
    virtual ~cTreeControl() = default;
    // Removes every node.
    virtual void deleteAllItems() = 0;
    // Appends a node after the parent's last child (parent 0: the top level)
    // and returns its handle.
    virtual TreeItemHandle insertItem(const std::string& label, ZRID data,
                                      TreeItemHandle parent) = 0;
    // Expands the node so its children show (expand, not toggle).
    virtual void expand(TreeItemHandle item) = 0;
    // The build is about to file up to `items` items: room for their nodes
    // may be made at once, so appending never has to move what is there.
    virtual void expectItems(std::size_t /*items*/) {}

    // Room to make for that many items: a node each, a quarter more for the
    // folders and the items filed twice, and a label a little longer than a
    // name each. Room not used costs no memory until it is written.
    static std::size_t nodesFor(std::size_t items) { return items + items / 4; }
    static std::size_t labelBytesFor(std::size_t items) { return items * 32; }
};

class cItemRecord;
class cWorkPacer;

// The folders the tree build filed one item under, each as its path: the
// labels below the top node joined by "/" ("Weapon/Pulse Carbines"), in the
// tree's order; empty when the item is filed nowhere.
using cItemFolders = std::vector<std::string>;

// Receives every item the category tree build loads, in index order, once
// each, whether or not it is filed under a folder, with the folders it was
// filed under: what the indexes and the export gather without another pass
// over the file.
class cLoadedItemSink {
public:
    virtual ~cLoadedItemSink() = default;
    virtual void itemLoaded(const cItemRecord& item, const cItemFolders& folders) = 0;
    // Called on the worker that loaded `item`, before the build hands it to
    // itemLoaded: a sink drops what it never reads, so that the bulk of a
    // record is freed where it was read. It keeps what filing reads (name,
    // QL, type, nano flag, attack skills, the "Slot" attribute) and runs on
    // several workers at once.
    virtual void trimLoaded(cItemRecord& /*item*/) const {}
    // The build's pacer while it runs, null after: a sink whose work on one
    // item can be long (a record of a million attributes) steps it meanwhile,
    // so the window goes on answering.
    virtual void paceWith(cWorkPacer* /*pacer*/) {}
    // Up to `items` items will come (see cTreeControl::expectItems).
    virtual void expectItems(std::size_t /*items*/) {}
};

// Where a message about the item file goes: a modal message box in the window,
// standard error in the command-line tool.
class cMessageSink {
public:
    virtual ~cMessageSink() = default;
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
};

// Messages nobody needs to see again: about items reported on when they were
// imported, loaded once more.
class cQuietMessages : public cMessageSink {
public:
    void showMessage(const std::string&, const std::string&) override {}
};

} // namespace quarry
