// quarry-bench: measures the paths a user waits on against well-known tools,
// on one item file, in one run, and prints one table (Markdown).
//
//   quarry-bench [--runs N] [--shows N] [--seed S] [--cli PATH] FILE
//
// Every phase runs in a child process of its own (this program started again
// with --phase NAME), so its peak memory is its own; each is repeated --runs
// times (default 5), interleaved, and the table shows medians. Ratios are
// taken within a run, then their median is shown.

#include "bench_phases.h"
#include "bench_stats.h"
#include "bench_tools.h"
#include "child_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#ifndef QUARRY_CLI_PATH
#define QUARRY_CLI_PATH ""
#endif

namespace quarry {

namespace {

// What the find command is measured with: a word many names hold, and
// fields that need requirements gathered besides.
const char kCliFindQuery[] = "lance";
const char kCliFieldQuery[] = "type:armor slot:head req:strength<400";

// The full import's targets, as multiples of pugixml's: CPU time of all its
// threads, and wall time with every worker.
constexpr double kImportCpuLimit = 1.0;
constexpr double kImportWallLimit = 0.6;
// A reopen from the cache, in wall time with the file in the page cache.
constexpr double kReopenWallLimit = 0.15;

const char kUsage[] =
    "usage: quarry-bench [--runs N] [--shows N] [--seed S] [--cli PATH] FILE\n"
    "  --runs N    repetitions of every phase; the table shows medians (default 5)\n"
    "  --shows N   items shown per run by the show phase (default 10000)\n"
    "  --seed S    picks the items shown (default 1)\n"
    "  --cli PATH  the quarry-cli whose index command is measured (default: the one built "
    "alongside)\n";

// One run's results of one phase: what it printed, its wall time and peak.
struct cPhaseRun {
    bool ok = false;
    std::map<std::string, double> values;
    double wallSeconds = 0.0;
    double peakMB = 0.0;
};

using cRuns = std::vector<cPhaseRun>;

std::string selfPath() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string cpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0) {
            const std::size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    return "unknown";
}

cPhaseRun runPhaseChild(const std::vector<std::string>& argv) {
    const cChildResult child = runChild(argv, true);
    cPhaseRun run;
    run.ok = child.started && child.exitStatus == 0;
    run.values = parseKeyValues(child.output);
    run.wallSeconds = child.wallSeconds;
    run.peakMB = child.peakMiB * 1024.0 * 1024.0 / 1e6;
    return run;
}

// The per-run values a getter gives for the runs where it has one.
std::vector<double> collect(const cRuns& runs,
                            const std::function<bool(const cPhaseRun&, double&)>& get) {
    std::vector<double> values;
    for (const cPhaseRun& run : runs) {
        double value = 0.0;
        if (run.ok && get(run, value)) values.push_back(value);
    }
    return values;
}

std::vector<double> valuesOf(const cRuns& runs, const std::string& key) {
    return collect(runs, [&](const cPhaseRun& run, double& value) {
        const auto found = run.values.find(key);
        if (found == run.values.end()) return false;
        value = found->second;
        return true;
    });
}

// Per-run ratio a[key] / b[key], for the runs where both phases succeeded.
std::vector<double> ratios(const cRuns& a, const std::string& aKey, const cRuns& b,
                           const std::string& bKey) {
    std::vector<double> values;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (!a[i].ok || !b[i].ok) continue;
        const auto x = a[i].values.find(aKey);
        const auto y = b[i].values.find(bKey);
        if (x != a[i].values.end() && y != b[i].values.end() && y->second > 0.0)
            values.push_back(x->second / y->second);
    }
    return values;
}

std::vector<double> peaks(const cRuns& runs) {
    return collect(runs, [](const cPhaseRun& run, double& value) {
        value = run.peakMB;
        return true;
    });
}

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string seconds(const std::vector<double>& values) {
    return values.empty() ? "n/a" : format("%.3f s", median(values));
}
std::string millis(const std::vector<double>& values) {
    return values.empty() ? "n/a" : format("%.3f ms", median(values));
}
std::string megabytes(const std::vector<double>& values) {
    return values.empty() ? "" : format("%.1f MB", median(values));
}
std::string ratio(const std::vector<double>& values, const char* reference) {
    return values.empty() ? "n/a" : format("%.2f", median(values)) + " × " + reference;
}
std::string verdict(const std::vector<double>& values, double limit) {
    if (values.empty()) return "n/a";
    return median(values) <= limit ? "met" : "**missed**";
}

