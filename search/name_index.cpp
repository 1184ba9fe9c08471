#include "search/name_index.h"

#include "search/name_text.h"
#include "store/item_record.h"

#include <algorithm>

namespace quarry {

namespace {

std::size_t pairSlot(char first, char second) {
    return std::size_t(static_cast<unsigned char>(first)) << 8 | static_cast<unsigned char>(second);
}

} // namespace

void cNameIndex::itemLoaded(const cItemRecord& item) {
    add(item.zrid, item.name, item.ql);
}

bool cNameIndex::add(ZRID zrid, std::string_view name, std::int32_t ql) {
    if (name.size() > kMaxArenaBytes - names_.size() || entries_.size() >= UINT32_MAX) return false;
    entries_.push_back({zrid, ql, static_cast<std::uint32_t>(names_.size())});
    names_.append(name);
    appendFolded(name, folded_);
    pairCounts_.resize(256 * 256);
    const std::string_view added = std::string_view(folded_).substr(folded_.size() - name.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        ++byteCounts_[static_cast<unsigned char>(added[i])];
        if (i > 0) ++pairCounts_[pairSlot(added[i - 1], added[i])];
    }
    return true;
}

std::string_view cNameIndex::foldedArena() const {
    const std::size_t end =
        committed_ < entries_.size() ? entries_[committed_].offset : names_.size();
    return std::string_view(folded_).substr(0, end);
}

std::uint64_t cNameIndex::pairCount(unsigned char first, unsigned char second) const {
    return pairCounts_.empty() ? 0 : pairCounts_[pairSlot(char(first), char(second))];
}

bool cNameIndex::nameOrderLess(std::size_t a, std::size_t b) const {
    const int order = foldedName(a).compare(foldedName(b));
    return order != 0 ? order < 0 : entries_[a].ql < entries_[b].ql;
}

void cNameIndex::commitPending() {
    if (committed_ == entries_.size()) return;
    // Most names differ in their first sixteen bytes: sort by those as two
    // numbers first, and compare whole names only where they agree.
    struct cSortKey {
        std::uint64_t high;
        std::uint64_t low;
        std::uint32_t item;
    };
    std::vector<cSortKey> keys;
    keys.reserve(entries_.size() - committed_);
    for (std::size_t item = committed_; item < entries_.size(); ++item) {
        const std::string_view folded = foldedName(item);
        const auto number = [&](std::size_t from) {
            std::uint64_t value = 0;
            for (std::size_t i = from; i < from + sizeof value; ++i)
                value =
                    value << 8 | (i < folded.size() ? static_cast<unsigned char>(folded[i]) : 0);
            return value;
        };
        keys.push_back(
            {number(0), number(sizeof(std::uint64_t)), static_cast<std::uint32_t>(item)});
    }
    const auto less = [this](std::size_t a, std::size_t b) { return nameOrderLess(a, b); };
    std::sort(keys.begin(), keys.end(), [&](const cSortKey& a, const cSortKey& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        if (less(a.item, b.item)) return true;
        return !less(b.item, a.item) && a.item < b.item; // equal names keep index order
    });
    std::vector<std::uint32_t> fresh;
    fresh.reserve(keys.size());
    for (const cSortKey& key : keys)
        fresh.push_back(key.item);
    std::vector<cSortKey>().swap(keys);

    std::string names;
    std::string foldedNames;
    std::vector<cEntry> entries;
    names.reserve(names_.size());
    foldedNames.reserve(folded_.size());
    entries.reserve(entries_.size());
    const auto take = [&](std::size_t i) {
        entries.push_back(
            {entries_[i].zrid, entries_[i].ql, static_cast<std::uint32_t>(names.size())});
        names.append(name(i));
        foldedNames.append(foldedName(i));
    };
    // Merge: on equal name and QL the committed item came earlier in index order.
    std::size_t old = 0;
    for (const std::uint32_t item : fresh) {
        while (old < committed_ && !less(item, old))
            take(old++);
        take(item);
    }
    while (old < committed_)
        take(old++);

    names_.swap(names);
    folded_.swap(foldedNames);
    entries_.swap(entries);
    committed_ = entries_.size();
    ++generation_;
}

void cNameIndex::clear() {
    std::string().swap(names_);
    std::string().swap(folded_);
    std::vector<cEntry>().swap(entries_);
    committed_ = 0;
    byteCounts_.fill(0);
    std::vector<std::uint32_t>().swap(pairCounts_);
    ++generation_;
}

std::size_t cNameIndex::bytesHeld() const {
    return names_.capacity() + folded_.capacity() + entries_.capacity() * sizeof(cEntry) +
           pairCounts_.capacity() * sizeof(std::uint32_t);
}

} // namespace quarry
