// quarry-cli diff [--format text|jsonl] OLD NEW: imports both files and
// prints, in index order of the union of identifiers, each item that is only
// in NEW (+), only in OLD (-), or in both but different (~, then one line per
// changed member). Items that fail to load count as absent.
//
// Memory stays small for large files: OLD's items are kept as digests only;
// NEW's are compared as its tree build loads them, and OLD's record is loaded
// again only for an item that differs.
#include "cli/cli_common.h"
#include "report/item_difference.h"
#include "report/item_json.h"
#include "store/discarding_tree.h"
#include "store/item_record.h"

#include <cstdint>
#include <map>
#include <vector>

namespace quarry {

namespace {

struct cItemDigest {
    ZRID zrid;
    std::uint64_t digest;
    std::uint32_t folders; // into cDigestCollector::folderLists
};

// OLD's items as digests, and their folders: the lists a loaded record lacks,
// kept once each (a file has a few hundred).
class cDigestCollector : public cLoadedItemSink {
public:
    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override {
        const auto [known, added] =
            listNumbers_.emplace(folders, static_cast<std::uint32_t>(folderLists.size()));
        if (added) folderLists.push_back(folders);
        items.push_back(cItemDigest{item.zrid, itemDigest(item, folders), known->second});
    }
    std::vector<cItemDigest> items;
    std::vector<cItemFolders> folderLists;

private:
    std::map<cItemFolders, std::uint32_t> listNumbers_;
};

// One difference as the chosen format writes it.
void appendDifference(std::string& out, bool json, char sign, ZRID zrid, const std::string& name,
                      const std::vector<cMemberChange>& changes) {
    if (!json) {
        out += sign;
        out += '\t' + std::to_string(zrid) + '\t';
        appendUtf8Field(out, name);
        out += '\n';
        for (const cMemberChange& change : changes) {
            out += '\t';
            appendUtf8Field(out, change.path);
            out += '\t' + change.before + " -> " + change.after + '\n';
        }
        return;
    }
    out += "{\"change\":\"";
    out += sign;
    out += "\",\"zrid\":";
    appendJson(out, zrid);
    out += ",\"name\":";
    appendJson(out, name);
    if (sign == '~') {
        out += ",\"members\":[";
        for (const cMemberChange& change : changes) {
            if (&change != &changes.front()) out += ',';
            out += "{\"path\":";
            appendJson(out, change.path);
            out += ",\"old\":" + change.before + ",\"new\":" + change.after + '}';
        }
        out += ']';
    }
    out += "}\n";
}

// Walks NEW's items, as its tree build loads them, against OLD's digests; both
// come in index order, ascending identifiers read as unsigned numbers.
class cDifferenceWriter : public cLoadedItemSink {
public:
    cDifferenceWriter(const cItemStore& older, const cDigestCollector& olderItems, bool json,
                      cCliOutput& out)
        : older_(older), olderItems_(olderItems.items), olderFolders_(olderItems.folderLists),
          json_(json), out_(out) {}

    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override {
        const auto zrid = static_cast<std::uint32_t>(item.zrid);
        while (next_ < olderItems_.size() && std::uint32_t(olderItems_[next_].zrid) < zrid)
            removed(olderItems_[next_++].zrid);
        if (next_ == olderItems_.size() || olderItems_[next_].zrid != item.zrid) {
            write('+', item.zrid, item.name, {});
            return;
        }
        const cItemDigest& older = olderItems_[next_++];
        if (older.digest == itemDigest(item, folders)) return;
        cItemRecord before;
        if (loadOlder(item.zrid, before))
            write('~', item.zrid, item.name,
                  compareItems(before, olderFolders_[older.folders], item, folders));
    }
    // The items after NEW's last one.
    void finish() {
        while (next_ < olderItems_.size())
            removed(olderItems_[next_++].zrid);
    }

    bool differ() const { return differ_; }
    // Why an item of OLD no longer loaded when it was read again: OLD changed
    // on disk or could not be read while NEW was read; none when all loaded.
    cItemStore::eLoadFailure olderFailure() const { return olderFailure_; }

private:
    void removed(ZRID zrid) {
        cItemRecord before;
        if (loadOlder(zrid, before)) write('-', zrid, before.name, {});
    }
    bool loadOlder(ZRID zrid, cItemRecord& record) {
        cItemStore::eLoadFailure why = cItemStore::eLoadFailure::none;
        if (older_.loadItem(zrid, record, quiet_, &why)) return true;
        olderFailure_ = why;
        return false;
    }
    void write(char sign, ZRID zrid, const std::string& name,
               const std::vector<cMemberChange>& changes) {
        differ_ = true;
        text_.clear();
        appendDifference(text_, json_, sign, zrid, name, changes);
        out_.write(text_);
    }

    const cItemStore& older_;
    const std::vector<cItemDigest>& olderItems_;
    const std::vector<cItemFolders>& olderFolders_;
    bool json_;
    std::size_t next_ = 0;
    bool differ_ = false;
    cItemStore::eLoadFailure olderFailure_ = cItemStore::eLoadFailure::none;
    cQuietMessages quiet_; // OLD's messages were shown while it was imported
    cCliOutput& out_;
    std::string text_;
};

} // namespace

int runDiffCommand(const cArguments& args, cCliOutput& out) {
    std::optional<std::string> format;
    const cCommandLine line = readCommandLine(args, {{"--format", &format}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (format && *format != "text" && *format != "jsonl")
        return usageError("--format takes text or jsonl");
    const bool json = format == "jsonl";
    if (line.operands.size() != 2) return usageError("diff takes OLD and NEW");
    const std::string& olderPath = line.operands[0];
    const std::string& newerPath = line.operands[1];
    // NEW is checked before OLD's import, not after it.
    if (const cImportResult refused = cItemImport::check(newerPath); !refused) {
        printMessage("cannot read " + newerPath + ": " + refused.failure);
        return kExitUnreadableFile;
    }

    cCliSession older(line.quiet);
    if (const int status = older.scan(olderPath); status != kExitOk) return status;
    cDiscardingTree tree;
    cDigestCollector olderItems;
    if (const int status = older.buildTree(tree, &olderItems); status != kExitOk) return status;

    cCliSession newer(line.quiet);
    if (const int status = newer.scan(newerPath); status != kExitOk) return status;
    cDifferenceWriter difference(older.store(), olderItems, json, out);
    if (const int status = newer.buildTree(tree, &difference); status != kExitOk) return status;
    difference.finish();

    switch (difference.olderFailure()) {
    case cItemStore::eLoadFailure::none:
        break;
    case cItemStore::eLoadFailure::readFailed:
        printMessage("cannot read " + olderPath + ": a read failed while it was read again");
        return kExitUnreadableFile;
    default:
        printMessage("cannot read " + olderPath + ": it changed during the comparison");
        return kExitUnreadableFile;
    }
    return difference.differ() ? kExitFilesDiffer : kExitOk;
}

} // namespace quarry
