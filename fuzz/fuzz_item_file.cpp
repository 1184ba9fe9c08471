// The item file path: the input becomes an item file, which is scanned; every
// indexed item is loaded and reported, and the category tree is built into a
// stand-in tree control. The file is also read chunk by chunk with tiny block
// and chunk sizes and compared with a reading at the normal sizes, which
// drives the stream across every block boundary and through its chunk cap.
#include "fuzz_hosts.h"
#include "platform/rich_text.h"
#include "report/item_report.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace quarry {

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

const std::string& itemFilePath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string p = std::string(folder && *folder ? folder : "/tmp") + "/quarry-fuzz-" +
                        std::to_string(::getpid()) + ".xml";
        std::atexit([] { std::remove(itemFilePath().c_str()); });
        return p;
    }();
    return path;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The same chunks and positions whatever the block sizes; a chunk longer than
// the cap keeps its first bytes.
void compareStreams(const std::string& path, std::size_t size, const char* delimiters) {
    cStreamLimits tiny;
    tiny.firstBlock = 1 + size % 5;
    tiny.maxBlock = tiny.firstBlock + size % 11;
    tiny.chunkLimit = 1 + size % 17;
    cFilteredStream reference(path);
    cFilteredStream small(path, tiny);
    require(reference.totalSize() == size && small.totalSize() == size);
    for (std::size_t reads = 0; reads <= size + 1; ++reads) {
        const bool more = reference.readLines(1, delimiters);
        const bool smallMore = small.readLines(1, delimiters);
        require(more == smallMore);
        require(reference.tell() == small.tell() && reference.tell() <= size);
        require(small.text() == reference.text().substr(0, tiny.chunkLimit));
        require(reference.percentRead() >= 0 && reference.percentRead() <= 100);
        if (!more) {
            require(reference.tell() == size);
            return;
        }
    }
    std::abort(); // every read but the last consumes at least one byte
}

} // namespace

} // namespace quarry

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarry;
    const std::string& path = itemFilePath();
    writeFile(path, data, size);

    compareStreams(path, size, ">");
    compareStreams(path, size, "<");

    cItemStore store;
    cFuzzProgress progress;
    cFuzzMessages messages;
    require(static_cast<bool>(store.scanItemFile(path, progress)));
    for (const cIndexEntry& entry : *store.index()) {
        require(entry.position < size);
        cItemRecord record;
        const bool loaded = store.loadItem(entry.zrid, record, messages);
        const std::string report = writeItemReport(store, entry.zrid, messages);
        require(loaded == (report != kFailedToLoadText));
        if (loaded) {
            require(record.zrid != 0 && !record.name.empty());
            // What the report pane would show.
            toPlainText(readRichText(report));
        }
    }
    cFuzzTree tree;
    store.buildCategoryTree(tree, progress, messages);
    require(tree.size() >= 1);
    return 0;
}
