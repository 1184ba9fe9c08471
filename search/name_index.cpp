#include "search/name_index.h"

#include "search/name_text.h"
#include "store/item_record.h"

#include <algorithm>
#include <numeric>

namespace quarry {

void cNameIndex::itemLoaded(const cItemRecord& item) {
    add(item.zrid, item.name, item.ql);
}

bool cNameIndex::add(ZRID zrid, std::string_view name, std::int32_t ql) {
    if (name.size() > kMaxArenaBytes - names_.size() || entries_.size() >= UINT32_MAX) return false;
    entries_.push_back({zrid, ql, static_cast<std::uint32_t>(names_.size())});
    names_.append(name);
    appendFolded(name, folded_);
    for (const char c : name)
        ++byteCounts_[foldByte(static_cast<unsigned char>(c))];
    return true;
}

std::size_t cNameIndex::nameEnd(std::size_t position) const {
    return position + 1 < entries_.size() ? entries_[position + 1].offset : names_.size();
}

std::string_view cNameIndex::name(std::size_t position) const {
    const std::size_t start = nameStart(position);
    return std::string_view(names_).substr(start, nameEnd(position) - start);
}

std::string_view cNameIndex::foldedName(std::size_t position) const {
    const std::size_t start = nameStart(position);
    return std::string_view(folded_).substr(start, nameEnd(position) - start);
}

std::string_view cNameIndex::foldedArena() const {
    const std::size_t end =
        committed_ < entries_.size() ? entries_[committed_].offset : names_.size();
    return std::string_view(folded_).substr(0, end);
}

bool cNameIndex::nameOrderLess(std::size_t a, std::size_t b) const {
    const int order = foldedName(a).compare(foldedName(b));
    return order != 0 ? order < 0 : entries_[a].ql < entries_[b].ql;
}

void cNameIndex::commitPending() {
    if (committed_ == entries_.size()) return;
    std::vector<std::uint32_t> fresh(entries_.size() - committed_);
    std::iota(fresh.begin(), fresh.end(), static_cast<std::uint32_t>(committed_));
    const auto less = [this](std::size_t a, std::size_t b) { return nameOrderLess(a, b); };
    std::stable_sort(fresh.begin(), fresh.end(), less);

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
    ++generation_;
}

std::size_t cNameIndex::bytesHeld() const {
    return names_.capacity() + folded_.capacity() + entries_.capacity() * sizeof(cEntry);
}

} // namespace quarry
