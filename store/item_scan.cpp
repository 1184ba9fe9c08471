// The import scan: one pass over the item file that remembers, for every item
// start tag, the position of its "<" under the tag's ZRID value.
#include "pattern/pattern.h"
#include "store/decimal_text.h"
#include "store/filtered_stream.h"
#include "store/item_store.h"
#include "store/tag_reader.h"
#include "store/work_pacer.h"

#include <deque>
#include <future>
#include <vector>

namespace quarry {

cImportResult cItemStore::scanItemFile(const std::string& path, cProgressHost& progress) {
    return scanItemFile(path, progress, standardIdentifierPattern());
}

void cItemStore::adoptIndex(const std::string& path, const cFileStamp& scanned,
                            std::shared_ptr<const cItemIndex> index,
                            const cPattern& identifierPattern) {
    path_ = path;
    identifierPattern_ = &identifierPattern;
    scannedFile_ = scanned;
    index_ = std::move(index);
}

cImportResult cItemStore::scanItemFile(const std::string& path, cProgressHost& progress,
                                       const cPattern& identifierPattern) {
    path_ = path;
    identifierPattern_ = &identifierPattern;
    scannedFile_ = cFileStamp::of(path);
    // Entries of an earlier file would be read from this one at their old
    // positions: start empty, and let readers see nothing until the scan is done.
    index_ = std::make_shared<const cItemIndex>();

    cFilteredStream stream(path, limits_);
    cWorkPacer pacer(progress);
    stream.setWatcher(&pacer);
    progress.beginProgress("Scanning File", 0);
    // File order; the first of an identifier wins. A deque grows without
    // moving what it holds: millions of entries are never copied at once.
    std::deque<cIndexEntry> found;
    std::uint32_t counter = 0;
    std::string tag;
    cPatternMatch context(256); // one context for the whole scan: no allocation per item
    bool tagsMisplaced = false;
    for (;;) {
        RecordPosition position = stream.tell();
        // Until the first record every chunk is looked at (for the note
        // below); after it, the stream passes over the chunks no record
        // starts with without handing them out.
        const bool more = found.empty()
                              ? stream.readLines(1, ">")
                              : stream.readLinesBeginningWith(kItemRecordStart, ">", position);
        const std::string& chunk = stream.text();
        if (startsItemRecord(chunk)) {
            // Room for the '>' first: a capped 16 MiB chunk is copied once, not
            // again into a doubled buffer, so the event loop is not kept waiting.
            tag.reserve(chunk.size() + 1);
            tag.assign(chunk).push_back('>');
            found.push_back(cIndexEntry{
                parseDecimal(identifierTextOf(tag, identifierPattern, context)), position});
            if (++counter % 100 == 0) progress.setProgress(stream.percentRead());
        } else if (found.empty() && !tagsMisplaced) {
            // Why a file indexes nothing: "<Item" after a line break or a
            // blank. Looked for only until the first item, so a sound file
            // pays one test per chunk before it.
            tagsMisplaced = chunk.find(kItemRecordStart) != std::string::npos;
        }
        pacer.step();
        if (!more) break;
    }
    progress.endProgress();
    if (progress.stopRequested()) return {cImportResult::eOutcome::stopped, {}};
    // A failed read may have shifted or cut what was found, and a file that
    // changed meanwhile may have given a mix of two: none of it is used.
    if (stream.failed()) return {cImportResult::eOutcome::readFailed, stream.failure()};
    if (!fileUnchangedSinceScan()) return {cImportResult::eOutcome::changed, {}};
    cImportResult scanned;
    scanned.itemTagsMisplaced = found.empty() && tagsMisplaced;
    // Sorting millions of entries takes longer than the window may wait for a
    // turn: the sort runs beside while this thread keeps dispatching events.
    std::future<cItemIndex> sorted = std::async(std::launch::async, [&found] {
        return cItemIndex::fromFileOrder(std::vector<cIndexEntry>(found.begin(), found.end()));
    });
    while (sorted.wait_for(cWorkPacer::kInterval) != std::future_status::ready)
        pacer.pumpIfDue();
    index_ = std::make_shared<const cItemIndex>(sorted.get());
    return scanned;
}

} // namespace quarry
