// The import with a cache, differentially: every import through the cache
// must show what an import without one shows of the same file (index, tree,
// query results, item reports); whether the cache served it is asked apart.
#include "cache/cache_file.h"
#include "cache/cache_folder.h"
#include "cache/cached_import.h"
#include "report/item_report.h"
#include "search/query_evaluator.h"
#include "store/store_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace quarry {
namespace {

namespace fs = std::filesystem;

// Queries over every field the index gathers.
const char* const kQueries[] = {"ion",       "type:weapon",   "attr:slot",     "req:renown",
                                "ql:1-50",   "is:nano",       "folder:weapon", "-e",
                                "arg:grace", "atk:needlework"};

std::string contentOf(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// What one import shows, one line per fact, and whether the cache served it.
struct cView {
    std::vector<std::string> lines;
    bool fromCache = false;
};

cView importView(const std::string& path, const std::string& cacheFolder) {
    cItemStore store;
    cFakeProgress progress;
    cFakeMessages messages;
    cFakeTree tree;
    cQueryIndex queries;
    cCachedImport import(store, progress, messages, cacheFolder);
    const cImportResult result = import.run(path, tree, queries);
    queries.commitPending();
    cView view{{}, import.fromCache()};
    const auto add = [&view](const auto&... parts) {
        std::ostringstream line;
        ((line << parts << '\t'), ...);
        view.lines.push_back(line.str());
    };
    add("result", int(result.outcome), result.loaded, result.filed, result.itemTagsMisplaced);
    for (const cIndexEntry& entry : *store.index())
        add("index", entry.zrid, entry.position, writeItemReport(store, entry.zrid, messages));
    for (const cFakeTree::Node& node : tree.nodes)
        add("node", node.label, node.data, node.parent, node.expanded);
    for (const char* query : kQueries)
        for (const std::uint32_t item : runQuery(queries, parseQuery(query).query, true).items)
            add("found", query, queries.zrid(item));
    return view;
}

class CachedImport : public ::testing::Test {
protected:
    std::string cacheFile() const { return cacheFileFor(folder_, absolutePathOf(items_.path())); }

    cTempItemFile items_{contentOf(QUARRY_SAMPLE_ITEMS)};
    std::string folder_ = items_.sibling("cache");
    cView uncached_ = importView(items_.path(), "");
};

TEST_F(CachedImport, ReopenShowsWhatAFullImportShows) {
    ASSERT_GT(uncached_.lines.size(), 300u);
    const cView first = importView(items_.path(), folder_);
    EXPECT_FALSE(first.fromCache);
    EXPECT_EQ(first.lines, uncached_.lines);
    const cView second = importView(items_.path(), folder_);
    EXPECT_TRUE(second.fromCache);
    EXPECT_EQ(second.lines, uncached_.lines);

    cItemStore store;
    cFakeProgress progress;
    cFakeMessages messages;
    cCachedImport scanOnly(store, progress, messages, folder_);
    ASSERT_TRUE(scanOnly.scan(items_.path()));
    EXPECT_TRUE(scanOnly.fromCache());
    cItemStore scanned;
    scanned.scanItemFile(items_.path(), progress);
    EXPECT_TRUE(std::equal(store.index()->begin(), store.index()->end(), scanned.index()->begin(),
                           scanned.index()->end(), [](const cIndexEntry& a, const cIndexEntry& b) {
                               return a.zrid == b.zrid && a.position == b.position;
                           }));
}

TEST_F(CachedImport, FileOfTheSameSizeAndTimeIsNotServedFromTheCache) {
    importView(items_.path(), folder_);
    const fs::file_time_type changed = fs::last_write_time(items_.path());
    std::string swapped = contentOf(items_.path());
    const std::size_t name = swapped.find("Name=\"") + 6;
    swapped[name] = swapped[name] == 'Q' ? 'R' : 'Q'; // same size, another first name
    items_.write(swapped);
    fs::last_write_time(items_.path(), changed);
    const cView reopened = importView(items_.path(), folder_);
    EXPECT_FALSE(reopened.fromCache);
    EXPECT_EQ(reopened.lines, importView(items_.path(), "").lines);
    EXPECT_NE(reopened.lines, uncached_.lines);
}

TEST_F(CachedImport, DamagedCacheFallsBackToAFullImport) {
    importView(items_.path(), folder_);
    const std::string sound = contentOf(cacheFile());
    const std::size_t size = sound.size();
    struct cDamage {
        std::size_t cut;  // bytes kept
        std::size_t flip; // byte inverted, when below the cut
    };
    const cDamage damages[] = {{0, size},        {7, size},        {100, size},
                               {size / 2, size}, {size - 1, size}, {size, 0},
                               {size, 12},       {size, 60},       {size, size / 3},
                               {size, size / 2}, {size, size - 9}, {size, size - 1}};
    for (const cDamage& damage : damages) {
        std::string bytes = sound.substr(0, damage.cut);
        if (damage.flip < bytes.size()) bytes[damage.flip] = char(~bytes[damage.flip]);
        std::ofstream(cacheFile(), std::ios::binary | std::ios::trunc) << bytes;
        const cView reopened = importView(items_.path(), folder_);
        EXPECT_FALSE(reopened.fromCache) << damage.cut << " " << damage.flip;
        EXPECT_EQ(reopened.lines, uncached_.lines) << damage.cut << " " << damage.flip;
        EXPECT_EQ(contentOf(cacheFile()), sound); // the fallback wrote it afresh
    }
}

TEST_F(CachedImport, KeepsTheCachesOfTheLastFiveFiles) {
    // A writer killed before its rename leaves a temporary file behind.
    fs::create_directories(folder_);
    const std::string orphan = temporaryNameOf(cacheFile(), INT32_MAX);
    std::ofstream(orphan) << "half a cache";
    std::vector<std::string> files;
    for (std::size_t i = 0; i < kCacheFilesKept + 2; ++i) {
        files.push_back(items_.sibling("items" + std::to_string(i) + ".xml"));
        fs::copy_file(items_.path(), files.back());
        EXPECT_FALSE(importView(files.back(), folder_).fromCache);
    }
    std::size_t caches = 0;
    for (const fs::directory_entry& file : fs::directory_iterator(folder_))
        caches += file.path().extension() == kCacheSuffix;
    EXPECT_EQ(caches, kCacheFilesKept);
    EXPECT_FALSE(fs::exists(orphan));
    EXPECT_FALSE(importView(files.front(), folder_).fromCache);
    EXPECT_TRUE(importView(files.back(), folder_).fromCache);
}

} // namespace
} // namespace quarry