void row(const std::string& measure, const std::string& cpu, const std::string& wall,
         const std::string& ratioText, const std::string& memory, const std::string& target,
         const std::string& met) {
    std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", measure.c_str(), cpu.c_str(),
                wall.c_str(), ratioText.c_str(), memory.c_str(), target.c_str(), met.c_str());
}

} // namespace

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    std::uint64_t runCount = 5;
    cPhaseOptions options;
    std::string phase;
    std::string cliPath = QUARRY_CLI_PATH;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::uint64_t number = 0;
        bool ok = true;
        if (option == "--runs") {
            ok = parseNumber(value, runCount) && runCount > 0;
            ++i;
        } else if (option == "--shows") {
            ok = parseNumber(value, number) && number > 0 && number <= 100000000;
            options.shows = static_cast<std::uint32_t>(number);
            ++i;
        } else if (option == "--seed") {
            ok = parseNumber(value, options.seed);
            ++i;
        } else if (option == "--cli" && value != nullptr) {
            cliPath = value;
            ++i;
        } else if (option == "--phase" && value != nullptr) {
            phase = value;
            ++i;
        } else if (option == "--verify") {
            options.verify = true;
        } else if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!option.empty() && option[0] != '-' && options.path.empty()) {
            options.path = option;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (options.path.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    if (!phase.empty()) return runPhase(phase, options);

    struct stat fileStatus {};
    if (stat(options.path.c_str(), &fileStatus) != 0 || !std::ifstream(options.path).good()) {
        std::fprintf(stderr, "quarry-bench: cannot read %s\n", options.path.c_str());
        return 1;
    }
    const std::string self = selfPath();
    const bool haveCli = !cliPath.empty() && access(cliPath.c_str(), X_OK) == 0;

    const std::vector<std::string> phases = {"read",   "pugixml",  "memchr",  "scan",
                                             "import", "import1",  "hash",    "reopen",
                                             "show",   "patterns", "queries", "compile"};
    std::map<std::string, cRuns> results;
    // The command-line tool as whole processes: the index alone, and find
    // against tree (the same import; find searches where tree prints).
    const std::map<std::string, std::vector<std::string>> cliCommands = {
        {"index", {cliPath, "index", "--no-cache", options.path}},
        {"tree", {cliPath, "tree", "--no-cache", options.path}},
        {"find", {cliPath, "find", "--no-cache", options.path, kCliFindQuery}},
        {"fields", {cliPath, "find", "--no-cache", options.path, kCliFieldQuery}},
    };
    std::map<std::string, cRuns> cliResults;
    cPhaseRun gaps;

    for (std::uint64_t run = 0; run < runCount; ++run) {
        for (const std::string& name : phases) {
            std::vector<std::string> args = {self,
                                             "--phase",
                                             name,
                                             "--shows",
                                             std::to_string(options.shows),
                                             "--seed",
                                             std::to_string(options.seed + run)};
            if (name == "patterns" && run == 0) args.push_back("--verify");
            args.push_back(options.path);
            const cPhaseRun result = runPhaseChild(args);
            std::fprintf(stderr, "run %llu/%llu %-9s %s %.2f s, peak %.1f MB\n",
                         static_cast<unsigned long long>(run + 1),
                         static_cast<unsigned long long>(runCount), name.c_str(),
                         result.ok ? "ok    " : "FAILED", result.wallSeconds, result.peakMB);
            results[name].push_back(result);
        }
        for (const auto& [command, argv] : cliCommands) {
            if (!haveCli) break;
            const cChildResult child = runChild(argv, false);
            cPhaseRun result;
            result.ok = child.started && child.exitStatus == 0;
            result.wallSeconds = child.wallSeconds;
            result.values["seconds"] = child.cpuSeconds;
            result.values["wall_seconds"] = child.wallSeconds;
            result.peakMB = child.peakMiB * 1024.0 * 1024.0 / 1e6;
            std::fprintf(stderr, "run %llu/%llu cli-%-6s %s %.2f s, peak %.1f MB\n",
                         static_cast<unsigned long long>(run + 1),
                         static_cast<unsigned long long>(runCount), command.c_str(),
                         result.ok ? "ok    " : "FAILED", result.wallSeconds, result.peakMB);
            cliResults[command].push_back(result);
        }
    }
    // Timing every dispatch costs a little, so the pauses are measured once,
    // apart from the timed runs.
    gaps = runPhaseChild({self, "--phase", "gaps", options.path});

    const cRuns& pugi = results["pugixml"];
    const cRuns& patterns = results["patterns"];
    auto first = [&](const cRuns& runs, const std::string& key) {
        for (const cPhaseRun& r : runs)
            if (r.ok && r.values.count(key)) return r.values.at(key);
        return -1.0;
    };

    std::printf("quarry-bench: %s, %lld bytes, %.0f items indexed, %.0f tags\n",
                options.path.c_str(), static_cast<long long>(fileStatus.st_size),
                first(results["scan"], "items"), first(patterns, "tags"));
    std::printf("machine: %u logical CPUs, %s; median of %llu runs, %u items shown per run\n",
                std::thread::hardware_concurrency(), cpuModel().c_str(),
                static_cast<unsigned long long>(runCount), options.shows);
    std::printf("times are CPU time of the measuring thread (the full import's: of all its "
                "threads), wall time beside it; ratios are per run, on CPU time unless said\n\n");

    row("measure", "CPU time", "wall time", "ratio", "peak memory", "target", "");
    row("---", "---:", "---:", "---:", "---:", "---", "---");
    row("read the whole file into memory (outside every ratio)",
        seconds(valuesOf(results["read"], "seconds")),
        seconds(valuesOf(results["read"], "wall_seconds")), "", "", "", "");
    row("**pugixml**: whole file parsed in place into a DOM (reference)",
        seconds(valuesOf(pugi, "seconds")), seconds(valuesOf(pugi, "wall_seconds")),
        "1.00 × pugixml", megabytes(peaks(pugi)), "", "");
    row("memchr pass counting \">\" (floor)", seconds(valuesOf(results["memchr"], "seconds")),
        seconds(valuesOf(results["memchr"], "wall_seconds")),
        ratio(ratios(results["memchr"], "seconds", pugi, "seconds"), "pugixml"), "", "", "");
    const std::vector<double> scanRatio = ratios(results["scan"], "seconds", pugi, "seconds");
    row("import scan (the work of `quarry-cli index`)",
        seconds(valuesOf(results["scan"], "seconds")),
        seconds(valuesOf(results["scan"], "wall_seconds")), ratio(scanRatio, "pugixml"),
        megabytes(peaks(results["scan"])), "≤ 0.5 × pugixml", verdict(scanRatio, 0.5));
    const cRuns& cliRuns = cliResults["index"];
    if (haveCli) {
        const std::vector<double> cliPeak = peaks(cliRuns);
        row("`quarry-cli index FILE > /dev/null`, the whole process",
            seconds(valuesOf(cliRuns, "seconds")), seconds(valuesOf(cliRuns, "wall_seconds")), "",
            megabytes(cliPeak), "≤ 32 MB peak", verdict(cliPeak, 32.0));
    }
    // The tree build loads records on a pool of threads: its CPU time is that
    // of every thread, set against pugixml's on one; beside it the wall times.
    const std::string allWorkers =
        std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    for (const auto& [name, label, wallLimit] :
         {std::tuple<std::string, std::string, double>{
              "import", "all " + allWorkers + " worker threads", kImportWallLimit},
          std::tuple<std::string, std::string, double>{"import1", "1 worker thread", 0.0}}) {
        const cRuns& runs = results[name];
        const std::vector<double> cpuRatio = ratios(runs, "all_threads_seconds", pugi, "seconds");
        const std::vector<double> wallRatio = ratios(runs, "wall_seconds", pugi, "wall_seconds");
        std::string target = "CPU ≤ " + format("%.1f", kImportCpuLimit) + " × pugixml";
        bool met = !cpuRatio.empty() && median(cpuRatio) <= kImportCpuLimit;
        if (wallLimit > 0.0) {
            target += ", wall ≤ " + format("%.1f", wallLimit) + " ×";
            met = met && !wallRatio.empty() && median(wallRatio) <= wallLimit;
        }
        row("full import: scan + category tree into a compact tree control, " + label +
                " (CPU of all threads)",
            seconds(valuesOf(runs, "all_threads_seconds")), seconds(valuesOf(runs, "wall_seconds")),
            ratio(cpuRatio, "pugixml") + " CPU, " + ratio(wallRatio, "pugixml") + " wall",
            megabytes(peaks(runs)), target,
            cpuRatio.empty() ? "n/a"
            : met            ? "met"
                             : "**missed**");
    }
    const std::vector<double> hashRatio =
        ratios(results["hash"], "wall_seconds", pugi, "wall_seconds");
    row("hash the file (xxh3-64 of every byte, 1 MiB reads)",
        seconds(valuesOf(results["hash"], "seconds")),
        seconds(valuesOf(results["hash"], "wall_seconds")), ratio(hashRatio, "pugixml") + " wall",
        megabytes(peaks(results["hash"])), "", "");
    const std::vector<double> reopenRatio =
        ratios(results["reopen"], "wall_seconds", pugi, "wall_seconds");
    row("reopen from cache: hash the file, read and check the cache, replay the tree "
        "(peak: with the import that wrote it)",
        seconds(valuesOf(results["reopen"], "seconds")),
        seconds(valuesOf(results["reopen"], "wall_seconds")),
        ratio(reopenRatio, "pugixml") + " wall", megabytes(peaks(results["reopen"])),
        "wall ≤ " + format("%.2f", kReopenWallLimit) + " × pugixml",
        verdict(reopenRatio, kReopenWallLimit));
    const std::vector<double> gapValues =
        gaps.ok ? std::vector<double>{gaps.values["longest_gap_ms"]} : std::vector<double>{};
    row("longest time between two pumpMessages calls during the full import (one run)", "",
        millis(gapValues), "", "", "≤ 100 ms", verdict(gapValues, 100.0));
    row("show one item (load, report, rich-text reading): median",
        millis(valuesOf(results["show"], "median_ms")),
        millis(valuesOf(results["show"], "wall_median_ms")), "", megabytes(peaks(results["show"])),
        "", "");
    const std::vector<double> p99 = valuesOf(results["show"], "p99_ms");
    row("show one item: 99th percentile", millis(p99),
        millis(valuesOf(results["show"], "wall_p99_ms")), "", "", "≤ 2 ms", verdict(p99, 2.0));

    const cRuns& queries = results["queries"];
    const std::vector<double> nameMB = valuesOf(queries, "name_index_mb");
    std::vector<double> indexMB = valuesOf(queries, "query_index_bytes");
    for (double& bytes : indexMB)
        bytes /= 1e6;
    row("full import gathering every field of every item on the way (what the window does)",
        seconds(valuesOf(queries, "import_seconds")), "",
        ratio(ratios(queries, "import_seconds", results["import"], "seconds"), "import"),
        megabytes(peaks(queries)), "", "");
    row("name index: names, QLs and item numbers put in name order, and the memory it holds",
        seconds(valuesOf(queries, "commit_seconds")), "", "", megabytes(nameMB), "< 16 MB",
        verdict(nameMB, 16.0));
    row("query index: every index the queries use, the name index included (query_index_bytes)", "",
        "", "", megabytes(indexMB), "≤ 64 MB", verdict(indexMB, 64.0));
    const std::vector<double> nameMedian = valuesOf(queries, "name_median_ms");
    const std::vector<double> nameP99 = valuesOf(queries, "name_p99_ms");
    row("find by name, 1,000 typed queries (1-3 words from real names): median", millis(nameMedian),
        "", "", "", "≤ 2 ms", verdict(nameMedian, 2.0));
    row("find by name: 99th percentile", millis(nameP99), "", "", "", "≤ 10 ms",
        verdict(nameP99, 10.0));
    row("find by name, one letter (a to z): median / slowest",
        millis(valuesOf(queries, "letter_median_ms")) + " / " +
            millis(valuesOf(queries, "letter_max_ms")),
        "", "", "", "", "");
    const std::vector<double> nearP99 = valuesOf(queries, "near_p99_ms");
    row("near-spelling fallback, misspelled queries: median / 99th percentile",
        millis(valuesOf(queries, "near_median_ms")) + " / " + millis(nearP99), "", "", "",
        "p99 ≤ 100 ms", verdict(nearP99, 100.0));
    const std::vector<double> queryMedian = valuesOf(queries, "query_median_ms");
    const std::vector<double> queryP99 = valuesOf(queries, "query_p99_ms");
    row("field queries (every field and operator): median (query_median_ms)", millis(queryMedian),
        "", "", "", "≤ 5 ms", verdict(queryMedian, 5.0));
    row("field queries: 99th percentile (query_p99_ms) / slowest",
        millis(queryP99) + " / " + millis(valuesOf(queries, "query_max_ms")), "", "", "", "≤ 30 ms",
        verdict(queryP99, 30.0));
    if (haveCli) {
        row("`quarry-cli tree FILE > /dev/null`, the whole process",
            seconds(valuesOf(cliResults["tree"], "seconds")),
            seconds(valuesOf(cliResults["tree"], "wall_seconds")), "",
            megabytes(peaks(cliResults["tree"])), "", "");
        for (const auto& [command, query] :
             {std::pair<std::string, const char*>{"find", kCliFindQuery},
              {"fields", kCliFieldQuery}}) {
            const std::vector<double> findRatio =
                ratios(cliResults[command], "seconds", cliResults["tree"], "seconds");
            row(std::string("`quarry-cli find FILE '") + query + "'`, the whole process",
                seconds(valuesOf(cliResults[command], "seconds")),
                seconds(valuesOf(cliResults[command], "wall_seconds")), ratio(findRatio, "tree"),
                megabytes(peaks(cliResults[command])), "≤ 1.10 × tree", verdict(findRatio, 1.10));
        }
    }

    for (const char* key : {"tag", "attr"}) {
        const std::string k = key;
        const std::string label = k == "tag" ? "tag pattern on every tag text"
                                             : "attribute pattern on every attribute text";
        const std::vector<double> ours = ratios(patterns, k + "_quarry", patterns, k + "_pcre");
        row(label + ": **quarry's engine**", seconds(valuesOf(patterns, k + "_quarry")), "",
            ratio(ours, "PCRE2"), "", "≤ 1.0 × PCRE2 without JIT", verdict(ours, 1.0));
        row(label + ": PCRE2 without JIT", seconds(valuesOf(patterns, k + "_pcre")), "",
            "1.00 × PCRE2", "", "", "");
        row(label + ": PCRE2 with JIT", seconds(valuesOf(patterns, k + "_pcre_jit")), "",
            ratio(ratios(patterns, k + "_pcre_jit", patterns, k + "_pcre"), "PCRE2"), "", "", "");
    }

    const cRuns& compiles = results["compile"];
    const std::pair<const char*, const char*> compileRows[] = {
        {"compile the tag, attribute and identifier patterns, 100,000 times each",
         "compile_program_seconds"},
        {"compile a 100,000-character pattern of every construct, 20 times",
         "compile_long_seconds"},
        {"compile patterns nested as deep as allowed, 200 times each", "compile_nested_seconds"},
        {"compile nested \"+\" (14 levels, and 40 refused as too large), 10 times each",
         "compile_doubling_seconds"},
    };
    for (const auto& [label, key] : compileRows)
        row(label, seconds(valuesOf(compiles, key)), "", "", "", "", "");

    std::printf("\n");
    const double status = first(pugi, "status");
    if (status != 0.0)
        std::printf("- pugixml reported status %.0f at offset %.0f\n", status,
                    first(pugi, "error_offset"));
    std::printf("- pugixml found %.0f items under the root element\n", first(pugi, "items"));
    std::printf("- the full import filed %.0f item nodes (%.0f nodes in all, %.1f MB of tree) and "
                "raised %.0f messages\n",
                first(results["import"], "item_nodes"), first(results["import"], "nodes"),
                first(results["import"], "tree_mib") * 1.048576,
                first(results["import"], "messages"));
    if (first(results["show"], "failures") >= 0.0)
        std::printf("- the show phase: %.0f of %u items shown failed to load in the first run\n",
                    first(results["show"], "failures"), options.shows);
    std::printf("- patterns: %.0f tag texts and %.0f attribute texts; matches that differ from "
                "PCRE2's (match, group "
                "starts and ends): %.0f (tag), %.0f (attribute)\n",
                first(patterns, "tags"), first(patterns, "attribute_texts"),
                first(patterns, "tag_disagreements"), first(patterns, "attr_disagreements"));
    std::printf("- queries: %.0f items searchable, %.1f results per typed name query on average "
                "(%.0f did not parse), %.0f misspelled queries; %.0f field queries, %.1f results "
                "each on average (%.0f did not parse)\n",
                first(queries, "names"), first(queries, "name_found"),
                first(queries, "name_errors"), first(queries, "near_queries"),
                first(queries, "queries"), first(queries, "query_found"),
                first(queries, "query_errors"));
    if (!haveCli) std::printf("- quarry-cli was not found, so its rows are left out\n");

    bool allOk = true;
    for (const auto& entry : results)
        for (const cPhaseRun& run : entry.second)
            allOk = allOk && run.ok;
    return allOk ? 0 : 1;
}
