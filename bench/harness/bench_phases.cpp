#include "bench_phases.h"

#include "bench_hosts.h"
#include "bench_stats.h"
#include "bench_tools.h"
#include "field_queries.h"
#include "gen/random_stream.h"
#include "name_queries.h"
#include "pattern_corpus.h"
#include "pcre_pattern.h"

#include "cache/cached_import.h"
#include "cache/content_hash.h"
#include "cli/recorded_tree.h"
#include "pattern/pattern.h"
#include "platform/rich_text.h"
#include "report/item_report.h"
#include "search/query_evaluator.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/tag_reader.h"

#include <pugixml.hpp>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace quarry {

namespace {

constexpr std::size_t kTypedQueries = 1000;
constexpr std::size_t kMisspelledQueries = 200;

void put(const char* key, double value) {
    std::printf("%s %.9g\n", key, value);
}

// "seconds" is CPU time, "wall_seconds" wall time.
void putTimes(const cStopwatch& watch) {
    put("seconds", watch.cpuSeconds());
    put("wall_seconds", watch.wallSeconds());
}

bool readWholeFile(const std::string& path, std::vector<char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

int phaseRead(const cPhaseOptions& options) {
    std::vector<char> bytes;
    const cStopwatch watch;
    if (!readWholeFile(options.path, bytes)) return 1;
    putTimes(watch);
    put("bytes", static_cast<double>(bytes.size()));
    return 0;
}

// The reference: a DOM of the whole file, parsed in place from memory.
int phasePugixml(const cPhaseOptions& options) {
    std::vector<char> bytes;
    if (!readWholeFile(options.path, bytes)) return 1;
    pugi::xml_document document;
    const cStopwatch watch;
    const pugi::xml_parse_result result = document.load_buffer_inplace(
        bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    putTimes(watch);
    put("status", static_cast<double>(result.status));
    put("error_offset", static_cast<double>(result.offset));
    std::size_t items = 0;
    for (pugi::xml_node node = document.document_element().child("Item"); node;
         node = node.next_sibling("Item"))
        ++items;
    put("items", static_cast<double>(items));
    return 0;
}

// The floor: one pass over the bytes in memory, counting tag ends.
int phaseMemchr(const cPhaseOptions& options) {
    std::vector<char> bytes;
    if (!readWholeFile(options.path, bytes)) return 1;
    const cStopwatch watch;
    std::size_t count = 0;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (at < end) {
        const void* found = std::memchr(at, '>', static_cast<std::size_t>(end - at));
        if (found == nullptr) break;
        ++count;
        at = static_cast<const char*>(found) + 1;
    }
    putTimes(watch);
    put("count", static_cast<double>(count));
    return 0;
}

// What `quarry-cli index` does: the import scan alone.
int phaseScan(const cPhaseOptions& options) {
    cItemStore store;
    cQuietProgress progress;
    const cStopwatch watch;
    store.scanItemFile(options.path, progress);
    putTimes(watch);
    put("items", static_cast<double>(store.itemCount()));
    return 0;
}

// The scan, then the category tree built into the command-line tool's compact
// tree, with records loaded on `workers` threads (0: one per processor).
int phaseImport(const cPhaseOptions& options, unsigned workers) {
    cItemStore store;
    store.setLoadWorkers(workers);
    cQuietProgress progress;
    cCountingSink messages;
    cRecordedTree tree;
    const cStopwatch watch;
    store.scanItemFile(options.path, progress);
    const double scanSeconds = watch.cpuSeconds();
    progress.beginProgress("Importing Item Data", 0);
    store.buildCategoryTree(tree, progress, messages);
    progress.endProgress();
    putTimes(watch);
    put("all_threads_seconds", watch.allThreadsCpuSeconds());
    put("scan_seconds", scanSeconds);
    put("items", static_cast<double>(store.itemCount()));
    put("nodes", static_cast<double>(tree.nodeCount()));
    put("item_nodes", static_cast<double>(tree.itemCount()));
    put("tree_mib", static_cast<double>(tree.bytesHeld()) / (1024.0 * 1024.0));
    put("messages", static_cast<double>(messages.messages()));
    return 0;
}

// The content hash the cache is keyed by: every byte of the file, read in
// large blocks.
int phaseHash(const cPhaseOptions& options) {
    cQuietProgress progress;
    const cStopwatch watch;
    const std::optional<std::uint64_t> hash = hashFileContent(options.path, progress);
    putTimes(watch);
    return hash ? 0 : 1;
}

// A reopen from the cache, as `quarry-cli tree` makes it: one import writes
// the cache into a folder of the phase's own (not timed), the next one,
// timed, hashes the file, reads and checks the cache and replays the tree.
int phaseReopen(const cPhaseOptions& options) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder =
        fs::temp_directory_path(error) / ("quarry-bench-cache-" + std::to_string(::getpid()));
    cQuietProgress progress;
    cCountingSink messages;
    const auto import = [&](cRecordedTree& tree, cQueryIndex& queries) {
        cItemStore store;
        cCachedImport cached(store, progress, messages, folder.string());
        return cached.run(options.path, tree, queries) && cached.fromCache();
    };
    cRecordedTree firstTree;
    cQueryIndex firstQueries;
    import(firstTree, firstQueries);
    cRecordedTree tree;
    cQueryIndex queries;
    const cStopwatch watch;
    const bool fromCache = import(tree, queries);
    putTimes(watch);
    fs::remove_all(folder, error);
    put("from_cache", fromCache ? 1 : 0);
    put("nodes", static_cast<double>(tree.nodeCount()));
    return fromCache ? 0 : 1;
}

// The same import, watching the pauses between two dispatches of window events.
int phaseGaps(const cPhaseOptions& options) {
    cItemStore store;
    cPumpGapProbe probe;
    cCountingSink messages;
    cRecordedTree tree;
    probe.start();
    store.scanItemFile(options.path, probe);
    probe.beginProgress("Importing Item Data", 0);
    store.buildCategoryTree(tree, probe, messages);
    probe.endProgress();
    probe.finish();
    put("longest_gap_ms", probe.longestGapSeconds() * 1000.0);
    put("pumps", static_cast<double>(probe.pumps()));
    return 0;
}

// Showing items: random indexed identifiers through the report and the
// rich-text reader, timed one by one.
int phaseShow(const cPhaseOptions& options) {
    cItemStore store;
    cQuietProgress progress;
    cCountingSink messages;
    store.scanItemFile(options.path, progress);
    const auto index = store.index();
    std::vector<ZRID> identifiers;
    for (const cIndexEntry& entry : *index)
        identifiers.push_back(entry.zrid);
    if (identifiers.empty()) return 1;

    cRandomStream random(options.seed);
    std::vector<double> milliseconds;
    std::vector<double> wallMilliseconds;
    milliseconds.reserve(options.shows);
    wallMilliseconds.reserve(options.shows);
    std::size_t failures = 0;
    std::size_t paragraphs = 0;
    for (std::uint32_t i = 0; i < options.shows; ++i) {
        const ZRID zrid = identifiers[random.below(static_cast<std::uint32_t>(identifiers.size()))];
        const cStopwatch watch;
        const std::string report = writeItemReport(store, zrid, messages);
        const cRichTextDocument document = readRichText(report);
        milliseconds.push_back(watch.cpuSeconds() * 1000.0);
        wallMilliseconds.push_back(watch.wallSeconds() * 1000.0);
        failures += report == kFailedToLoadText;
        paragraphs += document.paragraphs.size();
    }
    put("median_ms", median(milliseconds));
    put("p99_ms", percentile(milliseconds, 0.99));
    put("max_ms", percentile(milliseconds, 1.0));
    put("wall_median_ms", median(wallMilliseconds));
    put("wall_p99_ms", percentile(wallMilliseconds, 0.99));
    put("failures", static_cast<double>(failures));
    put("paragraphs", static_cast<double>(paragraphs));
    return 0;
}

// Milliseconds of CPU time per query, parsed and run as the Find pane does
// (near spellings allowed). `found` is the mean number of results; queries
// that do not parse are counted in `errors`.
std::vector<double> timeQueries(const cQueryIndex& index, const std::vector<std::string>& queries,
                                double& found, double& errors) {
    std::vector<double> milliseconds;
    found = 0;
    errors = 0;
    for (const std::string& text : queries) {
        const cStopwatch watch;
        const cParsedQuery parsed = parseQuery(text);
        std::size_t results = 0;
        if (parsed.ok())
            results = runQuery(index, parsed.query, true).items.size();
        else
            ++errors;
        milliseconds.push_back(watch.cpuSeconds() * 1000.0);
        found += static_cast<double>(results);
    }
    if (!queries.empty()) found /= static_cast<double>(queries.size());
    return milliseconds;
}

// The full import gathering every field of every item, as the window does,
// then name queries as players type them and the fixed field queries.
int phaseQueries(const cPhaseOptions& options) {
    cItemStore store;
    cQuietProgress progress;
    cCountingSink messages;
    cRecordedTree tree;
    cQueryIndex index;
    const cStopwatch watch;
    store.scanItemFile(options.path, progress);
    store.buildCategoryTree(tree, progress, messages, &index);
    const double importSeconds = watch.cpuSeconds();
    // The window's whole import: the workers' CPU time too, and the wall time.
    put("import_all_threads_seconds", watch.allThreadsCpuSeconds());
    put("import_wall_seconds", watch.wallSeconds());
    index.commitPending();
    index.shrinkToFit();
    putTimes(watch);
    put("import_seconds", importSeconds);
    put("commit_seconds", watch.cpuSeconds() - importSeconds);
    put("names", static_cast<double>(index.size()));
    put("name_index_mb", static_cast<double>(index.names().bytesHeld()) / 1e6);
    put("query_index_bytes", static_cast<double>(index.bytesHeld()));

    cRandomStream random(options.seed);
    double found = 0;
    double errors = 0;
    const std::vector<double> typed =
        timeQueries(index, makeTypedQueries(index, random, kTypedQueries), found, errors);
    put("name_median_ms", median(typed));
    put("name_p99_ms", percentile(typed, 0.99));
    put("name_found", found);
    put("name_errors", errors);
    std::vector<std::string> letters;
    for (char letter = 'a'; letter <= 'z'; ++letter)
        letters.emplace_back(1, letter);
    const std::vector<double> first = timeQueries(index, letters, found, errors);
    put("letter_median_ms", median(first));
    put("letter_max_ms", percentile(first, 1.0));
    const std::vector<double> near =
        timeQueries(index, makeMisspelledQueries(index, random, kMisspelledQueries), found, errors);
    put("near_median_ms", median(near));
    put("near_p99_ms", percentile(near, 0.99));
    put("near_queries", static_cast<double>(near.size()));
    const std::vector<double> fields = timeQueries(index, fieldQueries(), found, errors);
    put("query_median_ms", median(fields));
    put("query_p99_ms", percentile(fields, 0.99));
    put("query_max_ms", percentile(fields, 1.0));
    put("query_found", found);
    put("query_errors", errors);
    put("queries", static_cast<double>(fields.size()));
    return 0;
}

// Matches every text of an arena with our engine; the seconds it took.
double timeQuarry(const cPattern& pattern, const cTextArena& texts, std::size_t& matches) {
    cPatternMatch context(256);
    matches = 0;
    const cStopwatch watch;
    for (std::size_t i = 0; i < texts.count(); ++i)
        matches += pattern.match(texts.text(i), &context);
    return watch.cpuSeconds();
}

double timePcre(cPcrePattern& pattern, const cTextArena& texts, std::size_t& matches) {
    matches = 0;
    const cStopwatch watch;
    for (std::size_t i = 0; i < texts.count(); ++i)
        matches += pattern.match(texts.text(i), texts.length(i));
    return watch.cpuSeconds();
}

// Texts on which the two engines disagree: whether they match, or where any
// of the first `groups` groups begins or ends.
std::size_t countDisagreements(const cPattern& ours, cPcrePattern& theirs, const cTextArena& texts,
                               unsigned groups) {
    cPatternMatch context(256);
    std::size_t disagreements = 0;
    for (std::size_t i = 0; i < texts.count(); ++i) {
        const char* text = texts.text(i);
        const bool a = ours.match(text, &context);
        const bool b = theirs.match(text, texts.length(i));
        bool same = a == b;
        for (unsigned g = 0; same && a && g < groups; ++g) {
            const char* start = context.groupStart(g);
            const char* end = context.groupEnd(g);
            const PCRE2_SIZE theirStart = theirs.groupStart(g);
            const PCRE2_SIZE theirEnd = theirs.groupEnd(g);
            if (start == nullptr || end == nullptr)
                same = theirStart == PCRE2_UNSET;
            else
                same = theirStart == static_cast<PCRE2_SIZE>(start - text) &&
                       theirEnd == static_cast<PCRE2_SIZE>(end - text);
        }
        disagreements += !same;
    }
    return disagreements;
}

int phasePatterns(const cPhaseOptions& options) {
    cPatternCorpus corpus;
    const cStopwatch watch;
    if (!buildPatternCorpus(options.path, corpus)) return 1;
    put("corpus_seconds", watch.cpuSeconds());
    put("tags", static_cast<double>(corpus.tags.count()));
    put("attribute_texts", static_cast<double>(corpus.attributeTexts.count()));

    struct Case {
        const char* key;
        const char* ours;
        const char* pcre;
        const cTextArena* texts;
        unsigned groups;
    };
    const Case cases[] = {
        {"tag", kTagPatternText, kTagPatternPcre, &corpus.tags, 2},
        {"attr", kAttributePatternText, kAttributePatternPcre, &corpus.attributeTexts, 3},
    };
    for (const Case& c : cases) {
        cPattern ours;
        ours.compile(c.ours, true);
        cPcrePattern interpreted(c.pcre, false);
        cPcrePattern jitted(c.pcre, true);
        if (ours.lastError() != patOk || !interpreted.ok() || !jitted.ok()) {
            std::fprintf(stderr, "quarry-bench: cannot compile the %s pattern (%s)\n", c.key,
                         interpreted.error().c_str());
            return 1;
        }
        std::size_t oursMatched = 0, pcreMatched = 0, jitMatched = 0;
        const double oursSeconds = timeQuarry(ours, *c.texts, oursMatched);
        const double pcreSeconds = timePcre(interpreted, *c.texts, pcreMatched);
        const double jitSeconds = timePcre(jitted, *c.texts, jitMatched);
        const std::string key = c.key;
        put((key + "_quarry").c_str(), oursSeconds);
        put((key + "_pcre").c_str(), pcreSeconds);
        put((key + "_pcre_jit").c_str(), jitSeconds);
        put((key + "_matches").c_str(), static_cast<double>(oursMatched));
        put((key + "_match_count_differs").c_str(),
            static_cast<double>(oursMatched != pcreMatched || pcreMatched != jitMatched));
        if (options.verify)
            put((key + "_disagreements").c_str(),
                static_cast<double>(countDisagreements(ours, interpreted, *c.texts, c.groups)));
    }
    return 0;
}

// How often each compile case runs: enough for a tenth of a second or so.
constexpr int kProgramPatternCompiles = 100000;
constexpr int kLongPatternCompiles = 20;
constexpr int kNestedPatternCompiles = 200;
constexpr int kDoublingPatternCompiles = 10;

// `depth` levels of `open`, an "a", then `close` as often.
std::string nestedPattern(std::uint32_t depth, char open, const char* close) {
    std::string text = std::string(depth, open) + "a";
    for (std::uint32_t i = 0; i < depth; ++i)
        text += close;
    return text;
}

// Compiles `pattern` `times` times; the CPU seconds it took, or -1 when a
// compile gave another result than `expected`.
double timeCompiles(const std::string& pattern, int times, std::int32_t expected) {
    cPattern compiled;
    const cStopwatch watch;
    for (int i = 0; i < times; ++i)
        if (compiled.compile(pattern.c_str(), true) != expected) return -1.0;
    return watch.cpuSeconds();
}

// Compiling patterns: the program's own (compiled once per run of the
// program), a long flat pattern of every construct, patterns nested as deep
// as allowed, and nested "+" (each level doubles the program) up to and past
// the size limit. The file is not read.
int phaseCompile(const cPhaseOptions&) {
    const cStopwatch watch;
    double programSeconds = 0.0;
    for (const char* text : {kTagPattern, kAttributePattern, kZridPattern})
        programSeconds += timeCompiles(text, kProgramPatternCompiles, patOk);
    put("compile_program_seconds", programSeconds);

    std::string flat;
    while (flat.size() < 100000)
        flat += "a.[b-d]{e}(f)*g+?\\d!hi??{j|k}[^l]+\\1";
    put("compile_long_seconds", timeCompiles(flat, kLongPatternCompiles, patOk));

    const double nested =
        timeCompiles(nestedPattern(kPatMaxNesting, '(', ")?"), kNestedPatternCompiles, patOk) +
        timeCompiles(nestedPattern(kPatMaxNesting, '{', "}?"), kNestedPatternCompiles, patOk);
    put("compile_nested_seconds", nested);

    const double doubling =
        timeCompiles(nestedPattern(14, '(', ")+"), kDoublingPatternCompiles, patOk) +
        timeCompiles(nestedPattern(40, '(', ")+"), kDoublingPatternCompiles, patOutOfMemory);
    put("compile_doubling_seconds", doubling);
    putTimes(watch);
    return 0;
}

} // namespace

int runPhase(const std::string& name, const cPhaseOptions& options) {
    if (name == "read") return phaseRead(options);
    if (name == "pugixml") return phasePugixml(options);
    if (name == "memchr") return phaseMemchr(options);
    if (name == "scan") return phaseScan(options);
    if (name == "import") return phaseImport(options, 0);
    if (name == "import1") return phaseImport(options, 1);
    if (name == "gaps") return phaseGaps(options);
    if (name == "hash") return phaseHash(options);
    if (name == "reopen") return phaseReopen(options);
    if (name == "show") return phaseShow(options);
    if (name == "patterns") return phasePatterns(options);
    if (name == "compile") return phaseCompile(options);
    if (name == "queries") return phaseQueries(options);
    return 2;
}

} // namespace quarry
