// quarry-cli stats FILE: counts and timings of an import, for people.
#include "cli/cli_common.h"
#include "cli/recorded_tree.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace quarry {

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int runStatsCommand(const cArguments& args, cCliOutput& out) {
    const cCommandLine line = readCommandLine(args, {});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (line.operands.size() != 1) return usageError("stats takes one FILE");
    const std::string& path = line.operands[0];
    cCliSession session(line.quiet);

    const auto scanStart = std::chrono::steady_clock::now();
    if (const int status = session.scan(path); status != kExitOk) return status;
    const double scanSeconds = secondsSince(scanStart);

    cRecordedTree tree;
    const auto treeStart = std::chrono::steady_clock::now();
    if (const int status = session.buildTree(tree); status != kExitOk) return status;
    const double treeSeconds = secondsSince(treeStart);

    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    out.printf("file            %s\n", oneLineField(path).c_str());
    out.printf("file size       %llu bytes\n",
               error ? 0ull : static_cast<unsigned long long>(size));
    out.printf("items indexed   %zu\n", session.store().itemCount());
    out.printf("tree nodes      %llu\n", static_cast<unsigned long long>(tree.nodeCount()));
    out.printf("items filed     %llu\n", static_cast<unsigned long long>(tree.itemCount()));
    out.printf("scan            %.3f s\n", scanSeconds);
    out.printf("tree build      %.3f s\n", treeSeconds);
    out.printf("total           %.3f s\n", scanSeconds + treeSeconds);
    return kExitOk;
}

} // namespace quarry
